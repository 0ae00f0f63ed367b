// The console program quasaril-check run as a user would, each time in a
// fresh working directory, against its transcripts.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ConsoleTranscripts.h"
#include "TestSupport.h"

namespace {

const std::string banner = "Running main() from gtest_main.cc";
constexpr int casesInSuite = 34;

bool exists(const char* path)
{
    return std::ifstream(path).good();
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

struct FilterCase {
    const char* filter;
    const char* transcript;
};

void PrintTo(const FilterCase& row, std::ostream* out)
{
    *out << row.transcript;
}

// Run alone, the flag queries find no power chosen yet. A filter's letters
// reach it as typed, whatever they are.
class ConsoleFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(ConsoleFilter, RunsItsCasesAlone)
{
    ScopedWorkDir dir;
    const ConsoleRun run = runConsole({GetParam().filter});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_TRUE(followsTranscript(run, GetParam().transcript));
}

INSTANTIATE_TEST_SUITE_P(
    Filters, ConsoleFilter,
    ::testing::Values(
        FilterCase{"--gtest_filter=SpaceShip.*:PowerUp_Quasaril.*", "filter_two_groups.txt"},
        FilterCase{"--gtest_filter=PowerUp.testing_default_getShield", "filter_get_shield.txt"},
        FilterCase{"--gtest_filter=Зонд*:SpaceShip.*:PowerUp_Quasaril.*", "filter_non_ascii.txt"}));

// The report lands under its name, whatever its letters.
class ConsoleXmlReport : public ::testing::TestWithParam<const char*> {};

TEST_P(ConsoleXmlReport, ListsEveryCase)
{
    ScopedWorkDir dir;
    ASSERT_EQ(0, runConsole({std::string("--gtest_output=xml:") + GetParam()}).exitCode);
    std::ifstream in(std::filesystem::u8path(GetParam()), std::ios::binary);
    const std::string report(std::istreambuf_iterator<char>(in), {});
    EXPECT_NE(std::string::npos, report.find("<testsuites tests=\"34\" failures=\"0\""));
    EXPECT_EQ(casesInSuite, occurrences(report, "<testcase "));
}

INSTANTIATE_TEST_SUITE_P(Names, ConsoleXmlReport,
                         ::testing::Values("report.xml", "отчёты/отчёт.xml"));

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
