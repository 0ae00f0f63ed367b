// The high-score file in every setting a player or an attacker could leave
// it in, each saved in a child process as the player (uid 65534) would.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <poll.h>
#include <set>
#include <sstream>
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
constexpr mode_t playerUmask = 022;
constexpr float gameScore = 200;
constexpr int saveDeadlineMs = 20000; // a save that blocks fails instead of hanging

void writeFile(const std::string& name, const std::string& text, mode_t mode)
{
    writeFile(name, text);
    fs::permissions(name, fs::perms(mode));
}

// Every entry of the working directory in one line: kind, mode and text of
// files, the target of links. A draft left behind shows up here too.
std::string describeWorkDir()
{
    std::set<std::string> lines;
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        const fs::file_status status = entry.symlink_status();
        std::ostringstream line;
        line << name;
        if (fs::is_symlink(status))
            line << " -> " << fs::read_symlink(entry.path()).string();
        else if (fs::is_directory(status))
            line << "/";
        else if (fs::is_fifo(status))
            line << " |";
        else
            line << ' ' << std::oct << static_cast<int>(status.permissions()) << " \""
                 << readFile(name) << '"';
        lines.insert(line.str());
    }
    std::string all;
    for (const auto& line : lines)
        all += (all.empty() ? "" : "; ") + line;
    return all;
}

struct FileCase {
    const char* setting;
    void (*setUp)();
    float best; // what SaveScore(200) returns
    const char* after;
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.setting; }

const FileCase fileCases[] = {
    {"a link to a file", [] { writeFile("target.txt", "100", 0640);
                              fs::create_symlink("target.txt", highScoreFile); },
     200, "HighScore.txt -> target.txt; target.txt 640 \"200\""},
    {"a dangling link", [] { fs::create_symlink("target.txt", highScoreFile); },
     200, "HighScore.txt -> target.txt; target.txt 644 \"200\""},
    {"a read-only file", [] { writeFile(highScoreFile, "100", 0444); },
     200, "HighScore.txt 444 \"100\""},
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
    {"a named pipe", [] { mkfifo(highScoreFile.c_str(), 0644); }, 200, "HighScore.txt |"},
    {"a directory", [] { fs::create_directory(highScoreFile); }, 200, "HighScore.txt/"},
    {"a link to a device", [] { fs::create_symlink("/dev/null", highScoreFile); },
     200, "HighScore.txt -> /dev/null"},
    {"an empty file", [] { writeFile(highScoreFile, "", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"words", [] { writeFile(highScoreFile, "words", 0644); }, 200, "HighScore.txt 644 \"200\""},
    {"a hand-edited number", [] { writeFile(highScoreFile, "  300\n", 0644); },
     300, "HighScore.txt 644 \"300\""},
    {"no file", [] {}, 200, "HighScore.txt 644 \"200\""},
};

// In a child process, as an unprivileged user when started as root (root
// writes wherever it likes): sets the directory up, saves, and sends the
// returned high score down the pipe.
[[noreturn]] void saveAsPlayer(void (*setUp)(), int resultPipe)
{
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 ||
                           setuid(nobody) != 0))
        _exit(1);
    umask(playerUmask);
    setUp();
    Score score;
    const float best = score.SaveScore(gameScore);
    _exit(write(resultPipe, &best, sizeof best) == sizeof best ? 0 : 1);
}

// The high score the child saved, or nothing when it failed or did not
// answer before the deadline.
std::optional<float> saveInChild(void (*setUp)())
{
    int result[2];
    if (pipe(result) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0)
        saveAsPlayer(setUp, result[1]);
    close(result[1]);
    pollfd answer{result[0], POLLIN, 0};
    float best = 0;
    const bool answered = child > 0 && poll(&answer, 1, saveDeadlineMs) == 1 &&
                          read(result[0], &best, sizeof best) == sizeof best;
    close(result[0]);
    if (child > 0) {
        kill(child, SIGKILL); // stops a child blocked in the save
        waitpid(child, nullptr, 0);
    }
    return answered ? std::optional<float>(best) : std::nullopt;
}

class HighScoreFileTest : public ::testing::TestWithParam<FileCase> {};

} // namespace

TEST_P(HighScoreFileTest, SavesOnlyWhereItMayAndNeverFollowsADraftName)
{
    const FileCase& c = GetParam();
    const ScopedWorkDir dir;
    if (geteuid() == 0) { // the player owns the directory
        ASSERT_EQ(chown(dir.path().c_str(), nobody, nobody), 0);
    }
    const std::optional<float> best = saveInChild(c.setUp);
    ASSERT_TRUE(best) << "the save failed or blocked";
    EXPECT_EQ(*best, c.best);
    EXPECT_EQ(describeWorkDir(), c.after);
}

INSTANTIATE_TEST_SUITE_P(Settings, HighScoreFileTest, ::testing::ValuesIn(fileCases));
