// The player's directory: where it is, its links, and the temporary fallback.

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "GameFiles.h"
#include "platform/PlayerDirectory.h"
#include "platform/PlayerDirectorySides.h"
#include "Score.h"
#include "TestSupport.h"

// While set, symlink() fails with this error, as on a file system that makes
// no links (FAT, some network mounts). The C library's symlink() is replaced
// for the whole test program, the standard library's calls included.
static std::atomic<int> linksFailWith{0};

extern "C" int symlink(const char* target, const char* link) noexcept
{
    if (const int error = linksFailWith.load()) {
        errno = error;
        return -1;
    }
    return static_cast<int>(syscall(SYS_symlinkat, target, AT_FDCWD, link));
}

namespace {

namespace fs = std::filesystem;
namespace playerdir = platform::playerdir;

const std::vector<std::string> twoFiles = {gamefiles::plainBrain, gamefiles::font};

void touch(const fs::path& file, const char* text = "x")
{
    std::ofstream(file) << text;
}

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

// The complaints as the game writes them, one line each.
std::string said(const playerdir::PlayDirectory& play)
{
    std::string lines;
    for (const platform::Failure& complaint : play.complaints())
        lines += "quasaril: " + complaint.what() + "\n";
    return lines;
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
        fs::path found;
        const bool none = static_cast<bool>(playerdir::playerDirectory(found));
        EXPECT_EQ(none ? fs::path() : found, fs::path(c.expected))
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
            touch(player / e.name, "an older picture");
        if (e.before != Nothing)
            stampLink(player / e.name, oldStamp);
    }
    EXPECT_FALSE(playerdir::placeGameFiles(files, player, names));
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
    enum DataHomeIs { Fresh, UnderAFile, Unset, DanglingLink, HoldingAFullDirectory };
    struct Case {
        DataHomeIs dataHome;
        bool temporary;
        std::string said; // in the one line of complaint
    };
    const Case cases[] = {
        {Fresh, false, ""},
        {UnderAFile, true, "a-file is not a directory)"},
        {Unset, true, "neither XDG_DATA_HOME nor HOME"},
        {DanglingLink, true,
         "quasaril is a symbolic link to /gone/quasaril, which does not exist)"},
        {HoldingAFullDirectory, true,
         std::string("/data/quasaril/") + gamefiles::font + ": Directory not empty)"},
    };
    for (const Case& c : cases) {
        const ScopedWorkDir root;
        const fs::path files = fs::path(root.path()) / "files";
        fs::create_directories(files);
        for (const std::string& name : twoFiles)
            touch(files / name);
        const fs::path blocker = fs::path(root.path()) / "a-file";
        touch(blocker);
        const fs::path dataHome =
            c.dataHome == UnderAFile ? blocker / "data" : fs::path(root.path()) / "data";
        if (c.dataHome != UnderAFile)
            fs::create_directories(dataHome);
        if (c.dataHome == DanglingLink)
            fs::create_symlink("/gone/quasaril", dataHome / "quasaril");
        if (c.dataHome == HoldingAFullDirectory)
            fs::create_directories(dataHome / "quasaril" / twoFiles[1] / "something");
        setOrUnset("XDG_DATA_HOME", c.dataHome == Unset ? nullptr : dataHome.c_str());
        setOrUnset("HOME", c.dataHome == Unset ? nullptr : root.path().c_str());
        std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles);
        const fs::path where = play->path();
        const std::string line = said(*play);
        SCOPED_TRACE(where.string() + ": " + line);
        EXPECT_EQ(play->temporary(), c.temporary);
        EXPECT_EQ(fs::current_path(), where);
        for (const std::string& name : twoFiles)
            EXPECT_EQ(fs::read_symlink(where / name), files / name);
        EXPECT_NE(line.find(c.said), std::string::npos);
        if (c.temporary) {
            EXPECT_NE(where.string().find(fs::temp_directory_path().string()), std::string::npos);
            EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
            EXPECT_NE(line.find(where.string()), std::string::npos);
            if (c.dataHome != Unset) {
                EXPECT_NE(line.find((dataHome / "quasaril" / "HighScore.txt").string()),
                          std::string::npos);
            }
        } else {
            EXPECT_EQ(where, dataHome / "quasaril");
            EXPECT_EQ(line, "");
        }
        // The score and a draft of it left half made go with a temporary directory.
        touch(where / "HighScore.txt");
        touch(where / "HighScore.txt.a1B2c3");
        play.reset();
        EXPECT_EQ(fs::exists(where), !c.temporary) << "a temporary directory is removed after play";
    }
}

// Two games where no link can be made: the directory holds copies, the
// second game finds a picture that changed copied anew and the score the
// first one beat.
TEST(PlayerDirectory, WithoutLinksItHoldsCopiesAndKeepsABeatenScore)
{
    for (const int error : {EPERM, ENOSYS, EOPNOTSUPP}) {
        SCOPED_TRACE(std::strerror(error));
        const ScopedWorkDir root;
        const fs::path files = fs::path(root.path()) / "files";
        fs::create_directories(files);
        ASSERT_EQ(setenv("XDG_DATA_HOME", root.path().c_str(), 1), 0);
        linksFailWith = error;
        for (const char* brain : {"first picture", "second picture"}) {
            touch(files / twoFiles[0], brain);
            touch(files / twoFiles[1], "font");
            std::optional<playerdir::PlayDirectory> play(std::in_place, files, twoFiles);
            EXPECT_FALSE(play->temporary());
            EXPECT_EQ(said(*play), "");
            EXPECT_EQ(play->path(), fs::path(root.path()) / "quasaril");
            EXPECT_FALSE(fs::is_symlink(fs::symlink_status(twoFiles[0])));
            EXPECT_EQ(readFile(twoFiles[0]), brain);
            Score score;
            EXPECT_EQ(score.SaveScore(brain == std::string("first picture") ? 300 : 200), 300);
            play.reset();
        }
        linksFailWith = 0;
        EXPECT_EQ(readFile((fs::path(root.path()) / "quasaril" / "HighScore.txt").string()), "300");
    }
}
