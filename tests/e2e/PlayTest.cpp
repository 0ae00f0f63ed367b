// The game played from outside: quasaril on a virtual X server of its
// own, driven with real key presses and clicks, watched through screenshots.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "GameFiles.h"
#include "Desktop.h"
#include "SoundCapture.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

constexpr double spriteGone = 0.3;

const sf::Vector2i shipStart(355, 600);
const sf::Vector2i shipAfterLeft(315, 600); // press and release each step 20 left

bool showsShipAt(const GameWindow& window, sf::Vector2i place)
{
    return window.screen().shows(picture(gamefiles::ship), place.x, place.y) >= spriteShown;
}

class EndToEnd : public ::testing::Test {
protected:
    explicit EndToEnd(const std::string& screen = VirtualDisplay::roomyScreen) : _display(screen) {}

    void SetUp() override { ASSERT_TRUE(_display.ready()) << "no virtual X server"; }

    // Starts the game and waits for its window.
    GameWindow open(GameRun::Files files = GameRun::WithGameFiles)
    {
        _game.emplace(files);
        std::optional<GameWindow> window = GameWindow::find(scaled(Seconds(10)));
        if (!window)
            throw std::runtime_error("the game window did not appear");
        return *window;
    }

    // The window is found again at every look: the game moves it to its
    // place just after it appears.
    GameWindow splashIn(GameWindow window)
    {
        if (!pollUntil(scaled(Seconds(10)), [&] {
                window = GameWindow::find(Seconds(0)).value_or(window);
                return showsScreen(window, gamefiles::splashScreen);
            }))
            throw std::runtime_error("no splash screen");
        return window;
    }

    // From the splash screen to the menu. The key goes only once the splash
    // is on screen: the main loop drops an event that comes before it.
    GameWindow openMenu(GameRun::Files files = GameRun::WithGameFiles)
    {
        return menuFrom(splashIn(open(files)));
    }

    GameWindow menuFrom(GameWindow window)
    {
        window.key("a");
        if (!pollUntil(scaled(Seconds(5)),
                       [&] { return showsScreen(window, gamefiles::mainMenu); }))
            throw std::runtime_error("no menu after a key at the splash screen");
        return window;
    }

    // Every play frame rewrites "HighScore.txt": its arrival shows that play runs.
    bool startPlay(const GameWindow& window)
    {
        return clickUntil(window, playClick, [this] { return _game->highScoreText().has_value(); });
    }

    GameWindow playFrom(GameWindow window)
    {
        if (!startPlay(window))
            throw std::runtime_error("no play after a click on the play item");
        return window;
    }

    GameWindow openPlay() { return playFrom(openMenu()); }

    GameRun& game() { return *_game; }

private:
    VirtualDisplay _display;
    std::optional<GameRun> _game;
};

class SplashEndToEnd : public EndToEnd {};
class MenuEndToEnd : public EndToEnd {};
class PlayEndToEnd : public EndToEnd {};
class MissingFilesEndToEnd : public EndToEnd {};
class FrontEndEndToEnd : public EndToEnd {};

bool isBlack(sf::Color c)
{
    return c.r == 0 && c.g == 0 && c.b == 0;
}

struct Desktop {
    const char* screen; // as Xvfb takes it
    sf::Vector2i size;
};

// How the tables' rows are named in reports and in ctest's list.
void PrintTo(const Desktop& desktop, std::ostream* out)
{
    *out << desktop.screen;
}

class DesktopEndToEnd : public EndToEnd, public ::testing::WithParamInterface<Desktop> {
protected:
    DesktopEndToEnd() : EndToEnd(GetParam().screen) {}
};

// Where the menu picture draws its buttons, off the middle of each, so that
// a click read in window pixels would miss in a window of another size.
const sf::Vector2i drawnPlay(400, 350);
const sf::Vector2i drawnExit(400, 540);

struct Resize {
    sf::Vector2i size;
    bool exit; // clicks EXIT, else PLAY
};

void PrintTo(const Resize& resize, std::ostream* out)
{
    *out << resize.size.x << "x" << resize.size.y << (resize.exit ? ", EXIT" : ", PLAY");
}

// Room for the window at its largest size where the game places it.
class ResizeEndToEnd : public EndToEnd, public ::testing::WithParamInterface<Resize> {
protected:
    ResizeEndToEnd() : EndToEnd("1400x1400x24") {}
};

} // namespace

TEST_F(SplashEndToEnd, AKeyEndsTheSplashAndTheMenuShows)
{
    GameWindow window = open();
    ASSERT_TRUE(pollUntil(scaled(Seconds(10)),
                          [&] { return showsScreen(window, gamefiles::splashScreen); }));
    window.key("a");
    EXPECT_TRUE(
        pollUntil(scaled(Seconds(5)), [&] { return showsScreen(window, gamefiles::mainMenu); }));
    EXPECT_TRUE(game().running());
}

TEST_F(MenuEndToEnd, AClickBetweenTheItemsKeepsTheMenu)
{
    GameWindow window = openMenu();
    window.click(gapClick.x, gapClick.y);
    EXPECT_FALSE(pollUntil(scaled(Seconds(1)), [&] { return !game().running(); }));
    EXPECT_TRUE(showsScreen(window, gamefiles::mainMenu));
    EXPECT_FALSE(game().highScoreText()) << "play began";
    // The menu shown again still answers.
    EXPECT_TRUE(clickUntil(window, exitClick, [&] { return !game().running(); }));
    EXPECT_EQ(game().waitForExit(Seconds(0)), 0);
}

TEST_F(MenuEndToEnd, TheExitItemEndsTheGameWithStatusZero)
{
    GameWindow window = openMenu();
    ASSERT_TRUE(clickUntil(window, exitClick, [&] { return !game().running(); }));
    EXPECT_EQ(game().waitForExit(Seconds(0)), 0);
    EXPECT_FALSE(game().highScoreText()) << "play began";
}

TEST_F(PlayEndToEnd, TheFixedBrainsShipAndScoresAreDrawn)
{
    GameWindow window = openPlay();
    const std::vector<sf::Vector2i> slots = fixedBrainSlots();
    std::vector<bool> seen(slots.size(), false);
    bool scores = false;
    // Every brain must show in some screenshot: the power-up drifts across them.
    const bool allSeen = pollUntil(scaled(Seconds(5)), [&] {
        const Screen screen = window.screen();
        for (std::size_t n = 0; n < slots.size(); ++n)
            seen[n] = seen[n] || screen.shows(picture(gamefiles::plainBrain), slots[n].x,
                                              slots[n].y) >= spriteShown;
        scores = scores || screen.showsScores();
        return scores && std::find(seen.begin(), seen.end(), false) == seen.end();
    });
    for (std::size_t n = 0; n < slots.size(); ++n)
        EXPECT_TRUE(seen[n]) << "no brain at (" << slots[n].x << ", " << slots[n].y << ")";
    EXPECT_TRUE(allSeen);
    EXPECT_TRUE(scores) << "no magenta score and cyan high score at the top";
    EXPECT_TRUE(showsShipAt(window, shipStart));
}

TEST_F(PlayEndToEnd, LeftMovesTheShip)
{
    GameWindow window = openPlay();
    ASSERT_TRUE(pollUntil(scaled(Seconds(5)), [&] { return showsShipAt(window, shipStart); }));
    window.key("Left");
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)), [&] { return showsShipAt(window, shipAfterLeft); }));
    EXPECT_LT(window.screen().shows(picture(gamefiles::ship), shipStart.x, shipStart.y),
              spriteGone);
}

TEST_F(PlayEndToEnd, SpaceFiresAShotThatStrikesABrain)
{
    // From the start place the shot leaves at (385, 560) and rises into the
    // brain of row 5, column 3.
    const sf::Vector2i launch(shipStart.x + 30, shipStart.y - 40);
    const sf::Vector2i target(360, 280);
    GameWindow window = openPlay();
    ASSERT_TRUE(pollUntil(scaled(Seconds(5)), [&] {
        return window.screen().shows(picture(gamefiles::plainBrain), target.x, target.y) >=
               spriteShown;
    }));
    bool shotSeen = false;
    const bool struck = pollUntil(scaled(Seconds(20)), [&] {
        // Fire until the brain goes (the game takes at most one shot every
        // 1.5 s): a key can reach the window before play takes events, and a
        // shot can strike another brain first. The arcing brain crosses the
        // column at a moment of the process clock, which a loaded machine
        // shifts; and the shot moves with the clock, so frames more than
        // 160 ms apart carry its 40-pixel box past a brain untested.
        window.key("space");
        const Screen screen = window.screen();
        for (int y = target.y; y <= launch.y && !shotSeen; ++y)
            shotSeen = screen.shows(picture(gamefiles::plainShot), launch.x, y) >= wholePicture;
        return screen.shows(picture(gamefiles::plainBrain), target.x, target.y) < spriteGone;
    });
    EXPECT_TRUE(shotSeen) << "no shot rising from the ship";
    EXPECT_TRUE(struck) << "the brain above the ship is still there";
}

TEST_F(PlayEndToEnd, EscapeEndsTheGameAndKeepsTheHighScore)
{
    GameWindow window = openPlay();
    window.key("Escape");
    EXPECT_EQ(game().waitForExit(scaled(Seconds(2))), 0);
    const std::optional<std::string> highScore = game().highScoreText();
    ASSERT_TRUE(highScore);
    EXPECT_TRUE(isNumber(*highScore)) << '"' << *highScore << '"';
}

TEST_F(MissingFilesEndToEnd, WithoutPicturesAndFontTheGameStillPlaysAndEnds)
{
    // No splash picture: the splash gives way at once; no menu picture: the
    // menu still answers clicks where its items are.
    GameWindow window = open(GameRun::WithoutGameFiles);
    ASSERT_TRUE(startPlay(window));
    // Texts without a font still leave a speck at their origin; below them
    // the playfield must be plain black.
    EXPECT_EQ(window.screen().count({0, 120, 800, 680}, [](sf::Color c) { return !isBlack(c); }), 0)
        << "play without pictures draws on its black playfield";
    window.key("Escape");
    EXPECT_EQ(game().waitForExit(scaled(Seconds(2))), 0);
    EXPECT_EQ(game().highScoreText(), "0");
}

TEST_F(FrontEndEndToEnd, StartedElsewhereItPlaysInThePlayersDirectory)
{
    // The splash picture shows only if the game found its files; the score
    // file lands in the player's directory, beside links to them.
    GameWindow window = openMenu(GameRun::StartedElsewhere);
    EXPECT_TRUE(startPlay(window));
    EXPECT_TRUE(fs::is_symlink(fs::path(game().playerDirectory()) / gamefiles::mainMenu));
    EXPECT_EQ(game().startDirectoryContents(), std::vector<std::string>());
}

// Without a window manager, the game places its window itself.
TEST_P(DesktopEndToEnd, TheWholeWindowIsOnTheScreenAndPlayShowsTheShipAndScores)
{
    const Desktop& desktop = GetParam();
    GameWindow window = open();
    const sf::IntRect screen({0, 0}, desktop.size);
    const auto onScreen = [&screen](const sf::IntRect& area) {
        sf::IntRect shown;
        return screen.intersects(area, shown) && shown == area;
    };
    // Found again until it stands where the game puts it.
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)),
                          [&] {
                              window = GameWindow::find(Seconds(0)).value_or(window);
                              return onScreen(window.area());
                          }))
        << "the window at (" << window.area().left << ", " << window.area().top << ")";
    window = playFrom(menuFrom(splashIn(window)));
    const sf::IntRect area = window.area();
    EXPECT_EQ(area.width, area.height);
    if (desktop.size.y >= 1080) {
        EXPECT_EQ(area.width, 800);
    }
    bool scores = false;
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)), [&] {
        const Screen screen = window.screen();
        scores = scores || screen.showsScores();
        return scores &&
               screen.shows(picture(gamefiles::ship), shipStart.x, shipStart.y) >= spriteShown;
    })) << (scores ? "no ship" : "no magenta score and cyan high score at the top");
}

INSTANTIATE_TEST_SUITE_P(Sizes, DesktopEndToEnd,
                         ::testing::Values(Desktop{"1366x768x24", {1366, 768}},
                                           Desktop{"1024x600x24", {1024, 600}},
                                           Desktop{"1920x1080x24", {1920, 1080}},
                                           Desktop{"3840x2160x24", {3840, 2160}}),
                         [](const ::testing::TestParamInfo<Desktop>& info) {
                             return "Screen" + std::to_string(info.param.size.x) + "x" +
                                    std::to_string(info.param.size.y);
                         });

// Resized during the splash screen: the menu shows whole at the new size, and
// a click on a drawn button does what the button says.
TEST_P(ResizeEndToEnd, AClickOnTheDrawnButtonDoesWhatItSays)
{
    const Resize& resize = GetParam();
    splashIn(open()).resize(resize.size);
    std::optional<GameWindow> resized = GameWindow::find(scaled(Seconds(5)));
    ASSERT_TRUE(resized);
    ASSERT_EQ(resized->area().width, resize.size.x);
    ASSERT_EQ(resized->area().height, resize.size.y);
    ASSERT_TRUE(pollUntil(scaled(Seconds(5)), [&] {
        return showsScreen(*resized, gamefiles::splashScreen);
    })) << "the splash screen is not shown whole at the new size";
    const GameWindow window = menuFrom(*resized);
    if (resize.exit) {
        ASSERT_TRUE(clickUntil(window, drawnExit, [&] { return !game().running(); }));
        EXPECT_EQ(game().waitForExit(Seconds(0)), 0);
        EXPECT_FALSE(game().highScoreText()) << "play began";
    } else {
        EXPECT_TRUE(
            clickUntil(window, drawnPlay, [&] { return game().highScoreText().has_value(); }));
        EXPECT_TRUE(game().running());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResizeEndToEnd,
                         ::testing::Values(Resize{{1000, 1000}, false}, Resize{{1000, 1000}, true},
                                           Resize{{800, 400}, false}, Resize{{800, 400}, true}),
                         [](const ::testing::TestParamInfo<Resize>& info) {
                             return std::to_string(info.param.size.x) + "x" +
                                    std::to_string(info.param.size.y) +
                                    (info.param.exit ? "Exit" : "Play");
                         });

namespace {

class PauseEndToEnd : public EndToEnd {};

// The power-up drifts one pixel right and down every 40 ms of the game's
// clock: its place on the diagonal is the clock's reading, on screen.
constexpr auto clockPerDriftStep = std::chrono::milliseconds(40);

std::optional<int> clockStep(const Screen& screen)
{
    std::optional<int> step;
    for (int z = 0; z < 800 && !step; ++z)
        if (screen.shows(picture(gamefiles::powerUp), z, z + 1) >= spriteShown)
            step = z;
    return step;
}

// Only the enemy shot's slime is this green.
bool showsEnemyShot(const Screen& screen)
{
    const auto slime = [](sf::Color c) { return c.r > 100 && c.r < 140 && c.g > 240 && c.b < 110; };
    return screen.count({0, 0, 800, 800}, slime) >= 40; // of the drop's 112
}

// The frame under "Paused" is dimmed: nothing else there is white.
bool showsPaused(const Screen& screen)
{
    const auto white = [](sf::Color c) { return c.r > 240 && c.g > 240 && c.b > 240; };
    return screen.count({200, 330, 400, 110}, white) >= 400;
}

// The game's clock in the first screenshot that shows an enemy shot.
int clockAtFirstEnemyShot(const GameWindow& window)
{
    std::optional<int> step;
    if (!pollUntil(scaled(Seconds(30)), [&] {
            const Screen screen = window.screen();
            step = clockStep(screen);
            return showsEnemyShot(screen) && step;
        }))
        throw std::runtime_error("no enemy shot");
    return *step;
}

void pause(const GameWindow& window)
{
    window.key("p");
    if (!pollUntil(scaled(Seconds(5)), [&] { return showsPaused(window.screen()); }))
        throw std::runtime_error("no \"Paused\" after P");
}

} // namespace

// Paused in the 6 s before the enemy fire starts, 15 s into the game's
// clock, and held so long that a clock running through the pause would be
// 3 s past it, the first shot comes at the clock's reading of a game without
// a pause. The span to pause in is that wide because on a loaded machine
// seconds may pass between two screenshots; the later the pause, the
// shorter the hold.
TEST_F(PauseEndToEnd, PlayStandsStillAndTheClockGoesOnWhereItStood)
{
    constexpr int lead = 150, beyond = 75, screenshotLag = 25; // clock steps
    const int unpausedFire = clockAtFirstEnemyShot(openPlay());
    const GameWindow window = openPlay();
    std::optional<int> before;
    std::string seen; // each screenshot's reading, "-" for none, "*" for a shot
    ASSERT_TRUE(pollUntil(scaled(Seconds(30)),
                          [&] {
                              const Screen screen = window.screen();
                              before = clockStep(screen);
                              const bool shot = showsEnemyShot(screen);
                              seen +=
                                  (before ? std::to_string(*before) : "-") + (shot ? "* " : " ");
                              return before && *before >= unpausedFire - lead &&
                                     *before < unpausedFire && !shot;
                          }))
        << "no reading from " << unpausedFire - lead << " to " << unpausedFire << ": " << seen;
    const auto pressed = std::chrono::steady_clock::now();
    pause(window);
    const Screen first = window.screen();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Screen second = window.screen();
    EXPECT_TRUE(first.samePixels(second)) << "play moved while paused";
    EXPECT_TRUE(showsPaused(second));
    std::this_thread::sleep_until(pressed + (unpausedFire - *before + beyond) * clockPerDriftStep);
    window.key("p");
    ASSERT_TRUE(pollUntil(scaled(Seconds(5)), [&] { return !showsPaused(window.screen()); }));
    EXPECT_NEAR(clockAtFirstEnemyShot(window), unpausedFire, screenshotLag);
}

TEST_F(PauseEndToEnd, EscapeWhilePausedEndsWithStatusZeroAndKeepsTheBeatenHighScore)
{
    const GameWindow window = openPlay();
    // The shot from the start place strikes the brain above the ship.
    ASSERT_TRUE(pollUntil(scaled(Seconds(20)), [&] {
        window.key("space");
        return game().highScoreText() != "0";
    }));
    pause(window);
    const std::optional<std::string> beaten = game().highScoreText();
    window.key("Escape");
    EXPECT_EQ(game().waitForExit(scaled(Seconds(2))), 0);
    EXPECT_TRUE(beaten && isNumber(*beaten));
    EXPECT_EQ(game().highScoreText(), beaten);
}

// Wider than high: the playfield stands between bars.
class FullScreenEndToEnd : public EndToEnd {
protected:
    FullScreenEndToEnd() : EndToEnd("1600x1000x24") {}
};

GameWindow windowAt(const sf::IntRect& area)
{
    std::optional<GameWindow> window;
    if (!pollUntil(scaled(Seconds(5)), [&] {
            window = GameWindow::find(Seconds(0));
            return window && window->area() == area;
        }))
        throw std::runtime_error("the window never took its place");
    return *window;
}

// Alt+Enter at the splash screen (Alt alone does not end it); the drawn PLAY
// starts the game (a click read in window pixels would hit EXIT); the ship
// and the scores stand where a square centred playfield puts them; F11 gives
// the window back its size and place, and play goes on.
TEST_F(FullScreenEndToEnd, SplashMenuAndPlayFillTheScreenAndTheWindowComesBack)
{
    const GameWindow window = splashIn(open());
    const sf::IntRect windowed = window.area();
    window.key("alt+Return");
    const GameWindow full = windowAt({0, 0, 1600, 1000});
    ASSERT_TRUE(
        pollUntil(scaled(Seconds(5)), [&] { return showsScreen(full, gamefiles::splashScreen); }));
    ASSERT_TRUE(
        clickUntil(menuFrom(full), drawnPlay, [&] { return game().highScoreText().has_value(); }));
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)), [&] {
        return full.screen().showsScores() && showsShipAt(full, shipStart);
    }));
    full.key("F11");
    const GameWindow back = windowAt(windowed);
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)), [&] { return back.screen().showsScores(); }));
    EXPECT_TRUE(game().running());
}

namespace {

// A variable of this process's environment, and so of the game it starts,
// set while the object lives.
class EnvironmentSetting {
public:
    EnvironmentSetting(const char* name, const std::string& value) : _name(name)
    {
        setenv(name, value.c_str(), 1);
    }
    ~EnvironmentSetting() { unsetenv(_name); }
    EnvironmentSetting(const EnvironmentSetting&) = delete;
    EnvironmentSetting& operator=(const EnvironmentSetting&) = delete;

private:
    const char* const _name;
};

class SoundEndToEnd : public EndToEnd {
protected:
    const TemporaryDirectory _files;
    const fs::path _settings = _files.path() / "alsoft.conf";
};

} // namespace

TEST_F(SoundEndToEnd, TheShotSoundsThroughOpenALSoftAndMSilencesIt)
{
    const fs::path capture = _files.path() / "capture.wav";
    writeWaveSettings(_settings, capture.string());
    const EnvironmentSetting drivers("ALSOFT_DRIVERS", "wave");
    const EnvironmentSetting settings("ALSOFT_CONF", _settings.string());
    const GameWindow window = openPlay();
    EXPECT_TRUE(shotSoundsAndMSilencesIt(window, capture));
    window.key("Escape");
    EXPECT_EQ(game().waitForExit(scaled(Seconds(5))), 0);
}

// ALSA with no card behind its default device: OpenAL Soft finds no device,
// and it and ALSA would say so in lines of their own.
TEST_F(SoundEndToEnd, WithNoSoundDeviceItSaysSoInOneLineAndPlays)
{
    writeFile(_settings, "pcm.!default { type hw card 99 }\n");
    const EnvironmentSetting drivers("ALSOFT_DRIVERS", "alsa");
    const EnvironmentSetting settings("ALSA_CONFIG_PATH", _settings.string());
    const GameWindow window = openPlay();
    window.key("space");
    window.key("Escape");
    EXPECT_EQ(game().waitForExit(scaled(Seconds(5))), 0);
    const std::string said = game().errorOutput();
    EXPECT_EQ(soundLines(said), 1u) << said;
    EXPECT_NE(said.find("quasaril: no sound device"), std::string::npos) << said;
}
