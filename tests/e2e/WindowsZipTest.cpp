// The Windows zip as a player gets it: unpacked into a fresh directory and
// played under Wine (in the prefix WINEPREFIX names) on a virtual X server of
// its own, driven with real key presses and clicks, watched through
// screenshots. QUASARIL_WINDOWS_ZIP names the zip; make test-windows runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "Commands.h"
#include "Desktop.h"
#include "GameFiles.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char* const highScoreFile = "HighScore.txt";
// The game's drawing area in Wine's frame: the whole playfield, on a screen
// with room for it.
const sf::Vector2i drawingArea(800, 800);

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

} // namespace

TEST(WindowsZip, UnpackedItPlaysAndKeepsTheScoreInThePlayersDirectory)
{
    const std::string zip = environment("QUASARIL_WINDOWS_ZIP");
    const std::string prefix = environment("WINEPREFIX");
    ASSERT_FALSE(zip.empty() || prefix.empty()) << "needs QUASARIL_WINDOWS_ZIP and WINEPREFIX";
    const TemporaryDirectory unpacked;
    const Outcome unzipped = run({"unzip", "-q", zip, "-d", unpacked.path().string()});
    ASSERT_EQ(unzipped.status, 0) << unzipped.output;
    const fs::path playerDirectory = localAppData(prefix) / "Quasaril";
    fs::remove_all(playerDirectory); // a score from an earlier run proves nothing

    const VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "no virtual X server";
    GameRun game({"wine", (unpacked.path() / "quasaril.exe").string()}, unpacked.path().string());
    const std::optional<GameWindow> window =
        GameWindow::findFramed(scaled(Seconds(20)), drawingArea);
    ASSERT_TRUE(window) << "no game window";
    ASSERT_TRUE(pollUntil(scaled(Seconds(10)), [&] {
        return showsScreen(*window, gamefiles::splashScreen);
    })) << "the unpacked game did not find its pictures";
    window->key("a");
    ASSERT_TRUE(pollUntil(scaled(Seconds(5)), [&] {
        return showsScreen(*window, gamefiles::mainMenu);
    })) << "no menu after a key at the splash screen";

    // The power-up drifts across the brains: each must show in some screenshot.
    const std::vector<sf::Vector2i> slots = fixedBrainSlots();
    std::vector<bool> seen(slots.size(), false);
    const auto armyShown = [&] {
        const Screen screen = window->screen();
        for (std::size_t n = 0; n < slots.size(); ++n)
            seen[n] = seen[n] || screen.shows(picture(gamefiles::plainBrain), slots[n].x,
                                              slots[n].y) >= spriteShown;
        return std::find(seen.begin(), seen.end(), false) == seen.end();
    };
    EXPECT_TRUE(clickUntil(*window, playClick, armyShown)) << "no army after a click on PLAY";

    window->key("Escape");
    EXPECT_EQ(game.waitForExit(scaled(Seconds(10))), 0);
    const std::string score = readFile(playerDirectory / highScoreFile);
    EXPECT_TRUE(isNumber(score)) << "HighScore.txt in " << playerDirectory << ": \"" << score
                                 << '"';
    EXPECT_FALSE(fs::exists(unpacked.path() / highScoreFile)) << "a score beside the executable";
}
