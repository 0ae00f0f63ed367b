#include "PlayerPause.h"

#include "platform/GameClock.h"
#include "Score.h"
#include "WindowFit.h"

namespace playerpause {
namespace {

const sf::Color dimming(0, 0, 0, 96);
const sf::Color wordsColour = sf::Color::White;
constexpr unsigned titleSize = 80;
constexpr unsigned hintSize = 30;
constexpr float titleTop = 330.0f;
constexpr float hintTop = 440.0f;
// A paused game waits for the player without taking a whole core.
const sf::Time pausedPass = sf::milliseconds(10);

struct Pause {
    bool on = false;
    sf::Texture lastFrame;   // the whole window as play left it
    sf::IntRect playfieldAt; // where it showed the playfield
};

Pause& pause()
{
    static Pause* const held = new Pause; // lives until the process ends
    return *held;
}

bool isPress(const sf::Event& event, sf::Keyboard::Key key)
{
    return event.type == sf::Event::KeyPressed && event.key.code == key;
}

// A window made anew (the switch to or from the whole screen) may be told
// it lost the keyboard after it already has it back: only a loss that
// lasts counts.
bool lostFocus(const sf::Window& window, const sf::Event& event)
{
    return event.type == sf::Event::LostFocus && !window.hasFocus();
}

// The pause after this event: P turns it over, a lost focus starts it.
bool pausedAfter(bool paused, const sf::Window& window, const sf::Event& event)
{
    if (isPress(event, sf::Keyboard::P))
        return !paused;
    return paused || lostFocus(window, event);
}

// What the window shows now is the last frame play drew.
void keepLastFrame(sf::RenderWindow& window)
{
    Pause& held = pause();
    const sf::Vector2u size = window.getSize();
    if (held.lastFrame.getSize() != size)
        held.lastFrame.create(size.x, size.y);
    held.lastFrame.update(window);
    held.playfieldAt = window.getViewport(window.getView());
}

void drawWords(sf::RenderWindow& window, const char* words, unsigned size, float top)
{
    sf::Text text(words, gameFont(), size);
    text.setStyle(sf::Text::Bold);
    text.setFillColor(wordsColour);
    const float side = static_cast<float>(windowfit::playfieldSide);
    text.setPosition((side - text.getLocalBounds().width) / 2.0f, top);
    window.draw(text);
}

// The kept frame fills the playfield at whatever size the window has now.
void drawPausedScreen(sf::RenderWindow& window)
{
    const Pause& held = pause();
    const float side = static_cast<float>(windowfit::playfieldSide);
    sf::Sprite frame(held.lastFrame, held.playfieldAt);
    frame.setScale(side / static_cast<float>(held.playfieldAt.width),
                   side / static_cast<float>(held.playfieldAt.height));
    sf::RectangleShape dim({side, side});
    dim.setFillColor(dimming);
    window.clear();
    window.draw(frame);
    window.draw(dim);
    drawWords(window, "Paused", titleSize, titleTop);
    drawWords(window, "P to play on", hintSize, hintTop);
}

} // namespace

bool holds(sf::RenderWindow& window, const sf::Event& event)
{
    Pause& held = pause();
    const bool paused = pausedAfter(held.on, window, event);
    if (paused && !held.on) {
        platform::stopClock();
        keepLastFrame(window);
    }
    if (!paused && held.on)
        platform::runClock();
    held.on = paused;
    if (paused) {
        drawPausedScreen(window);
        sf::sleep(pausedPass);
    }
    return paused;
}

} // namespace playerpause
