// The splash screen, the main menu and the game driver, fed with real X input
// (xdotool) queued before the screens start waiting.
#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

#include "GameFiles.h"
#include "MainMenu.h"
#include "platform/GameClock.h"
#include "Quasaril.h"
#include "SplashScreen.h"
#include "TestSupport.h"

class MainMenuInspector {
public:
    static MainMenu::MenuResult click(MainMenu& menu, int x, int y)
    {
        return menu.HandleClick(x, y);
    }
};

namespace {

sf::RenderWindow& window()
{
    return Quasaril::_mainWindow;
}

std::string windowId()
{
    return std::to_string(static_cast<unsigned long>(window().getSystemHandle()));
}

// Runs xdotool against the game window and waits until the X server has
// handled the input, so the events are queued for the window.
ProgramStart xdotoolStart(const std::string& arguments)
{
    ProgramStart start;
    start.command = {"sh", "-c", "exec xdotool " + arguments};
    start.output = start.errors = "/dev/null";
    return start;
}

void xdotool(const std::string& arguments)
{
    ASSERT_EQ(runProgram(xdotoolStart(arguments)).exitCode, 0) << "xdotool " << arguments;
}

// Where no case clicks or types: a pointer move here marks the end of what a
// case has queued.
const sf::Vector2i markerSpot(7, 7);
// Where the pointer waits while keys go in: inside the window, off the menu's bands.
const sf::Vector2i keySpot(400, 600);

// xdotool's arguments for a pointer move to (x, y) in the window that is
// always a real motion, so --sync has one to wait for. A move to where the
// pointer already stands makes none, and --sync then waits out xdotool's
// fifteen seconds: every test process of a run shares the X server's
// pointer. The pointer steps beside the spot first.
std::string pointerMove(const std::string& window, int x, int y)
{
    const int besideX = x > 0 ? x - 1 : x + 1;
    return "mousemove --window " + window + " " + std::to_string(besideX) + " " +
           std::to_string(y) + " mousemove --sync --window " + window + " " + std::to_string(x) +
           " " + std::to_string(y);
}

void movePointer(int x, int y)
{
    xdotool(pointerMove(windowId(), x, y));
}

void openVisibleWindow()
{
    openGameWindow();
    xdotool("search --sync --onlyvisible --name QUASARIL");
}

void drainEvents()
{
    sf::Event event;
    while (window().pollEvent(event)) {
    }
}

void queueClick(int x, int y, int button = 1)
{
    xdotool(pointerMove(windowId(), x, y) + " click " + std::to_string(button));
}

void queueKey(const std::string& action, const std::string& key)
{
    // The pointer decides which window takes the keys on a bare X server.
    movePointer(keySpot.x, keySpot.y);
    xdotool(action + " " + key);
}

bool isMarker(const sf::Event& event)
{
    return event.type == sf::Event::MouseMoved && event.mouseMove.x == markerSpot.x &&
           event.mouseMove.y == markerSpot.y;
}

// Sends the marker move behind everything queued so far and reads the
// window's events up to it; true if one that passes the test came before it.
bool pendingEvent(const std::function<bool(const sf::Event&)>& wanted)
{
    // Only a guard against a marker that never comes: it comes at once.
    const sf::Time markerLimit = sf::seconds(10);
    movePointer(markerSpot.x, markerSpot.y);
    bool seen = false;
    sf::Clock waited;
    sf::Event event;
    while (waited.getElapsedTime() < markerLimit) {
        if (!window().pollEvent(event)) {
            sf::sleep(sf::milliseconds(1));
            continue;
        }
        if (isMarker(event))
            return seen;
        seen = seen || wanted(event);
    }
    ADD_FAILURE() << "the pointer's marker move never reached the window";
    return seen;
}

bool pendingEventOfType(sf::Event::EventType type)
{
    return pendingEvent([type](const sf::Event& event) { return event.type == type; });
}

// xdotool running beside the test, for input that must come while the code
// under test runs; stopped by its PID when the object goes.
class BackgroundXdotool {
public:
    explicit BackgroundXdotool(const std::string& arguments) : _xdotool(xdotoolStart(arguments)) {}

private:
    ChildProgram _xdotool;
};

class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        copyAllGameFiles();
        openVisibleWindow();
        drainEvents();
    }

    ScopedWorkDir workDir;
};

using MainMenuTest = ScreenTest;
using SplashScreenTest = ScreenTest;
using GameDriverTest = ScreenTest;
using ScreenInputTest = ScreenTest;

} // namespace

// Every case shares the X server's pointer with the cases before it: a move
// must reach the window even where the pointer already stands.
TEST_F(ScreenInputTest, AMoveToWhereThePointerStandsStillReachesTheWindow)
{
    const sf::Vector2i spot(300, 300);
    const auto movedToSpot = [&spot](const sf::Event& event) {
        return event.type == sf::Event::MouseMoved && event.mouseMove.x == spot.x &&
               event.mouseMove.y == spot.y;
    };
    for (int round = 1; round <= 2; ++round) {
        movePointer(spot.x, spot.y);
        EXPECT_TRUE(pendingEvent(movedToSpot)) << "round " << round;
    }
    EXPECT_FALSE(pendingEvent(movedToSpot)) << "nothing moved after the marker";
}

TEST_F(MainMenuTest, AnswersPlayForAClickInThePlayBand)
{
    queueClick(400, 250);
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Play);
}

TEST_F(MainMenuTest, AnswersExitForAClickInTheExitBand)
{
    queueClick(400, 450);
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Exit);
}

TEST_F(MainMenuTest, AClickBetweenTheBandsAnswersNothingAtOnce)
{
    queueClick(400, 381);
    queueClick(400, 250); // must still be waiting afterwards
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Nothing);
    EXPECT_TRUE(pendingEventOfType(sf::Event::MouseButtonPressed));
}

TEST_F(MainMenuTest, AnyMouseButtonClicks)
{
    queueClick(400, 250, 3);
    MainMenu right;
    EXPECT_EQ(right.Show(window()), MainMenu::Play);
    queueClick(400, 450, 2);
    MainMenu middle;
    EXPECT_EQ(middle.Show(window()), MainMenu::Exit);
}

TEST_F(MainMenuTest, KeysAndMouseMovesDoNotEndTheMenu)
{
    queueKey("key", "Return");
    movePointer(300, 300);
    queueClick(400, 450);
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Exit);
}

TEST_F(MainMenuTest, WorksWithoutItsPicture)
{
    std::remove(gamefiles::mainMenu);
    queueClick(400, 250);
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Play);
}

TEST_F(MainMenuTest, HitTestIsStrictOnEveryEdge)
{
    queueClick(400, 250);
    MainMenu menu;
    ASSERT_EQ(menu.Show(window()), MainMenu::Play);

    EXPECT_EQ(MainMenuInspector::click(menu, 400, 146), MainMenu::Play);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 379), MainMenu::Play);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 145), MainMenu::Nothing);
    for (int gapRow = 380; gapRow <= 383; ++gapRow)
        EXPECT_EQ(MainMenuInspector::click(menu, 400, gapRow), MainMenu::Nothing) << gapRow;
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 384), MainMenu::Exit);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 559), MainMenu::Exit);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 560), MainMenu::Nothing);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 700), MainMenu::Nothing);
    EXPECT_EQ(MainMenuInspector::click(menu, 0, 250), MainMenu::Nothing);
    EXPECT_EQ(MainMenuInspector::click(menu, 0, 450), MainMenu::Nothing);
    EXPECT_EQ(MainMenuInspector::click(menu, 1, 250), MainMenu::Play);
    EXPECT_EQ(MainMenuInspector::click(menu, 799, 450), MainMenu::Exit);
}

TEST_F(MainMenuTest, ASecondShowOnTheSameMenuAnswersTheSame)
{
    MainMenu menu;
    queueClick(400, 450);
    ASSERT_EQ(menu.Show(window()), MainMenu::Exit);
    queueClick(400, 250);
    EXPECT_EQ(menu.Show(window()), MainMenu::Play);
    EXPECT_EQ(MainMenuInspector::click(menu, 400, 381), MainMenu::Nothing);
}

TEST_F(SplashScreenTest, ReturnsAtOnceWithoutItsPicture)
{
    std::remove(gamefiles::splashScreen);
    sf::Clock shown;
    SplashScreen splash;
    splash.Show(window()); // nothing queued: with its picture it would wait
    EXPECT_LT(shown.getElapsedTime(), sf::seconds(1));
}

TEST_F(SplashScreenTest, AQueuedKeyPressEndsIt)
{
    ASSERT_TRUE(std::filesystem::exists(gamefiles::splashScreen)); // else it would not wait
    queueKey("key", "a");
    SplashScreen splash;
    splash.Show(window());
    // The release of the same key is still waiting: the press ended the splash.
    EXPECT_TRUE(pendingEventOfType(sf::Event::KeyReleased));
}

TEST_F(SplashScreenTest, KeyReleasesAndMouseMovesAreDropped)
{
    ASSERT_TRUE(std::filesystem::exists(gamefiles::splashScreen));
    queueKey("keyup", "b");
    movePointer(100, 100);
    queueClick(200, 200);
    SplashScreen splash;
    splash.Show(window());
    // Only the click's release is left: the earlier events did not end the wait.
    EXPECT_TRUE(pendingEventOfType(sf::Event::MouseButtonReleased));
}

TEST_F(GameDriverTest, RunDoesNothingOnceTheGameHasStarted)
{
    window().close();
    Quasaril::setState(Quasaril::ShowingSplash);
    Quasaril::Run();
    EXPECT_FALSE(window().isOpen());
    EXPECT_EQ(Quasaril::getState(), "ShowingSplash");
}

TEST_F(GameDriverTest, AnEmptyPollDoesNotEndPlay)
{
    Quasaril::setState(Quasaril::Playing);
    drainEvents();
    Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "Playing");
}

TEST_F(GameDriverTest, EscapeDuringPlayEndsTheGame)
{
    Quasaril::setState(Quasaril::Playing);
    queueKey("key", "Escape");
    sf::Clock waited;
    while (!Quasaril::IsExiting() && waited.getElapsedTime() < sf::seconds(5))
        Quasaril::GameLoop();
    EXPECT_TRUE(Quasaril::IsExiting());
}

TEST_F(GameDriverTest, PausedSwallowsEventsAndStaysPaused)
{
    Quasaril::setState(Quasaril::Paused);
    queueKey("key", "Escape");
    for (int pass = 0; pass < 20; ++pass)
        Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "Paused");
    EXPECT_FALSE(pendingEventOfType(sf::Event::KeyPressed));
}

TEST_F(GameDriverTest, TheMenuShowsAgainAfterAMissedClick)
{
    Quasaril::setState(Quasaril::ShowingMenu);
    queueClick(400, 381);
    Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "ShowingMenu");
    queueClick(400, 250);
    Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "Playing");
}

TEST_F(GameDriverTest, TheSplashLeadsToTheMenuWhateverEndsIt)
{
    std::remove(gamefiles::splashScreen);
    Quasaril::setState(Quasaril::ShowingSplash);
    Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "ShowingMenu");
}

TEST_F(GameDriverTest, TheMenusExitEndsRun)
{
    window().close();
    // Run opens its own window: click Exit once it shows the menu. The two
    // passes of the main loop that lead there each drop an event; a move by
    // way of another spot puts at least three motions ahead of the click.
    const BackgroundXdotool clicker("search --sync --onlyvisible --name QUASARIL " +
                                    pointerMove("%1", keySpot.x, keySpot.y) + " " +
                                    pointerMove("%1", 400, 450) + " click 1");
    std::remove(gamefiles::splashScreen); // no key needed to pass the splash
    Quasaril::Run();
    EXPECT_TRUE(Quasaril::IsExiting());
    EXPECT_FALSE(window().isOpen());
}

namespace {

// Every event queued before is taken, one a pass.
void passes()
{
    for (int pass = 0; pass < 50; ++pass)
        Quasaril::GameLoop();
}

void focusOn(const sf::Window& focused)
{
    xdotool("windowfocus --sync " +
            std::to_string(static_cast<unsigned long>(focused.getSystemHandle())));
}

} // namespace

// Another program takes the keyboard and gives it back: the game stays
// Playing, but its frames and its clock stand until P, and the clock goes
// on from where it stood. The clock is pinned: only a pause holds it.
TEST_F(GameDriverTest, ALostFocusPausesPlayUntilP)
{
    constexpr long start = 100000;
    platform::testhooks::pinClock(start);
    Quasaril::setState(Quasaril::Playing);
    {
        const sf::Window other(sf::VideoMode(100, 100), "another program");
        xdotool("search --sync --onlyvisible --name 'another program'");
        focusOn(window());
        focusOn(other);
        passes();
        focusOn(window());
    }
    passes();
    QuasarilInspector::time_2() = 0.0f; // counted by every frame
    platform::testhooks::advanceClock(500);
    passes();
    EXPECT_EQ(Quasaril::getState(), "Playing");
    EXPECT_EQ(QuasarilInspector::time_2(), 0.0f) << "frames while paused";
    queueKey("key", "p");
    passes();
    EXPECT_GT(QuasarilInspector::time_2(), 0.0f) << "no frame after P";
    EXPECT_EQ(platform::gameClock(), start);
}
