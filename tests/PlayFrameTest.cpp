// One play frame and its input: moves and their limits, firing, events that
// end the game or do nothing, the shield's frames, a win and a loss.

#include <cstdlib>
#include <tuple>
#include <vector>

#include "GameFiles.h"
#include "FrameTest.h"
#include "platform/GameClock.h"
#include "PowerUp.h"

namespace {

using namespace game;

const sf::Event space = keyEvent(sf::Keyboard::Space);

class PlayFrameTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        placeShip();
        Quasaril::setState(Quasaril::Playing);
    }

    static void frameAt(long clock, const sf::Event& event = noEvent())
    {
        platform::testhooks::pinClock(clock);
        Quasaril::playing(event);
    }

    static void expectShotFired(const char* picture, int shotX, int shotY)
    {
        EXPECT_EQ(QuasarilInspector::projectile()._filename, picture);
        EXPECT_EQ(a, shotX);
        EXPECT_EQ(b, shotY);
        expectAt(QuasarilInspector::projectile(), shotX, shotY, picture);
        EXPECT_EQ(_timeCreated, static_cast<float>(platform::gameClock()));
        EXPECT_FALSE(hit);
    }

    static void killAllBut(int row, int column)
    {
        for (int r = 1; r <= 5; ++r)
            for (int c = 0; c < 7; ++c)
                deadFlag(r, c) = r != row || c != column;
    }
};

struct Move {
    sf::Keyboard::Key key;
    int fromX, fromY, toX, toY;
};

void PrintTo(const Move& move, std::ostream* out)
{
    const char* name = move.key == sf::Keyboard::Left    ? "left"
                       : move.key == sf::Keyboard::Right ? "right"
                       : move.key == sf::Keyboard::Up    ? "up"
                                                         : "down";
    *out << name << " from " << move.fromX << "," << move.fromY;
}

class ShipMoveTest : public PlayFrameTest,
                     public ::testing::WithParamInterface<std::tuple<Move, sf::Event::EventType>> {
};

// The limit is tested before the step, so the ship can pass it by one step.
TEST_P(ShipMoveTest, StepsTwentyPixelsWithinTheLimits)
{
    const auto [move, pressOrRelease] = GetParam();
    x = move.fromX;
    y = move.fromY;
    Quasaril::playing(keyEvent(move.key, pressOrRelease));
    EXPECT_EQ(x, move.toX);
    EXPECT_EQ(y, move.toY);
    expectAt(Quasaril::_player1, move.toX, move.toY, "the ship");
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ShipMoveTest,
    ::testing::Combine(::testing::Values(Move{sf::Keyboard::Left, 15, 600, -5, 600},
                                         Move{sf::Keyboard::Left, -5, 600, -5, 600},
                                         Move{sf::Keyboard::Left, 1, 600, -19, 600},
                                         Move{sf::Keyboard::Right, 695, 600, 715, 600},
                                         Move{sf::Keyboard::Right, 715, 600, 715, 600},
                                         Move{sf::Keyboard::Right, 699, 600, 719, 600},
                                         Move{sf::Keyboard::Up, 355, 20, 355, 0},
                                         Move{sf::Keyboard::Up, 355, 0, 355, 0},
                                         Move{sf::Keyboard::Down, 355, 580, 355, 600},
                                         Move{sf::Keyboard::Down, 355, 600, 355, 600},
                                         Move{sf::Keyboard::Down, 355, 599, 355, 619}),
                       ::testing::Values(sf::Event::KeyPressed, sf::Event::KeyReleased)));

TEST_F(PlayFrameTest, WrapAroundTakesTheShipAcrossTheSideEdges)
{
    powerUpUnit::_player1.wrapAround = true; // copied into the ship before the input
    x = 15;
    Quasaril::playing(keyEvent(sf::Keyboard::Left));
    EXPECT_EQ(x, 775);
    expectAt(Quasaril::_player1, 775.0f, 600.0f, "the wrapped ship");
    x = 690;
    Quasaril::playing(keyEvent(sf::Keyboard::Right));
    EXPECT_EQ(x, -70);
}

TEST_F(PlayFrameTest, CloseOrEscapeEndsTheGameAfterTheFrameIsDone)
{
    for (const sf::Event& event : {eventOfType(sf::Event::Closed), keyEvent(sf::Keyboard::Escape),
                                   keyEvent(sf::Keyboard::Escape, sf::Event::KeyReleased)}) {
        Quasaril::setState(Quasaril::Playing);
        _elapsedTimeSinceCreated = 0.0f;
        Quasaril::playing(event);
        EXPECT_TRUE(Quasaril::IsExiting());
        EXPECT_EQ(_elapsedTimeSinceCreated, static_cast<float>(startClock)); // measured after input
    }
}

class OtherEventTest : public PlayFrameTest, public ::testing::WithParamInterface<int> {};

TEST_P(OtherEventTest, MovesNothingFiresNothingAndDoesNotEndTheGame)
{
    std::vector<sf::Event> events = eventsOfOtherKinds();
    events.push_back(keyEvent(sf::Keyboard::A));
    ASSERT_LT(GetParam(), static_cast<int>(events.size()));
    Quasaril::playing(events[GetParam()]);
    EXPECT_EQ(x, 355);
    EXPECT_EQ(y, 600);
    EXPECT_EQ(Quasaril::getState(), "Playing");
    EXPECT_FALSE(QuasarilInspector::projectile()._isLoaded);
    EXPECT_EQ(_timeCreated, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OtherEventTest, ::testing::Range(0, 9));

TEST_F(PlayFrameTest, SpaceFiresOnlyMoreThan1500TicksAfterTheLastShot)
{
    _elapsedTimeSinceCreated = 1500.0f;
    Quasaril::checkEvents(space);
    EXPECT_FALSE(QuasarilInspector::projectile()._isLoaded);
    EXPECT_EQ(a, 355);
    EXPECT_EQ(_timeCreated, 0.0f);
    _elapsedTimeSinceCreated = 1500.5f;
    Quasaril::checkEvents(keyEvent(sf::Keyboard::Space, sf::Event::KeyReleased));
    expectShotFired(gamefiles::plainShot, 385, 560);
}

TEST_F(PlayFrameTest, AVirusShotGoesBeforeATorpedo)
{
    Quasaril::_player1.virus = Quasaril::_player1.torpedo = true;
    Quasaril::checkEvents(space);
    expectShotFired(gamefiles::virusShot, 370, 550);
    EXPECT_FALSE(Quasaril::_player1.virus);
    EXPECT_FALSE(Quasaril::_player1.torpedo);
}

TEST_F(PlayFrameTest, ATorpedoFiresTheBolt)
{
    Quasaril::_player1.torpedo = true;
    Quasaril::checkEvents(space);
    expectShotFired(gamefiles::torpedoShot, 315, 500);
    EXPECT_FALSE(Quasaril::_player1.torpedo);
}

// Two of the shot's pictures loaded into one shot object, as firing does.
struct ShotPictures {
    const char* name;
    const char* first;
    const char* second;
};

void PrintTo(const ShotPictures& pictures, std::ostream* out)
{
    *out << pictures.first << " then " << pictures.second;
}

class ShotPictureTest : public FrameTest, public ::testing::WithParamInterface<ShotPictures> {};

// Every opaque pixel of the picture that the window does not show, with the
// picture's top-left corner at `at` in a window cleared to black.
int missingPixels(const sf::Image& window, const sf::Image& picture, sf::Vector2i at)
{
    constexpr int tolerance = 8;
    const auto near = [](sf::Uint8 a, sf::Uint8 b) { return std::abs(a - b) <= tolerance; };
    int missing = 0;
    for (unsigned y = 0; y < picture.getSize().y; ++y)
        for (unsigned x = 0; x < picture.getSize().x; ++x) {
            const sf::Color wanted = picture.getPixel(x, y);
            const sf::Color shown = window.getPixel(at.x + x, at.y + y);
            if (wanted.a == 255 &&
                !(near(wanted.r, shown.r) && near(wanted.g, shown.g) && near(wanted.b, shown.b)))
                ++missing;
        }
    return missing;
}

// The first picture loaded fixes the rectangle the sprite shows later ones in.
TEST_P(ShotPictureTest, ThePictureLoadedSecondShowsWhole)
{
    const sf::Vector2i at(315, 500);
    Projectile shot;
    shot.load(GetParam().first);
    shot.load(GetParam().second);
    shot.setPosition(at.x, at.y);
    shot.draw(Quasaril::_mainWindow);
    sf::Image second;
    ASSERT_TRUE(second.loadFromFile(GetParam().second));
    EXPECT_EQ(missingPixels(windowPixels(), second, at), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ShotPictureTest,
    ::testing::Values(ShotPictures{"PlainThenBolt", gamefiles::plainShot, gamefiles::torpedoShot},
                      ShotPictures{"PlainThenVirus", gamefiles::plainShot, gamefiles::virusShot},
                      ShotPictures{"VirusThenBolt", gamefiles::virusShot, gamefiles::torpedoShot},
                      ShotPictures{"BoltThenPlain", gamefiles::torpedoShot, gamefiles::plainShot}),
    [](const ::testing::TestParamInfo<ShotPictures>& info) { return info.param.name; });

TEST_F(PlayFrameTest, TheNextShotWaitsForTheTimeMeasuredInThePreviousFrame)
{
    frameAt(1000, space);
    EXPECT_EQ(_timeCreated, 1000.0f);
    frameAt(2500, space); // 0 ticks as the last frame measured
    frameAt(2501, space); // 1500 ticks
    EXPECT_EQ(_timeCreated, 1000.0f);
    frameAt(2501, space); // 1501 ticks
    EXPECT_EQ(_timeCreated, 2501.0f);
}

TEST_F(PlayFrameTest, AFreshShotIsDrawnEvenIfTheLastOneStruck)
{
    hit = true;
    Quasaril::playing(space);
    EXPECT_FALSE(hit);
    EXPECT_TRUE(showsPicture(windowPixels(), probeOf(gamefiles::plainShot), {385.0f, 560.0f}));
}

TEST_F(PlayFrameTest, ATorpedosWideBoxStartsInTheFrameAfterFiring)
{
    powerUpUnit::_player1.torpedo = true;
    frameAt(1000, space); // the bolt at (315, 500), its flag cleared for this frame
    EXPECT_EQ(leftBoundry, 285.0f);
    EXPECT_EQ(rightBoundry, 345.0f);
    frameAt(1400); // risen 100 pixels, the flag copied in again
    EXPECT_EQ(leftBoundry, 305.0f);
    EXPECT_EQ(rightBoundry, 455.0f);
    EXPECT_EQ(topBoundry, 380.0f);
    EXPECT_EQ(bottomBoundry, 450.0f);
}

TEST_F(PlayFrameTest, AShotRisesIntoABrainStrikesItAndDisappears)
{
    x = 270; // the shot flies up column 300, through the brain at (300, 280)
    frameAt(1000, space);
    frameAt(2100); // risen 275 pixels to row 285: the box now holds the brain
    EXPECT_FALSE(deadFlag(5, 2));
    frameAt(2100);
    EXPECT_TRUE(deadFlag(5, 2));
    EXPECT_TRUE(hit);
    EXPECT_EQ(Quasaril::_score.GameScore, 100.0f);
    EXPECT_FALSE(showsPicture(windowPixels(), probeOf(gamefiles::plainShot), {300.0f, 285.0f}));
}

TEST_F(PlayFrameTest, WithoutAShieldTheShieldCounterStays)
{
    for (int i = 0; i < 3; ++i)
        Quasaril::playing(noEvent());
    EXPECT_EQ(QuasarilInspector::time_5(), 0.0f);
}

TEST_F(PlayFrameTest, TheShieldLastsAThousandFramesInTheWholeRun)
{
    powerUpUnit::_player1.shield = true;
    Quasaril::playing(noEvent());
    EXPECT_EQ(QuasarilInspector::time_5(), 1.0f);
    expectAt(powerUpUnit::_shield, 300.0f, 560.0f, "the bubble");
    QuasarilInspector::time_5() = 998.0f;
    Quasaril::playing(noEvent());
    Quasaril::playing(noEvent());
    EXPECT_EQ(QuasarilInspector::time_5(), 1000.0f);
    EXPECT_TRUE(Quasaril::_player1.shield);
    Quasaril::playing(noEvent());
    EXPECT_EQ(QuasarilInspector::time_5(), 1000.0f);
    EXPECT_FALSE(Quasaril::_player1.shield);
}

TEST_F(PlayFrameTest, TheWinIsDrawnInEveryFrameAfterTheLastKill)
{
    killAllBut(5, 6);
    Quasaril::playing(noEvent());
    EXPECT_FALSE(Quasaril::getWin());
    EXPECT_EQ(countPixels(windowPixels(), winArea, isYellow), 0);

    leftBoundry = 530.0f; // a shot box around the last brain at (540, 280)
    rightBoundry = 550.0f;
    topBoundry = 270.0f;
    bottomBoundry = 290.0f;
    for (int frame = 0; frame < 3; ++frame) {
        Quasaril::playing(frame == 2 ? keyEvent(sf::Keyboard::Left) : noEvent());
        EXPECT_TRUE(Quasaril::getWin());
        EXPECT_EQ(Quasaril::getKillCount(), 35);
        EXPECT_GT(countPixels(windowPixels(), winArea, isYellow), 200) << "frame " << frame;
        EXPECT_EQ(Quasaril::getState(), "Playing");
        EXPECT_EQ(Quasaril::_score.GameScore, 100.0f);
    }
    EXPECT_EQ(x, 335);
}

TEST_F(PlayFrameTest, ALossDrawsGameOverInEveryFrameAndPlayGoesOn)
{
    platform::testhooks::pinClock(3000); // long enough since the start for a shot
    _quasa.life = false;
    for (int frame = 0; frame < 2; ++frame) {
        Quasaril::playing(noEvent());
        EXPECT_TRUE(Quasaril::getGameOver());
        EXPECT_GT(countPixels(windowPixels(), gameOverArea, isRed), 200) << "frame " << frame;
    }
    Quasaril::playing(keyEvent(sf::Keyboard::Left));
    EXPECT_EQ(x, 335);
    Quasaril::playing(space);
    EXPECT_EQ(a, 365);
    EXPECT_EQ(Quasaril::getState(), "Playing");
}

// Spots where both a letter of "Game Over" is solid and the diving brain's
// picture, standing at `brainAt`, is opaque.
std::vector<sf::Vector2i> spotsWhereTextCoversTheBrain(sf::Vector2f brainAt)
{
    FrameTest::clearWindow();
    Quasaril::_score.GameOver();
    const sf::Image text = windowPixels();
    sf::Image brain;
    EXPECT_TRUE(brain.loadFromFile(gamefiles::freezeBrain));
    std::vector<sf::Vector2i> spots;
    for (unsigned bx = 0; bx < brain.getSize().x; ++bx) {
        for (unsigned by = 0; by < brain.getSize().y; ++by) {
            const sf::Color pixel = brain.getPixel(bx, by);
            const sf::Vector2i at = sf::Vector2i(brainAt) + sf::Vector2i(bx, by);
            const sf::IntRect around(at.x - 1, at.y - 1, 3, 3);
            if (pixel.a == 255 && !isRed(pixel) && countPixels(text, around, isRed) == 9)
                spots.push_back(at);
        }
    }
    return spots;
}

// The diving brain falls through the text in the frame of the loss; the
// text, written after the army's last test of the ship, stays on top of it.
TEST_F(PlayFrameTest, GameOverIsWrittenOverTheArmy)
{
    constexpr float diveX = 450.0f;
    constexpr long clock = 3400; // the brain has dived to y 340
    const sf::Vector2f diving(diveX, clock / 10.0f);
    const std::vector<sf::Vector2i> spots = spotsWhereTextCoversTheBrain(diving);
    ASSERT_GE(spots.size(), 10u);

    brainAt(3, 4).load(gamefiles::freezeBrain); // only a shown brain keeps its x
    brainAt(3, 4).setPosition(diveX, 0.0f);
    _quasa.life = false;
    frameAt(clock);
    const sf::Image frame = windowPixels();
    EXPECT_TRUE(showsPicture(frame, probeOf(gamefiles::freezeBrain), diving));
    for (const sf::Vector2i& spot : spots)
        EXPECT_TRUE(isRed(frame.getPixel(spot.x, spot.y))) << spot.x << "," << spot.y;
}

// The ship at (310, 230), inside the box of the brain of row 4, column 1,
// which sways right of (300, 220); the ship's picture ends above the text.
void flyIntoABrain()
{
    x = 310;
    y = 230;
    placeShip();
}

TEST_F(PlayFrameTest, FlyingIntoABrainLosesTheGame)
{
    flyIntoABrain();
    Quasaril::playing(noEvent());
    EXPECT_FALSE(_quasa.life);
    EXPECT_TRUE(Quasaril::getGameOver());
    EXPECT_GT(countPixels(windowPixels(), gameOverArea, isRed), 200);
}

TEST_F(PlayFrameTest, AShieldUpSinceTheLastFrameProtectsTheShip)
{
    flyIntoABrain();
    powerUpUnit::_player1.shield = Quasaril::_player1.shield = true;
    Quasaril::playing(noEvent());
    EXPECT_TRUE(_quasa.life);
    EXPECT_FALSE(Quasaril::getGameOver());
    EXPECT_EQ(countPixels(windowPixels(), gameOverArea, isRed), 0);
}

TEST_F(PlayFrameTest, AShieldTakenThisFrameComesTooLateForTheArmy)
{
    flyIntoABrain();
    powerUpUnit::_player1.shield = true; // reaches the ship only after the army
    Quasaril::playing(noEvent());
    EXPECT_FALSE(_quasa.life);
}

} // namespace
