// The Windows zip as a player gets it: unpacked into a fresh directory and
// played under Wine (in the prefix WINEPREFIX names) on a virtual X server of
// its own, driven with real key presses and clicks, watched through
// screenshots and, for its sound, through OpenAL Soft's wave writer, which
// plays into a file instead of a device. QUASARIL_WINDOWS_ZIP names the zip;
// make test-windows runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <pwd.h>
#include <unistd.h>

#include "Commands.h"
#include "SoundCapture.h"
#include "Desktop.h"
#include "GameFiles.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char* const highScoreFile = "HighScore.txt";
const char* const logFile = "quasaril.log";
// The game's drawing area in Wine's frame: the whole playfield, on a screen
// with room for it.
const sf::Vector2i drawingArea(800, 800);
// Wine with none of its sound drivers: no device at all, whatever the host has.
const char* const noSoundDrivers =
    "WINEDLLOVERRIDES=mscoree,mshtml,winealsa.drv,winepulse.drv,wineoss.drv=";

std::string environment(const char* name)
{
    const char* const value = std::getenv(name);
    return value ? value : "";
}

// Where Wine keeps the player's local application data: in the prefix,
// under the Unix user's name, as Wine takes it.
fs::path localAppData(const fs::path& prefix)
{
    std::string user = environment("USER");
    if (user.empty())
        if (const passwd* entry = getpwuid(getuid()))
            user = entry->pw_name;
    return prefix / "drive_c/users" / user / "AppData/Local";
}

// A file of this machine as a Windows program under Wine names it.
std::string windowsPath(const fs::path& path)
{
    return "Z:" + path.string();
}

// The zip unpacked into a fresh directory, the player's directory in the
// Wine prefix gone (a score or a log from an earlier run proves nothing),
// and a virtual display.
class WindowsZip : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string zip = environment("QUASARIL_WINDOWS_ZIP");
        const std::string prefix = environment("WINEPREFIX");
        ASSERT_FALSE(zip.empty() || prefix.empty()) << "needs QUASARIL_WINDOWS_ZIP and WINEPREFIX";
        const Outcome unzipped = run({"unzip", "-q", zip, "-d", unpacked.path().string()});
        ASSERT_EQ(unzipped.status, 0) << unzipped.output;
        playerDirectory = localAppData(prefix) / "Quasaril";
        fs::remove_all(playerDirectory);
        ASSERT_TRUE(display.ready()) << "no virtual X server";
    }

    // The unpacked game under Wine, through env with the variables given.
    std::unique_ptr<GameRun> start(std::vector<std::string> variables = {}) const
    {
        std::vector<std::string> command{"env"};
        command.insert(command.end(), variables.begin(), variables.end());
        command.insert(command.end(), {"wine", (unpacked.path() / "quasaril.exe").string()});
        return std::make_unique<GameRun>(command, unpacked.path().string());
    }

    const TemporaryDirectory unpacked;
    fs::path playerDirectory;
    const VirtualDisplay display;
};

// From the splash screen through the menu into play, until every brain has
// shown: the power-up drifts across them, so each must show in some
// screenshot.
testing::AssertionResult playsToTheArmy(const std::optional<GameWindow>& window)
{
    if (!window)
        return testing::AssertionFailure() << "no game window";
    if (!pollUntil(scaled(Seconds(10)),
                   [&] { return showsScreen(*window, gamefiles::splashScreen); }))
        return testing::AssertionFailure() << "the unpacked game did not find its pictures";
    window->key("a");
    if (!pollUntil(scaled(Seconds(5)), [&] { return showsScreen(*window, gamefiles::mainMenu); }))
        return testing::AssertionFailure() << "no menu after a key at the splash screen";
    const std::vector<sf::Vector2i> slots = fixedBrainSlots();
    std::vector<bool> seen(slots.size(), false);
    const auto armyShown = [&] {
        const Screen screen = window->screen();
        for (std::size_t n = 0; n < slots.size(); ++n)
            seen[n] = seen[n] || screen.shows(picture(gamefiles::plainBrain), slots[n].x,
                                              slots[n].y) >= spriteShown;
        return std::find(seen.begin(), seen.end(), false) == seen.end();
    };
    if (!clickUntil(*window, playClick, armyShown))
        return testing::AssertionFailure() << "no army after a click on PLAY";
    return testing::AssertionSuccess();
}

std::optional<GameWindow> gameWindow()
{
    return GameWindow::findFramed(scaled(Seconds(20)), drawingArea);
}

} // namespace

// The screen's resolution Windows tells programs: 96 is 100%, 144 is 150%.
class WindowsZipScaled : public WindowsZip, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        WindowsZip::SetUp();
        ASSERT_TRUE(setLogPixels(GetParam()));
    }
    void TearDown() override { EXPECT_TRUE(setLogPixels(standardLogPixels)); }

    static constexpr int standardLogPixels = 96;

private:
    static bool setLogPixels(int value)
    {
        return run({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                    "REG_DWORD", "/d", std::to_string(value), "/f"})
                   .status == 0;
    }
};

// At any scale the window shows the whole playfield at its own size (the
// game declares itself aware of the resolution), and the splash screen
// waits for the player: a second without input leaves it up.
TEST_P(WindowsZipScaled, UnpackedItPlaysAndKeepsTheScoreInThePlayersDirectory)
{
    const auto game = start();
    const std::optional<GameWindow> window = gameWindow();
    ASSERT_TRUE(window) << "no game window of the playfield's size";
    ASSERT_TRUE(pollUntil(scaled(Seconds(10)),
                          [&] { return showsScreen(*window, gamefiles::splashScreen); }));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(showsScreen(*window, gamefiles::splashScreen)) << "the splash ended by itself";
    ASSERT_TRUE(playsToTheArmy(window));

    window->key("Escape");
    EXPECT_EQ(game->waitForExit(scaled(Seconds(10))), 0);
    const std::string score = readFile(playerDirectory / highScoreFile);
    EXPECT_TRUE(isNumber(score)) << "HighScore.txt in " << playerDirectory << ": \"" << score
                                 << '"';
    EXPECT_FALSE(fs::exists(unpacked.path() / highScoreFile)) << "a score beside the executable";
}

INSTANTIATE_TEST_SUITE_P(LogPixels, WindowsZipScaled, ::testing::Values(96, 144));

TEST_F(WindowsZip, ItSoundsTheShotThroughOpenALSoftAndMSilencesIt)
{
    const fs::path capture = unpacked.path() / "capture.wav";
    const fs::path settings = unpacked.path() / "alsoft.ini";
    writeWaveSettings(settings, windowsPath(capture));
    const auto game = start({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + windowsPath(settings)});
    const std::optional<GameWindow> window = gameWindow();
    ASSERT_TRUE(playsToTheArmy(window));
    EXPECT_TRUE(shotSoundsAndMSilencesIt(*window, capture));

    window->key("Escape");
    EXPECT_EQ(game->waitForExit(scaled(Seconds(10))), 0);
}

TEST_F(WindowsZip, WithNoSoundDeviceItSaysSoOnceInItsLogAndPlays)
{
    const auto game = start({noSoundDrivers});
    const std::optional<GameWindow> window = gameWindow();
    ASSERT_TRUE(playsToTheArmy(window));
    window->key("space");

    window->key("Escape");
    EXPECT_EQ(game->waitForExit(scaled(Seconds(10))), 0);
    const std::string log = readFile(playerDirectory / logFile);
    EXPECT_EQ(soundLines(log), 1u) << logFile << ":\n" << log;
}
