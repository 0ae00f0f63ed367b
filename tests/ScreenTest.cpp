// The splash screen, the main menu and the game driver, fed with real X input
// (xdotool) queued before the screens start waiting.
#include <gtest/gtest.h>

#include <SFML/Graphics.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "MainMenu.h"
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

sf::RenderWindow& window() { return Quasaril::_mainWindow; }

std::string windowId()
{
    return std::to_string(static_cast<unsigned long>(window().getSystemHandle()));
}

// Runs xdotool against the game window and waits until the X server has
// handled the input, so the events are queued for the window.
void xdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
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
    xdotool("mousemove --sync --window " + windowId() + " " + std::to_string(x) + " " +
            std::to_string(y) + " click " + std::to_string(button));
}

void queueKey(const std::string& action, const std::string& key)
{
    // The pointer decides which window takes the keys on a bare X server.
    xdotool("mousemove --sync --window " + windowId() + " 400 600");
    xdotool(action + " " + key);
}

// Waits a little for the X server's events to reach the window's queue and
// reports whether one of the kind is pending; everything else is dropped.
bool pendingEventOfType(sf::Event::EventType type)
{
    sf::Clock waited;
    sf::Event event;
    while (waited.getElapsedTime() < sf::milliseconds(300)) {
        while (window().pollEvent(event))
            if (event.type == type)
                return true;
    }
    return false;
}

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

} // namespace

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
    xdotool("mousemove --sync --window " + windowId() + " 300 300");
    queueClick(400, 450);
    MainMenu menu;
    EXPECT_EQ(menu.Show(window()), MainMenu::Exit);
}

TEST_F(MainMenuTest, WorksWithoutItsPicture)
{
    std::remove("mainmenu.png");
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
    std::remove("SplashScreen1.png");
    sf::Clock shown;
    SplashScreen splash;
    splash.Show(window()); // nothing queued: with its picture it would wait
    EXPECT_LT(shown.getElapsedTime(), sf::seconds(1));
}

TEST_F(SplashScreenTest, AQueuedKeyPressEndsIt)
{
    ASSERT_TRUE(std::filesystem::exists("SplashScreen1.png")); // else it would not wait
    queueKey("key", "a");
    SplashScreen splash;
    splash.Show(window());
    // The release of the same key is still waiting: the press ended the splash.
    EXPECT_TRUE(pendingEventOfType(sf::Event::KeyReleased));
}

TEST_F(SplashScreenTest, KeyReleasesAndMouseMovesAreDropped)
{
    ASSERT_TRUE(std::filesystem::exists("SplashScreen1.png"));
    queueKey("keyup", "b");
    xdotool("mousemove --sync --window " + windowId() + " 100 100");
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
    std::remove("SplashScreen1.png");
    Quasaril::setState(Quasaril::ShowingSplash);
    Quasaril::GameLoop();
    EXPECT_EQ(Quasaril::getState(), "ShowingMenu");
}

TEST_F(GameDriverTest, TheMenusExitEndsRun)
{
    window().close();
    // Run opens its own window: click Exit once it shows the menu.
    ASSERT_EQ(std::system("(xdotool search --sync --onlyvisible --name QUASARIL "
                          "mousemove --sync --window %1 400 450 sleep 0.5 click 1 "
                          ">/dev/null 2>&1 &)"),
              0);
    std::remove("SplashScreen1.png"); // no key needed to pass the splash
    Quasaril::Run();
    EXPECT_TRUE(Quasaril::IsExiting());
    EXPECT_FALSE(window().isOpen());
}
