// The console program run as the player (the tests run as root, who may
// write anywhere), in directories and over files the player may not write.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "ConsoleTranscripts.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

constexpr auto enterOnly = fs::perms(0755); // for all but the owner, the tester

// Where the player cannot write the file, the cases run as ever and fail as
// they must, the report unchanged; one line on standard error says why.
struct ScoreFileCase {
    const char* setting;
    void (*setUp)(); // as the tester, in a working directory the player may enter
    const char* transcript;
    int exitCode;
    const char* why; // the reason the warning gives; none for no warning
    bool saveFails;  // a score case's save is refused, and says so once
    As as = As::player;
    const char* refusal = nullptr;    // the one line on standard error, in place of the above
    const char* scoreAfter = nullptr; // what HighScore.txt reads afterwards, where it matters
};

// Whether a user who is neither owner nor in the group may pass through
// every directory on the way to the path.
bool othersCanReach(const fs::path& path)
{
    for (fs::path directory = path;; directory = directory.parent_path()) {
        struct stat status {};
        if (stat(directory.c_str(), &status) != 0 || !(status.st_mode & S_IXOTH))
            return false;
        if (directory == directory.root_path())
            return true;
    }
}

// The directory is the player's own, holding the best score: XDG_DATA_HOME
// leads to it through a link.
void makePlayersDirectory()
{
    // The player reaches a data home by its absolute path.
    if (!othersCanReach(fs::current_path()))
        GTEST_SKIP() << "the player cannot reach " << fs::current_path()
                     << " by its path, to make it a data home: TMPDIR lies in a directory "
                        "closed to other users";
    ASSERT_EQ(0, chown(".", nobody, nobody));
    std::ofstream(highScoreFile, std::ios::binary) << "98700";
    fs::create_directory("data");
    fs::create_directory_symlink(fs::current_path(), "data/quasaril");
    ASSERT_EQ(0, setenv("XDG_DATA_HOME", (fs::current_path() / "data").c_str(), 1));
}

// In the player's directory, a link to a file only root may read: root's
// check cases must not write through it.
void plantLinkToRootsFile()
{
    ASSERT_EQ(0, chown(".", nobody, nobody));
    std::ofstream("secret.txt", std::ios::binary) << "keep";
    fs::permissions("secret.txt", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("secret.txt", highScoreFile);
    ASSERT_EQ(0, lchown(highScoreFile, nobody, nobody));
}

void PrintTo(const ScoreFileCase& row, std::ostream* out)
{
    *out << row.setting;
}

const ScoreFileCase scoreFileCases[] = {
    {"the player's own directory", [] { ASSERT_EQ(0, chown(".", nobody, nobody)); },
     "plain_run.txt", 0, nullptr, false},
    {"a directory the player cannot write", [] {}, "unwritable_directory.txt", 1,
     "Permission denied", true},
    {"a best score of 500 the player cannot write",
     [] { std::ofstream(highScoreFile, std::ios::binary) << "500"; }, "unwritable_high_score.txt",
     1, "Permission denied", false},
    {"the game's own player directory", makePlayersDirectory, "players_directory.txt", 1, nullptr,
     false, As::player, "quasaril-check: not run in the player's directory ", "98700"},
    {"another user's link to a file of root's, run by root", plantLinkToRootsFile,
     "unwritable_directory.txt", 1, "a symbolic link of another user, not followed", true,
     As::tester, nullptr, "keep"},
};

class ConsoleScoreFile : public ::testing::TestWithParam<ScoreFileCase> {};

TEST_P(ConsoleScoreFile, RunsItsCasesAsEverAndSaysOnceWhyScoresFail)
{
    // Only root can hand the directory to the player and become the player.
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to run the check program as another user";
    const ScoreFileCase& row = GetParam();
    ScopedWorkDir dir;
    fs::permissions(".", enterOnly);
    row.setUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    const ConsoleRun run = runConsole({}, row.as);
    EXPECT_EQ(row.exitCode, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, row.transcript));
    if (row.scoreAfter) {
        EXPECT_EQ(row.scoreAfter, readFile(highScoreFile));
    }
    if (row.refusal) {
        EXPECT_EQ(0u, run.errors.find(row.refusal)) << run.errors;
        EXPECT_EQ(1, occurrences(run.errors, "\n")) << run.errors;
        return;
    }
    const std::string warning = row.why ? "quasaril-check: cannot write HighScore.txt in " +
                                              fs::current_path().string() + " (" + row.why +
                                              "): the Score cases will not all pass\n"
                                        : "";
    const std::string saveFailure = row.saveFails ? "the high score cannot be kept in " +
                                                        fs::current_path().string() + "/" +
                                                        highScoreFile + " (" + row.why + ")\n"
                                                  : "";
    EXPECT_EQ(warning + saveFailure, run.errors);
}

INSTANTIATE_TEST_SUITE_P(Settings, ConsoleScoreFile, ::testing::ValuesIn(scoreFileCases));

} // namespace
