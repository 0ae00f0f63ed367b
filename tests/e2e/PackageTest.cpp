// The Debian package: built with CPack from this build, checked by lintian and
// the desktop validators, unpacked into a temporary root and played from there
// as a player would start it, from a directory that has nothing to do with it.

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "GameFiles.h"
#include "Desktop.h"
#include "Packages.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const char* const appId = "org.example.quasaril";
// Where the package puts the pictures and the link to the font.
const fs::path installedFiles = "/usr/share/games/quasaril";

// The value of a key in a desktop entry; empty when the key is missing.
std::string desktopEntryValue(const fs::path& entry, const std::string& key)
{
    std::istringstream lines(readFile(entry));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    return {};
}

int fontLines(const std::string& text)
{
    std::istringstream lines(text);
    int found = 0;
    for (std::string line; std::getline(lines, line);)
        found += line.find("font") != std::string::npos;
    return found;
}

} // namespace

TEST(Package, IsLintianCleanAndPlaysUnpackedFromAnywhere)
{
    const TemporaryDirectory work;
    ASSERT_FALSE(work.path().empty());
    const Outcome packed = run({QUASARIL_CPACK, "-G", "DEB", "--config", QUASARIL_CPACK_CONFIG,
                                "-B", work.path() / "out"});
    ASSERT_EQ(packed.status, 0) << packed.output;
    const fs::path deb = onlyFileIn(work.path() / "out", ".deb");
    ASSERT_FALSE(deb.empty()) << packed.output;

    // Xvfb serves only the check program: never pulled in by installing the game.
    const Outcome pulledIn = run({"dpkg-deb", "-f", deb, "Pre-Depends", "Depends", "Recommends"});
    EXPECT_EQ(pulledIn.output.find("xvfb"), std::string::npos) << pulledIn.output;
    EXPECT_EQ(run({"dpkg-deb", "-f", deb, "Suggests"}).output, "xvfb\n");

    // No tag at all, down to the pedantic and experimental ones.
    const Outcome lint = run({"lintian", "-I", "-E", "--pedantic", "--fail-on",
                              "error,warning,info,pedantic,experimental", deb});
    EXPECT_EQ(lint.status, 0) << lint.output;
    std::cout << "lintian:\n"
              << lint.output << "package size: " << fs::file_size(deb) << " bytes\n";

    const fs::path root = work.path() / "root";
    const Outcome unpacked = run({"dpkg-deb", "-x", deb, root});
    ASSERT_EQ(unpacked.status, 0) << unpacked.output;
    const fs::path desktopEntry =
        root / "usr/share/applications" / (std::string(appId) + ".desktop");
    const Outcome desktop = run({"desktop-file-validate", desktopEntry});
    EXPECT_EQ(desktop.status, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");
    const Outcome metainfo =
        run({"appstreamcli", "validate", "--no-net", "--pedantic",
             root / "usr/share/metainfo" / (std::string(appId) + ".metainfo.xml")});
    EXPECT_EQ(metainfo.status, 0) << metainfo.output;

    // The font is a relative link that finds Liberation Sans once installed.
    const fs::path font = root / installedFiles.relative_path() / gamefiles::font;
    ASSERT_TRUE(fs::is_symlink(font));
    const fs::path fontTarget = fs::read_symlink(font);
    EXPECT_TRUE(fontTarget.is_relative()) << fontTarget;
    const fs::path systemFont = (installedFiles / fontTarget).lexically_normal();
    EXPECT_TRUE(fs::is_regular_file(systemFont)) << fontTarget;
    // Unpacked, the link leads nowhere in the root: the game finds the
    // system's font itself.

    const VirtualDisplay display;
    ASSERT_TRUE(display.ready()) << "no virtual X server";
    const fs::path elsewhere = work.path() / "elsewhere";
    fs::create_directory(elsewhere);
    GameRun game((root / "usr/games/quasaril").string(), elsewhere.string());
    const std::optional<GameWindow> window = GameWindow::find(scaled(Seconds(10)));
    ASSERT_TRUE(window) << "no game window";
    // A dock ties the window to the menu's entry by its class.
    const std::string windowClass = window->windowClass();
    EXPECT_FALSE(windowClass.empty()) << "no WM_CLASS on the window";
    EXPECT_EQ(windowClass, desktopEntryValue(desktopEntry, "StartupWMClass"));
    ASSERT_TRUE(pollUntil(scaled(Seconds(10)), [&] {
        return showsScreen(*window, gamefiles::splashScreen);
    })) << "the unpacked game did not find its pictures";
    window->key("a");
    ASSERT_TRUE(
        pollUntil(scaled(Seconds(5)), [&] { return showsScreen(*window, gamefiles::mainMenu); }));
    // Play writes the score file in every frame. A click that comes while the
    // game is between two menus is dropped: click again until play shows.
    ASSERT_TRUE(clickUntil(*window, playClick, [&] { return game.highScoreText().has_value(); }))
        << "no play after a click on PLAY";
    EXPECT_TRUE(pollUntil(scaled(Seconds(5)), [&] { return window->screen().showsScores(); }))
        << "no magenta score and cyan high score at the top";
    window->key("Escape");
    EXPECT_EQ(game.waitForExit(scaled(Seconds(5))), 0);
    const std::optional<std::string> score = game.highScoreText();
    ASSERT_TRUE(score) << "no HighScore.txt in " << game.playerDirectory();
    EXPECT_TRUE(isNumber(*score)) << *score;
    EXPECT_EQ(game.startDirectoryContents(), std::vector<std::string>());
    const std::string errors = game.errorOutput();
    EXPECT_LE(fontLines(errors), 1) << errors;
}
