// The high-score file in every setting a player or an attacker could leave
// it in, each saved twice (two frames of one score) in a child process, as
// the player (uid 65534) or as root.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "posix/ChildSave.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string highScoreFile = "HighScore.txt";

constexpr float gameScore = 200;
constexpr long long readAtMost = 64 * 1024; // the file's start, /proc/self/io and a margin
constexpr std::uintmax_t sparseSize = std::uintmax_t(1) << 30;
const char* const fullDisk = "size=4k"; // one page, taken by the stored score

void writeFile(const std::string& name, const std::string& text, mode_t mode)
{
    std::ofstream(name, std::ios::binary) << text;
    fs::permissions(name, fs::perms(mode));
}

struct FileCase {
    const char* setting;
    void (*setUp)(); // run as the saver; exits the child when it cannot
    float best;      // what SaveScore(200) returns, in both frames
    const char* after;
    const char* said = ""; // in the one line on standard error; "" when nothing is said
    Saver saver = Saver::player;
};

void PrintTo(const FileCase& c, std::ostream* out)
{
    *out << c.setting;
}

const char* const notRegular = "not a regular file";

const FileCase fileCases[] = {
    {"a link to a file",
     [] {
         writeFile("target.txt", "100", 0640);
         fs::create_symlink("target.txt", highScoreFile);
     },
     200, "HighScore.txt -> target.txt; target.txt 640 \"200\""},
    {"a dangling link", [] { fs::create_symlink("target.txt", highScoreFile); }, 200,
     "HighScore.txt -> target.txt; target.txt 644 \"200\""},
    {"a read-only file", [] { writeFile(highScoreFile, "100", 0444); }, 200,
     "HighScore.txt 444 \"100\"", "Permission denied"},
    {"a read-only directory",
     [] {
         writeFile(highScoreFile, "100", 0600);
         fs::permissions(".", fs::perms(0555));
     },
     200, "HighScore.txt 600 \"200\""},
    {"a directory at the old draft name",
     [] {
         writeFile(highScoreFile, "100", 0644);
         fs::create_directory("HighScore.txt.tmp");
     },
     200, "HighScore.txt 644 \"200\"; HighScore.txt.tmp/"},
    {"a link at the old draft name",
     [] {
         writeFile(highScoreFile, "100", 0644);
         writeFile("other.txt", "keep", 0644);
         fs::create_symlink("other.txt", "HighScore.txt.tmp");
     },
     200, "HighScore.txt 644 \"200\"; HighScore.txt.tmp -> other.txt; other.txt 644 \"keep\""},
    {"a named pipe", [] { mkfifo(highScoreFile.c_str(), 0644); }, 200, "HighScore.txt |",
     notRegular},
    {"a directory", [] { fs::create_directory(highScoreFile); }, 200, "HighScore.txt/", notRegular},
    {"a link to a device", [] { fs::create_symlink("/dev/null", highScoreFile); }, 200,
     "HighScore.txt -> /dev/null", notRegular},
    {"an empty file", [] { writeFile(highScoreFile, "", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"words", [] { writeFile(highScoreFile, "words", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"a hand-edited number", [] { writeFile(highScoreFile, "  300\n", 0644); }, 300,
     "HighScore.txt 644 \"  300\n\""},
    {"a score the game does not beat", [] { writeFile(highScoreFile, "1234567", 0644); }, 1234567,
     "HighScore.txt 644 \"1234567\""},
    {"no file", [] {}, 200, "HighScore.txt 644 \"200\""},
    {"a hard link",
     [] {
         writeFile("other.txt", "100", 0644);
         fs::create_hard_link("other.txt", highScoreFile);
     },
     200, "HighScore.txt 644 \"200\"; other.txt 644 \"200\""},
    {"a gigabyte of sparse zeros after the number",
     [] {
         writeFile(highScoreFile, "300", 0644);
         fs::resize_file(highScoreFile, sparseSize);
     },
     300, "HighScore.txt 644 1073741824 bytes"},
    {"the player's file, saved by root",
     [] {
         writeFile(highScoreFile, "100", 0644);
         if (chown(highScoreFile.c_str(), nobody, nobody) != 0)
             _exit(1);
     },
     200, "HighScore.txt 644 \"200\"", "", Saver::root},
    {"no file, saved by root", [] {}, 200, "HighScore.txt 644 \"200\"", "", Saver::root},
    {"the player's link to a root-only file, saved by root",
     [] {
         writeFile("secret.txt", "100", 0600);
         fs::create_symlink("secret.txt", highScoreFile);
         if (lchown(highScoreFile.c_str(), nobody, nobody) != 0)
             _exit(1);
     },
     200, "HighScore.txt -> secret.txt; secret.txt 600 \"100\" owner 0:0",
     "a symbolic link of another user", Saver::root},
    {"a full disk",
     [] { // in a mount namespace of the child's own: the mount goes with it
         fs::create_directory("disk");
         if (unshare(CLONE_NEWNS) != 0 ||
             mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             mount("tmpfs", "disk", "tmpfs", 0, fullDisk) != 0)
             _exit(1);
         writeFile("disk/HighScore.txt", "100", 0644);
         fs::create_symlink("disk/HighScore.txt", highScoreFile);
     },
     200, "HighScore.txt -> disk/HighScore.txt owner 0:0; disk/ owner 0:0",
     "No space left on device", Saver::root},
};

class HighScoreFileTest : public ::testing::TestWithParam<FileCase> {};

} // namespace

// Two frames of the same score: the first saves (or fails, and says so in
// one line naming the file), reading no more than the file's start; the
// second writes nothing at all.
TEST_P(HighScoreFileTest, SavesOnlyWhereItMayAndNeverFollowsADraftName)
{
    const FileCase& c = GetParam();
    if (c.saver == Saver::root && geteuid() != rootUser)
        GTEST_SKIP() << "saving as root needs root";
    const ScopedWorkDir dir;
    if (geteuid() == rootUser) { // the player owns the directory
        ASSERT_EQ(chown(dir.path().c_str(), nobody, nobody), 0);
    }
    const std::optional<TwoFrames> frames = saveTwiceInChild(c.setUp, c.saver, gameScore);
    ASSERT_TRUE(frames) << "the save failed or blocked";
    const std::string& line = frames->said;
    EXPECT_EQ(frames->best[0], c.best);
    EXPECT_EQ(frames->best[1], c.best);
    EXPECT_EQ(describeWorkDir(), c.after);
    EXPECT_LE(frames->firstRead, readAtMost);
    EXPECT_EQ(frames->secondWrites, 0) << "the second frame saved again";
    if (*c.said == '\0') {
        EXPECT_EQ(line, "");
    } else {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        const std::string file = (fs::path(dir.path()) / highScoreFile).string();
        EXPECT_NE(line.find(file), std::string::npos) << line;
        EXPECT_NE(line.find(c.said), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, HighScoreFileTest, ::testing::ValuesIn(fileCases));
