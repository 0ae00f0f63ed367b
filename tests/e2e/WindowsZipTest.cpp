// The Windows zip as a player gets it: unpacked into a fresh directory and
// played under Wine (in the prefix WINEPREFIX names) on a virtual X server of
// its own, driven with real key presses and clicks, watched through
// screenshots and, for its sound, through OpenAL Soft's wave writer, which
// plays into a file instead of a device. QUASARIL_WINDOWS_ZIP names the zip;
// make test-windows runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pwd.h>
#include <regex>
#include <sstream>
#include <unistd.h>

#include "Commands.h"
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

// What OpenAL Soft's wave writer has written so far: its fmt chunk comes
// first, then the data chunk, whose size it writes only when it closes the
// file; until then the samples run to the end. Empty before the header is
// written, and for any format but 32-bit float samples, plain or extensible.
struct Capture {
    std::uint32_t rate = 0;
    std::uint16_t channels = 0;
    std::vector<float> samples; // interleaved

    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
    // The loudest sample from a frame on.
    float peakFrom(std::size_t frame) const
    {
        float loudest = 0;
        for (std::size_t n = frame * channels; n < samples.size(); ++n)
            loudest = std::max(loudest, std::fabs(samples[n]));
        return loudest;
    }
};

template <typename Number> Number field(const std::string& bytes, std::size_t at)
{
    Number value{};
    if (at + sizeof value <= bytes.size())
        std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

Capture readCapture(const fs::path& file)
{
    constexpr std::uint16_t floatFormat = 3, extensibleFormat = 0xfffe;
    const std::string bytes = readFile(file);
    const std::size_t data = bytes.find("data", 12);
    const auto format = field<std::uint16_t>(bytes, 20);
    // An extensible format names its sample type in its first two bytes.
    const auto sampleType = format == extensibleFormat ? field<std::uint16_t>(bytes, 44) : format;
    Capture capture;
    if (bytes.compare(0, 4, "RIFF") != 0 || data == std::string::npos ||
        sampleType != floatFormat || field<std::uint16_t>(bytes, 34) != 32)
        return capture;
    capture.channels = field<std::uint16_t>(bytes, 22);
    capture.rate = field<std::uint32_t>(bytes, 24);
    capture.samples.resize((bytes.size() - data - 8) / sizeof(float));
    std::memcpy(capture.samples.data(), bytes.data() + data + 8,
                capture.samples.size() * sizeof(float));
    return capture;
}

// Waits until the writer has written the given seconds past a frame.
bool capturedPast(const fs::path& file, std::size_t frame, double seconds)
{
    return pollUntil(scaled(Seconds(10) + Seconds(seconds)), [&] {
        const Capture capture = readCapture(file);
        return capture.rate > 0 && capture.frames() >= frame + std::size_t(seconds * capture.rate);
    });
}

// Waits until the writer's latest seconds are silent.
bool capturedSilence(const fs::path& file, double seconds, float silent)
{
    return pollUntil(scaled(Seconds(20)), [&] {
        const Capture capture = readCapture(file);
        const auto frames = std::size_t(seconds * capture.rate);
        return capture.rate > 0 && capture.frames() >= frames &&
               capture.peakFrom(capture.frames() - frames) < silent;
    });
}

std::size_t linesMatching(const std::string& text, const std::regex& pattern)
{
    std::istringstream lines(text);
    std::size_t count = 0;
    for (std::string line; std::getline(lines, line);)
        count += std::regex_search(line, pattern);
    return count;
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

TEST_F(WindowsZip, UnpackedItPlaysAndKeepsTheScoreInThePlayersDirectory)
{
    const auto game = start();
    const std::optional<GameWindow> window = gameWindow();
    ASSERT_TRUE(playsToTheArmy(window));

    window->key("Escape");
    EXPECT_EQ(game->waitForExit(scaled(Seconds(10))), 0);
    const std::string score = readFile(playerDirectory / highScoreFile);
    EXPECT_TRUE(isNumber(score)) << "HighScore.txt in " << playerDirectory << ": \"" << score
                                 << '"';
    EXPECT_FALSE(fs::exists(unpacked.path() / highScoreFile)) << "a score beside the executable";
}

// Within its first 15 seconds no brain fires, so once the menu's click has
// faded, the sound after Space is the player's shot. Space is pressed until
// the shot goes (a key just after the click into play can go unheeded), and
// after M three times, a second of capture apart: the ship fires again 1.5
// seconds after its last shot, so one of them fires.
TEST_F(WindowsZip, ItSoundsTheShotThroughOpenALSoftAndMSilencesIt)
{
    constexpr double quietSpan = 0.5, pressSpan = 1; // seconds of capture
    constexpr int mutedPresses = 3;
    constexpr float loud = 0.05f, silent = 0.001f;
    const fs::path capture = unpacked.path() / "capture.wav";
    const fs::path configuration = unpacked.path() / "alsoft.ini";
    std::ofstream(configuration) << "[wave]\nfile = " << windowsPath(capture) << '\n';
    const auto game = start({"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + windowsPath(configuration)});
    const std::optional<GameWindow> window = gameWindow();
    ASSERT_TRUE(playsToTheArmy(window));

    ASSERT_TRUE(capturedPast(capture, 0, quietSpan)) << "the game opened no sound device";
    ASSERT_TRUE(capturedSilence(capture, quietSpan, silent)) << "no silence in play";
    const std::size_t beforeShot = readCapture(capture).frames();
    EXPECT_TRUE(pollUntil(scaled(Seconds(10)), [&] {
        window->key("space");
        return pollUntil(Seconds(pressSpan),
                         [&] { return readCapture(capture).peakFrom(beforeShot) > loud; });
    })) << "no sound for the shot";
    ASSERT_TRUE(capturedSilence(capture, quietSpan, silent)) << "the shot's sound goes on";

    const std::size_t beforeMute = readCapture(capture).frames();
    window->key("m");
    for (int press = 0; press < mutedPresses; ++press) {
        window->key("space");
        ASSERT_TRUE(capturedPast(capture, readCapture(capture).frames(), pressSpan))
            << "the wave writer stopped";
    }
    EXPECT_LT(readCapture(capture).peakFrom(beforeMute), silent) << "a sound after M";

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
    EXPECT_EQ(linesMatching(log, std::regex("sound|audio|openal", std::regex::icase)), 1u)
        << logFile << ":\n"
        << log;
}
