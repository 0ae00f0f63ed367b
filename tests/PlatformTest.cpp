#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include "Platform.h"
#include "TestSupport.h"

using platform::gameClock;
using platform::gameRand;
namespace hooks = platform::testhooks;

namespace {

constexpr int randomMax = 32767;

long steadyMilliseconds()
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count());
}

} // namespace

// Must stay the first draws of the process: ctest runs every case alone.
TEST(GameRandom, FreshProcessDrawsTheFixedSequence)
{
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(gameRand(), expected);
}

TEST(GameRandom, RestartBeginsTheSequenceAgain)
{
    for (int i = 0; i < 1000; ++i)
        gameRand();
    hooks::restartRandom();
    EXPECT_EQ(gameRand(), 41);
    EXPECT_EQ(gameRand(), 18467);
}

TEST(GameRandom, DrawsCoverTheWholeRange)
{
    constexpr int draws = 100000;
    std::set<int> seen;
    for (int i = 0; i < draws; ++i) {
        const int value = gameRand();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, randomMax);
        seen.insert(value);
    }
    // 100000 draws from 32768 equally likely values leave about 31200
    // distinct; a lost bit would halve that.
    EXPECT_GT(seen.size(), 30000u);
    EXPECT_LT(*seen.begin(), 100);
    EXPECT_GT(*seen.rbegin(), randomMax - 100);
}

TEST(GameClock, CountsRealMillisecondsWhileTheProcessSleeps)
{
    constexpr long sleepMs = 60;
    constexpr long slackMs = 2;
    const long steadyBefore = steadyMilliseconds();
    const long clockBefore = gameClock();
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    const long clockAfter = gameClock();
    const long steadyAfter = steadyMilliseconds();
    EXPECT_GE(clockAfter - clockBefore, sleepMs - slackMs);
    EXPECT_LE(clockAfter - clockBefore, steadyAfter - steadyBefore + slackMs);
}

TEST(GameClock, StartsNearZeroAndNeverGoesBack)
{
    constexpr long generousStartupMs = 30000;
    long previous = gameClock();
    EXPECT_GE(previous, 0);
    EXPECT_LT(previous, generousStartupMs);
    for (int i = 0; i < 200000; ++i) {
        const long now = gameClock();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(GameClock, PinnedReadingHoldsAndAdvancesOnlyByHand)
{
    hooks::pinClock(5000);
    EXPECT_EQ(gameClock(), 5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(gameClock(), 5000);
    hooks::advanceClock(250);
    EXPECT_EQ(gameClock(), 5250);
    hooks::advanceClock(0);
    EXPECT_EQ(gameClock(), 5250);
}

TEST(GameClock, ReleaseReturnsToTheRealClock)
{
    const long before = gameClock();
    hooks::pinClock(100000000);
    hooks::releaseClock();
    const long after = gameClock();
    EXPECT_GE(after, before);
    EXPECT_LT(after - before, 1000);
}

// ---------------------------------------------------------------------------
// The player's directory

namespace {

namespace fs = std::filesystem;
namespace playerdir = platform::playerdir;

const std::vector<std::string> twoFiles = {"brain.png", "Arial.ttf"};

void touch(const fs::path& file) { std::ofstream(file) << "x"; }

void setOrUnset(const char* variable, const char* value)
{
    if (value)
        setenv(variable, value, 1);
    else
        unsetenv(variable);
}

struct DataHome {
    const char* xdgDataHome; // nullptr: unset
    const char* home;
    const char* expected;
};

// A link's own modification time, read without following it.
long linkStamp(const fs::path& link)
{
    struct stat status {};
    return lstat(link.c_str(), &status) == 0 ? static_cast<long>(status.st_mtim.tv_sec) : -1;
}

void stampLink(const fs::path& link, long seconds)
{
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    utimensat(AT_FDCWD, link.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

TEST(PlayerDirectory, IsQuasarilInTheDataHomeOfXdgOrOfHome)
{
    const DataHome cases[] = {
        {"/data", "/home/p", "/data/quasaril"},
        {nullptr, "/home/p", "/home/p/.local/share/quasaril"},
        {"", "/home/p", "/home/p/.local/share/quasaril"},
        {"relative/data", "/home/p", "/home/p/.local/share/quasaril"}, // must be absolute
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
    };
    for (const DataHome& c : cases) {
        setOrUnset("XDG_DATA_HOME", c.xdgDataHome);
        setOrUnset("HOME", c.home);
        EXPECT_EQ(playerdir::playerDirectory(), fs::path(c.expected))
            << "XDG_DATA_HOME " << (c.xdgDataHome ? c.xdgDataHome : "unset") << ", HOME "
            << (c.home ? c.home : "unset");
    }
}

TEST(PlayerDirectory, LinksEachGameFileLeavingRightLinksAlone)
{
    enum Before { Nothing, RightLink, StaleLink, PlainFile };
    struct Entry {
        const char* name;
        bool amongGameFiles;
        Before before;
        bool linkedAfter;
    };
    const Entry entries[] = {
        {"fresh.png", true, Nothing, true},    {"right.png", true, RightLink, true},
        {"stale.png", true, StaleLink, true},  {"plain.png", true, PlainFile, true},
        {"absent.png", false, Nothing, false},
    };
    constexpr long oldStamp = 1000000000; // a marker: a replaced link is stamped anew
    const ScopedWorkDir root;
    const fs::path files = fs::path(root.path()) / "files";
    const fs::path player = fs::path(root.path()) / "player";
    fs::create_directories(files);
    fs::create_directories(player);
    std::vector<std::string> names;
    for (const Entry& e : entries) {
        names.push_back(e.name);
        if (e.amongGameFiles)
            touch(files / e.name);
        if (e.before == RightLink)
            fs::create_symlink(files / e.name, player / e.name);
        if (e.before == StaleLink)
            fs::create_symlink(fs::path(root.path()) / "gone" / e.name, player / e.name);
        if (e.before == PlainFile)
            touch(player / e.name);
        if (e.before != Nothing)
            stampLink(player / e.name, oldStamp);
    }
    EXPECT_FALSE(playerdir::linkFiles(files, player, names));
    for (const Entry& e : entries) {
        const fs::path link = player / e.name;
        EXPECT_EQ(fs::is_symlink(fs::symlink_status(link)), e.linkedAfter) << e.name;
        if (e.linkedAfter) {
            EXPECT_EQ(fs::read_symlink(link), files / e.name) << e.name;
        }
        if (e.before != Nothing) {
            EXPECT_EQ(linkStamp(link) == oldStamp, e.before == RightLink) << e.name;
        }
    }
}

TEST(PlayerDirectory, PlayIsInThePlayersDirectoryOrElseInATemporaryOne)
{
    enum DataHomeIs { Fresh, UnderAFile, Unset };
    struct Case {
        DataHomeIs dataHome;
        bool temporary;
    };
    for (const Case c : {Case{Fresh, false}, Case{UnderAFile, true}, Case{Unset, true}}) {
        const ScopedWorkDir root;
        const fs::path files = fs::path(root.path()) / "files";
        fs::create_directories(files);
        for (const std::string& name : twoFiles)
            touch(files / name);
        const fs::path blocker = fs::path(root.path()) / "a-file";
        touch(blocker);
        const fs::path dataHome = c.dataHome == Fresh ? fs::path(root.path()) / "data" : blocker / "data";
        setOrUnset("XDG_DATA_HOME", c.dataHome == Unset ? nullptr : dataHome.c_str());
        setOrUnset("HOME", c.dataHome == Unset ? nullptr : root.path().c_str());
        std::ostringstream complaints;
        std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles, complaints);
        const fs::path where = play->path();
        SCOPED_TRACE(where.string());
        EXPECT_EQ(play->temporary(), c.temporary);
        EXPECT_EQ(fs::current_path(), where);
        for (const std::string& name : twoFiles)
            EXPECT_EQ(fs::read_symlink(where / name), files / name);
        if (c.temporary) {
            EXPECT_NE(where.string().find(fs::temp_directory_path().string()), std::string::npos);
            const std::string line = complaints.str();
            EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
            EXPECT_NE(line.find(where.string()), std::string::npos) << line;
            if (c.dataHome == UnderAFile) {
                EXPECT_NE(line.find((dataHome / "quasaril" / "HighScore.txt").string()),
                          std::string::npos) << line;
            }
        } else {
            EXPECT_EQ(where, dataHome / "quasaril");
            EXPECT_EQ(complaints.str(), "");
        }
        play.reset();
        EXPECT_EQ(fs::exists(where), !c.temporary) << "a temporary directory is removed after play";
    }
}

// A picture missing in every frame: thousands of the same line shrink to the
// line itself and one count per interval, and the last count comes when the
// filter goes.
TEST(ErrorStream, RepeatsAreCountedNotPrinted)
{
    using platform::errorstream::RepeatFilter;
    const std::string missing = "Failed to load image \"brain.png\". Reason: Unable to open file";
    const std::string font = "Failed to load font \"Arial.ttf\"";
    std::ostringstream stream;
    std::streambuf* const own = stream.rdbuf();
    hooks::pinClock(1000);
    {
        const RepeatFilter filter(stream);
        for (int i = 0; i < 3000; ++i)
            stream << missing << std::endl;
        stream << font << "\n" << missing << "\n";
        hooks::advanceClock(RepeatFilter::summaryInterval - 1);
        stream << missing << std::endl;
        hooks::advanceClock(1);
        stream << missing << std::endl << missing << std::endl;
    }
    hooks::releaseClock();
    EXPECT_EQ(stream.rdbuf(), own);
    EXPECT_EQ(stream.str(), missing + "\n" + font + "\n" + missing +
                                " (repeated 3002 more times)\n" + missing +
                                " (repeated 1 more time)\n");
}
