// The high-score file in every setting a player or an attacker could leave
// it in, each saved twice (two frames of one score) in a child process, as
// the player (uid 65534) or as root.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Score.h"
#include "TestSupport.h"

namespace fs = std::filesystem;

namespace {

const std::string highScoreFile = "HighScore.txt";

void writeFile(const std::string& name, const std::string& text)
{
    std::ofstream(name, std::ios::binary) << text;
}

std::string readFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

constexpr uid_t nobody = 65534;
constexpr uid_t root = 0;
constexpr mode_t playerUmask = 022;
constexpr float gameScore = 200;
constexpr int saveDeadlineMs = 20000; // a save that blocks fails instead of hanging
constexpr long long readAtMost = 64 * 1024; // the file's start, /proc/self/io and a margin
constexpr std::uintmax_t shownTextAtMost = 100; // longer files show their size
constexpr std::uintmax_t sparseSize = std::uintmax_t(1) << 30;
const char* const fullDisk = "size=4k"; // one page, taken by the stored score

void writeFile(const std::string& name, const std::string& text, mode_t mode)
{
    writeFile(name, text);
    fs::permissions(name, fs::perms(mode));
}

// The kind, mode and text (or size) of a file, the target of a link.
void describeEntry(const fs::directory_entry& entry, std::ostream& line)
{
    const std::string name = entry.path().filename().string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status))
        line << " -> " << fs::read_symlink(entry.path()).string();
    else if (fs::is_directory(status))
        line << "/";
    else if (fs::is_fifo(status))
        line << " |";
    else if (fs::file_size(name) > shownTextAtMost)
        line << ' ' << std::oct << static_cast<int>(status.permissions()) << std::dec << ' '
             << fs::file_size(name) << " bytes";
    else
        line << ' ' << std::oct << static_cast<int>(status.permissions()) << " \""
             << readFile(name) << '"';
}

// Every entry of the working directory in one line, with its owner where
// that is not the directory's. A draft left behind shows up here too.
std::string describeWorkDir()
{
    struct stat directory {};
    stat(".", &directory);
    std::set<std::string> lines;
    for (const auto& entry : fs::directory_iterator(".")) {
        std::ostringstream line;
        line << entry.path().filename().string();
        describeEntry(entry, line);
        struct stat owner {};
        lstat(entry.path().c_str(), &owner);
        if (owner.st_uid != directory.st_uid || owner.st_gid != directory.st_gid)
            line << " owner " << owner.st_uid << ':' << owner.st_gid;
        lines.insert(line.str());
    }
    std::string all;
    for (const auto& line : lines)
        all += (all.empty() ? "" : "; ") + line;
    return all;
}

enum class Saver { player, root };

struct FileCase {
    const char* setting;
    void (*setUp)(); // run as the saver
    float best; // what SaveScore(200) returns, in both frames
    const char* after;
    const char* said = ""; // in the one line on standard error; "" when nothing is said
    Saver saver = Saver::player;
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.setting; }

const char* const notRegular = "not a regular file";

const FileCase fileCases[] = {
    {"a link to a file", [] { writeFile("target.txt", "100", 0640);
                              fs::create_symlink("target.txt", highScoreFile); },
     200, "HighScore.txt -> target.txt; target.txt 640 \"200\""},
    {"a dangling link", [] { fs::create_symlink("target.txt", highScoreFile); },
     200, "HighScore.txt -> target.txt; target.txt 644 \"200\""},
    {"a read-only file", [] { writeFile(highScoreFile, "100", 0444); },
     200, "HighScore.txt 444 \"100\"", "Permission denied"},
    {"a read-only directory", [] { writeFile(highScoreFile, "100", 0600);
                                   fs::permissions(".", fs::perms(0555)); },
     200, "HighScore.txt 600 \"200\""},
    {"a directory at the old draft name", [] { writeFile(highScoreFile, "100", 0644);
                                               fs::create_directory("HighScore.txt.tmp"); },
     200, "HighScore.txt 644 \"200\"; HighScore.txt.tmp/"},
    {"a link at the old draft name", [] { writeFile(highScoreFile, "100", 0644);
                                          writeFile("other.txt", "keep", 0644);
                                          fs::create_symlink("other.txt", "HighScore.txt.tmp"); },
     200, "HighScore.txt 644 \"200\"; HighScore.txt.tmp -> other.txt; other.txt 644 \"keep\""},
    {"a named pipe", [] { mkfifo(highScoreFile.c_str(), 0644); }, 200, "HighScore.txt |",
     notRegular},
    {"a directory", [] { fs::create_directory(highScoreFile); }, 200, "HighScore.txt/",
     notRegular},
    {"a link to a device", [] { fs::create_symlink("/dev/null", highScoreFile); },
     200, "HighScore.txt -> /dev/null", notRegular},
    {"an empty file", [] { writeFile(highScoreFile, "", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"words", [] { writeFile(highScoreFile, "words", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"a hand-edited number", [] { writeFile(highScoreFile, "  300\n", 0644); },
     300, "HighScore.txt 644 \"  300\n\""},
    {"a score the game does not beat", [] { writeFile(highScoreFile, "1234567", 0644); },
     1234567, "HighScore.txt 644 \"1234567\""},
    {"no file", [] {}, 200, "HighScore.txt 644 \"200\""},
    {"a hard link", [] { writeFile("other.txt", "100", 0644);
                         fs::create_hard_link("other.txt", highScoreFile); },
     200, "HighScore.txt 644 \"200\"; other.txt 644 \"200\""},
    {"a gigabyte of sparse zeros after the number", [] { writeFile(highScoreFile, "300", 0644);
                                                          fs::resize_file(highScoreFile, sparseSize); },
     300, "HighScore.txt 644 1073741824 bytes"},
    {"the player's file, saved by root", [] { writeFile(highScoreFile, "100", 0644);
                                              chown(highScoreFile.c_str(), nobody, nobody); },
     200, "HighScore.txt 644 \"200\"", "", Saver::root},
    {"no file, saved by root", [] {}, 200, "HighScore.txt 644 \"200\"", "", Saver::root},
    {"the player's link to a root-only file, saved by root",
     [] { writeFile("secret.txt", "100", 0600);
          fs::create_symlink("secret.txt", highScoreFile);
          lchown(highScoreFile.c_str(), nobody, nobody); },
     200, "HighScore.txt -> secret.txt; secret.txt 600 \"100\" owner 0:0",
     "a symbolic link of another user", Saver::root},
    {"a full disk", [] { // in a mount namespace of the child's own: the mount goes with it
         fs::create_directory("disk");
         if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
             mount("tmpfs", "disk", "tmpfs", 0, fullDisk) != 0)
             _exit(1);
         writeFile("disk/HighScore.txt", "100", 0644);
         fs::create_symlink("disk/HighScore.txt", highScoreFile); },
     200, "HighScore.txt -> disk/HighScore.txt owner 0:0; disk/ owner 0:0",
     "No space left on device", Saver::root},
};

// A count from /proc/self/io: "rchar" (bytes read), "syscw" (write calls).
long long ioCount(const std::string& field)
{
    std::ifstream io("/proc/self/io");
    std::string name;
    long long count = 0;
    while (io >> name >> count)
        if (name == field + ":")
            return count;
    return -1;
}

// What the child saw of its two frames.
struct Frames {
    float best[2];
    long long firstRead; // bytes read by the first save
    long long secondWrites; // write calls made by the second
};

bool becomePlayer()
{
    return setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0 &&
           prctl(PR_SET_DUMPABLE, 1) == 0; // keeps /proc/self/io readable
}

// In a child process, as the player (an unprivileged user when started as
// root, since root writes wherever it likes) or as root: sets the directory
// up, saves the same score in two frames, and sends what it saw down the
// pipe. Its standard error goes to `said`.
[[noreturn]] void saveTwice(const FileCase& c, int resultPipe, int said)
{
    if ((c.saver == Saver::player && geteuid() == root && !becomePlayer()) ||
        dup2(said, STDERR_FILENO) < 0)
        _exit(1);
    umask(playerUmask);
    c.setUp();
    Score score;
    Frames frames{};
    const long long readBefore = ioCount("rchar");
    frames.best[0] = score.SaveScore(gameScore);
    frames.firstRead = ioCount("rchar") - readBefore;
    const long long writesBefore = ioCount("syscw");
    frames.best[1] = score.SaveScore(gameScore);
    frames.secondWrites = ioCount("syscw") - writesBefore;
    _exit(write(resultPipe, &frames, sizeof frames) == sizeof frames ? 0 : 1);
}

// What the child saw, or nothing when it failed or did not answer before
// the deadline.
std::optional<Frames> saveInChild(const FileCase& c, std::FILE* said)
{
    int result[2];
    if (pipe(result) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0)
        saveTwice(c, result[1], fileno(said));
    close(result[1]);
    pollfd answer{result[0], POLLIN, 0};
    Frames frames{};
    const bool answered = child > 0 && poll(&answer, 1, saveDeadlineMs) == 1 &&
                          read(result[0], &frames, sizeof frames) == sizeof frames;
    close(result[0]);
    if (child > 0) {
        kill(child, SIGKILL); // stops a child blocked in the save
        waitpid(child, nullptr, 0);
    }
    return answered ? std::optional<Frames>(frames) : std::nullopt;
}

std::string readAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

class HighScoreFileTest : public ::testing::TestWithParam<FileCase> {};

} // namespace

// Two frames of the same score: the first saves (or fails, and says so in
// one line naming the file), reading no more than the file's start; the
// second writes nothing at all.
TEST_P(HighScoreFileTest, SavesOnlyWhereItMayAndNeverFollowsADraftName)
{
    const FileCase& c = GetParam();
    if (c.saver == Saver::root && geteuid() != root)
        GTEST_SKIP() << "saving as root needs root";
    const ScopedWorkDir dir;
    if (geteuid() == root) { // the player owns the directory
        ASSERT_EQ(chown(dir.path().c_str(), nobody, nobody), 0);
    }
    std::FILE* const said = std::tmpfile();
    ASSERT_NE(said, nullptr);
    const std::optional<Frames> frames = saveInChild(c, said);
    const std::string line = readAll(said);
    std::fclose(said);
    ASSERT_TRUE(frames) << "the save failed or blocked; it said: " << line;
    EXPECT_EQ(frames->best[0], c.best);
    EXPECT_EQ(frames->best[1], c.best);
    EXPECT_EQ(describeWorkDir(), c.after);
    EXPECT_LE(frames->firstRead, readAtMost);
    EXPECT_EQ(frames->secondWrites, 0) << "the second frame saved again";
    if (*c.said == '\0') {
        EXPECT_EQ(line, "");
    } else {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
        EXPECT_NE(line.find((fs::path(dir.path()) / highScoreFile).string()), std::string::npos) << line;
        EXPECT_NE(line.find(c.said), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, HighScoreFileTest, ::testing::ValuesIn(fileCases));
