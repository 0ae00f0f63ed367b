// Runs the console program quasaril-check as a user would, in a fresh working
// directory, and holds what it prints against the transcripts in
// tests/transcripts/.
//
// A transcript is made of blocks separated by blank lines. Each block must
// stand in the output as consecutive lines, the blocks in their order, with
// anything between them. Timings such as " (3 ms)" are left out of the
// output before it is compared, so transcripts carry none.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ChildProgram.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string consoleProgram = QUASARIL_CONSOLE;
const std::string transcriptDirectory = QUASARIL_TRANSCRIPTS;
const char* const highScoreFile = "HighScore.txt";
const std::string banner = "Running main() from gtest_main.cc";
constexpr int casesInSuite = 34;
constexpr auto enterOnly = fs::perms(0755); // for all but the owner, the tester

struct ConsoleRun {
    int exitCode;
    Lines lines;        // standard output, timings left out
    std::string errors; // standard error
};

Lines splitLines(const std::string& text)
{
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The line without Google Test's closing " (12 ms)" or " (12 ms total)".
std::string withoutTiming(const std::string& line)
{
    const std::size_t open = line.rfind(" (");
    if (open == std::string::npos)
        return line;
    const std::size_t digits = line.find_first_not_of("0123456789", open + 2);
    if (digits == open + 2 || digits == std::string::npos)
        return line;
    const std::string unit = line.substr(digits);
    return unit == " ms)" || unit == " ms total)" ? line.substr(0, open) : line;
}

std::string joined(const Lines& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

// Runs quasaril-check in the working directory with the given flags. What it
// says on standard error is passed on to the test's, so SFML's and the
// sanitizers' words show.
ConsoleRun runConsole(const Lines& flags = {}, As as = As::tester)
{
    const ProgramRun program = runProgram(consoleProgram, flags, as);
    ConsoleRun run{program.exitCode, {}, program.err};
    std::cerr << run.errors;
    for (const auto& line : splitLines(program.out))
        run.lines.push_back(withoutTiming(line));
    return run;
}

Lines transcript(const std::string& name)
{
    const Lines lines = splitLines(readFile(transcriptDirectory + "/" + name));
    if (lines.empty())
        throw std::runtime_error("missing transcript " + name);
    return lines;
}

std::vector<Lines> blocksOf(const Lines& lines)
{
    std::vector<Lines> blocks(1);
    for (const auto& line : lines) {
        if (line.empty())
            blocks.emplace_back();
        else
            blocks.back().push_back(line);
    }
    blocks.erase(std::remove_if(blocks.begin(), blocks.end(),
                                [](const Lines& block) { return block.empty(); }),
                 blocks.end());
    return blocks;
}

::testing::AssertionResult followsTranscript(const ConsoleRun& run, const std::string& name)
{
    auto from = run.lines.begin();
    for (const auto& block : blocksOf(transcript(name))) {
        const auto found = std::search(from, run.lines.end(), block.begin(), block.end());
        if (found == run.lines.end())
            return ::testing::AssertionFailure()
                   << "not in the output after the blocks before it (" << name << "):\n"
                   << joined(block) << "--- output of quasaril-check ---\n"
                   << joined(run.lines);
        from = found + static_cast<std::ptrdiff_t>(block.size());
    }
    return ::testing::AssertionSuccess();
}

bool exists(const char* path)
{
    return std::ifstream(path).good();
}

int occurrences(const std::string& text, const std::string& word)
{
    int count = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++count;
    return count;
}

TEST(ConsoleListing, PrintsTheSevenGroupsInRunOrderAndRunsNothing)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole({"--gtest_list_tests"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_EQ(joined(transcript("list_tests.txt")), joined(run.lines));
    EXPECT_FALSE(exists(highScoreFile)) << "the score cases ran";
}

TEST(ConsolePlainRun, PassesEveryCaseAfterTheBanner)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole();
    EXPECT_EQ(0, run.exitCode);
    ASSERT_FALSE(run.lines.empty());
    EXPECT_EQ(banner, run.lines.front());
    EXPECT_TRUE(followsTranscript(run, "plain_run.txt"));
}

// The score cases write the file themselves before saving, so what it held
// before the run, if anything, does not matter.
class ConsoleHighScore : public ::testing::TestWithParam<const char*> {};

TEST_P(ConsoleHighScore, HoldsExactly500AfterARun)
{
    ScopedWorkDir dir;
    if (GetParam() != nullptr)
        std::ofstream(highScoreFile, std::ios::binary) << GetParam();
    ASSERT_EQ(0, runConsole().exitCode);
    EXPECT_EQ("500", readFile(highScoreFile));
}

INSTANTIATE_TEST_SUITE_P(PriorContent, ConsoleHighScore,
                         ::testing::Values(nullptr, "999999", "garbage"));

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

// The directory is the player's own, holding the best score: XDG_DATA_HOME
// leads to it through a link.
void makePlayersDirectory()
{
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
    {"the player's own directory", [] { ASSERT_TRUE(giveWorkDirToPlayer()); }, "plain_run.txt", 0,
     nullptr, false},
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
    if (!canRunAsPlayer())
        GTEST_SKIP() << "needs root, to run the check program as another user";
    const ScoreFileCase& row = GetParam();
    ScopedWorkDir dir;
    fs::permissions(".", enterOnly);
    row.setUp();
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

// Nothing is reset between iterations: the second finds the game state left
// at ShowingMenu and the power already chosen (the shield), so the default
// state, the shield query and the choice itself fail. The score cases pass
// in both, over a better score stored before.
TEST(ConsoleRepeat, SecondIterationFailsExactlyTheStateAndPowerCases)
{
    ScopedWorkDir dir;
    std::ofstream(highScoreFile, std::ios::binary) << "999999";
    const ConsoleRun run = runConsole({"--gtest_repeat=2"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, "repeat_twice.txt"));
    EXPECT_EQ("500", readFile(highScoreFile));
}

// Run alone, the flag queries find no power chosen yet.
TEST(ConsoleFilter, ShipAndVirusGroupsPassAlone)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole({"--gtest_filter=SpaceShip.*:PowerUp_Quasaril.*"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, "filter_two_groups.txt"));
}

TEST(ConsoleFilter, ShieldQueryPassesAlone)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole({"--gtest_filter=PowerUp.testing_default_getShield"});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, "filter_get_shield.txt"));
}

TEST(ConsoleXmlReport, ListsEveryCase)
{
    ScopedWorkDir dir;
    ASSERT_EQ(0, runConsole({"--gtest_output=xml:report.xml"}).exitCode);
    const std::string report = readFile("report.xml");
    EXPECT_NE(std::string::npos, report.find("<testsuites tests=\"34\" failures=\"0\""));
    EXPECT_EQ(casesInSuite, occurrences(report, "<testcase "));
}

// Seed 8 runs testingState_Exiting right before the default-state case,
// which then finds "Exiting". It also runs the power choice before the
// shield query, which fails with it.
TEST(ConsoleShuffle, ExitingBeforeTheDefaultStateFailsIt)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole({"--gtest_shuffle", "--gtest_random_seed=8"});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, "shuffle_exiting_first.txt"));
}

} // namespace
