#include "FrameTest.h"

#include <cmath>
#include <cstdlib>

#include "GameFiles.h"
#include "platform/GameClock.h"

namespace {

constexpr int slotSpacing = 60;
constexpr int swayRowShift = 60; // rows 2 and 4 start one slot to the right
constexpr int armyX = 180;
constexpr int armyY = 40;
constexpr int shotDiceSides = 100;
// A probe wants solid colour this far around it, so a copy drawn a pixel off
// still shows it; thin pictures have to do with a single pixel.
constexpr int probeRadii[] = {1, 0};
constexpr int colourTolerance = 8;
constexpr sf::Uint8 minimumProbeAlpha = 128; // fainter pixels barely show
constexpr long diceSearchLimit = 1000000;

bool sameColour(sf::Color a, sf::Color b)
{
    return std::abs(a.r - b.r) <= colourTolerance && std::abs(a.g - b.g) <= colourTolerance &&
           std::abs(a.b - b.b) <= colourTolerance;
}

// How a picture's pixel shows when drawn over the black of a cleared frame.
sf::Color overBlack(sf::Color pixel)
{
    const auto scaled = [&pixel](sf::Uint8 channel) {
        return static_cast<sf::Uint8>(channel * pixel.a / 255);
    };
    return {scaled(pixel.r), scaled(pixel.g), scaled(pixel.b)};
}

bool solidAround(const sf::Image& image, int x, int y, int radius)
{
    const sf::Color centre = image.getPixel(x, y);
    if (centre.a < minimumProbeAlpha || sameColour(overBlack(centre), sf::Color::Black))
        return false;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (image.getPixel(x + dx, y + dy) != centre)
                return false;
    return true;
}

// The solid spot nearest the middle of the picture, if there is one.
bool findProbe(const sf::Image& image, int radius, PictureProbe& probe)
{
    const int width = static_cast<int>(image.getSize().x);
    const int height = static_cast<int>(image.getSize().y);
    long bestDistance = -1;
    for (int y = radius; y + radius < height; ++y)
        for (int x = radius; x + radius < width; ++x) {
            if (!solidAround(image, x, y, radius))
                continue;
            const long dx = x - width / 2;
            const long dy = y - height / 2;
            if (bestDistance < 0 || dx * dx + dy * dy < bestDistance) {
                bestDistance = dx * dx + dy * dy;
                probe = {{x, y}, overBlack(image.getPixel(x, y))};
            }
        }
    return bestDistance >= 0;
}

} // namespace

// The lower part of each message's letters, below the army's last row.
const sf::IntRect gameOverArea(190, 325, 560, 70);
const sf::IntRect winArea(170, 325, 580, 70);
const sf::IntRect powerUpTextArea(290, 425, 510, 70);

void FrameTest::SetUp()
{
    copyAllGameFiles();
    openGameWindow();
    platform::testhooks::pinClock(startClock);
    platform::testhooks::restartRandom();
    clearWindow();
}

void FrameTest::TearDown()
{
    platform::testhooks::releaseClock();
}

void FrameTest::clearWindow()
{
    Quasaril::_mainWindow.clear(sf::Color::Black);
}

Brain& brainAt(int row, int column)
{
    Brain* rows[] = {game::_brain1, game::_brain2, game::_brain3, game::_brain4, game::_brain5};
    return rows[row - 1][column];
}

bool& deadFlag(int row, int column)
{
    bool* rows[] = {game::_quasa.hit1, game::_quasa.hit2, game::_quasa.hit3, game::_quasa.hit4,
                    game::_quasa.hit5};
    return rows[row - 1][column];
}

sf::Vector2f slotOf(int row, int column)
{
    const bool swaying = row == 2 || row == 4;
    const int x = armyX + (swaying ? swayRowShift : 0) + slotSpacing * column;
    const int y = armyY + slotSpacing * (row - 1);
    return {static_cast<float>(x), static_cast<float>(y)};
}

std::string pictureOf(int row, int column)
{
    if ((row == 1 && column == 0) || (row == 3 && column == 4))
        return gamefiles::freezeBrain;
    if (row == 4 && column == 6)
        return gamefiles::fireBrain;
    return gamefiles::plainBrain;
}

sf::Vector2f positionOf(VisibleGameObject& object)
{
    sf::Vector2f at(-12345.0f, -12345.0f); // stays so for an object without a picture
    object.getPosition(at.x, at.y);
    return at;
}

void expectAt(VisibleGameObject& object, float x, float y, const char* what)
{
    const sf::Vector2f at = positionOf(object);
    EXPECT_NEAR(at.x, x, 1e-3) << what;
    EXPECT_NEAR(at.y, y, 1e-3) << what;
}

PictureProbe probeOf(const std::string& picture)
{
    sf::Image image;
    PictureProbe probe{};
    if (!image.loadFromFile(picture)) {
        ADD_FAILURE() << "cannot read " << picture;
        return probe;
    }
    for (int radius : probeRadii)
        if (findProbe(image, radius, probe))
            return probe;
    ADD_FAILURE() << picture << " has no opaque pixel to recognise it by";
    return probe;
}

bool showsPicture(const sf::Image& frame, const PictureProbe& probe, sf::Vector2f at)
{
    const int x = static_cast<int>(std::lround(at.x)) + probe.offset.x;
    const int y = static_cast<int>(std::lround(at.y)) + probe.offset.y;
    const sf::Vector2u size = frame.getSize();
    if (x < 0 || y < 0 || x >= static_cast<int>(size.x) || y >= static_cast<int>(size.y))
        return false;
    return sameColour(frame.getPixel(x, y), probe.colour);
}

bool isRed(sf::Color pixel)
{
    return pixel.r > 200 && pixel.g < 60 && pixel.b < 60;
}

bool isYellow(sf::Color pixel)
{
    return pixel.r > 200 && pixel.g > 200 && pixel.b < 60;
}

bool isGreen(sf::Color pixel)
{
    return pixel.g > 200 && pixel.r < 60 && pixel.b < 60;
}

int countPixels(const sf::Image& frame, const sf::IntRect& area,
                const std::function<bool(sf::Color)>& matches)
{
    const sf::Vector2u size = frame.getSize();
    int count = 0;
    for (int y = area.top; y < area.top + area.height && y < static_cast<int>(size.y); ++y)
        for (int x = area.left; x < area.left + area.width && x < static_cast<int>(size.x); ++x)
            if (matches(frame.getPixel(x, y)))
                ++count;
    return count;
}

int DiceModel::next()
{
    _state = _state * 214013u + 2531011u;
    return static_cast<int>((_state >> 16) & 0x7FFF);
}

std::vector<int> diceDraws(long n)
{
    DiceModel dice;
    std::vector<int> draws;
    for (long i = 0; i < n; ++i)
        draws.push_back(dice.next());
    return draws;
}

long drawsBefore(int length, const std::function<bool(const std::vector<int>&)>& wanted)
{
    DiceModel dice;
    std::vector<int> window;
    for (int i = 0; i < length; ++i)
        window.push_back(dice.next());
    for (long skipped = 0; skipped < diceSearchLimit; ++skipped) {
        if (wanted(window))
            return skipped;
        window.erase(window.begin());
        window.push_back(dice.next());
    }
    ADD_FAILURE() << "no such run of draws in the dice's first million";
    return 0;
}

void restartDiceAfter(long draws)
{
    platform::testhooks::restartRandom();
    for (long i = 0; i < draws; ++i)
        platform::gameRand();
}

int shootValue(int draw)
{
    return draw % shotDiceSides + 1;
}

std::vector<sf::Event> eventsOfOtherKinds()
{
    std::vector<sf::Event> events;
    sf::Event event{};
    event.type = sf::Event::MouseMoved;
    event.mouseMove.x = sf::Keyboard::Left;
    event.mouseMove.y = sf::Keyboard::Right;
    events.push_back(event);

    event = sf::Event{};
    event.type = sf::Event::TextEntered;
    event.text.unicode = sf::Keyboard::Space;
    events.push_back(event);

    event = sf::Event{};
    event.type = sf::Event::Resized;
    event.size.width = sf::Keyboard::Escape;
    event.size.height = sf::Keyboard::Up;
    events.push_back(event);

    event = sf::Event{};
    event.type = sf::Event::MouseWheelMoved;
    event.mouseWheel.delta = sf::Keyboard::Down;
    events.push_back(event);

    event = sf::Event{};
    event.type = sf::Event::JoystickButtonPressed;
    event.joystickButton.joystickId = sf::Keyboard::Space;
    events.push_back(event);

    event = sf::Event{};
    event.type = sf::Event::TouchBegan;
    event.touch.finger = sf::Keyboard::Left;
    events.push_back(event);

    events.push_back(eventOfType(sf::Event::LostFocus));
    events.push_back(eventOfType(sf::Event::MouseButtonPressed));
    return events;
}

sf::Event noEvent()
{
    return eventOfType(sf::Event::GainedFocus);
}
