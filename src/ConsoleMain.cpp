// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "platform/ErrorFilter.h"
#include "platform/HighScoreFile.h"
#include "platform/PlayerDirectory.h"

namespace {

namespace fs = std::filesystem;

// The check cases never open a window, yet the game's static objects cannot
// be built without a display. Priority 101 runs this before every one of the
// game's static objects (all of default priority) is built.
__attribute__((constructor(101))) void provideDisplay()
{
    if (const platform::Failure none = platform::display::forChecks()) {
        std::fprintf(stderr, "quasaril-check: %s\n", none.what().c_str());
        std::exit(EXIT_FAILURE);
    }
}

using platform::files::highScoreFile;
const char* const scoreSuite = "Score"; // its cases write and read the file

// The Score cases overwrite the high-score file: in the player's own
// directory they would cost the player the best score.
bool inPlayersDirectory()
{
    fs::path player;
    std::error_code unknown;
    return !platform::playerdir::playerDirectory(player) && fs::equivalent(player, ".", unknown);
}

bool scoreCasesWillRun(const testing::UnitTest& unit)
{
    for (int i = 0; i < unit.total_test_suite_count(); ++i) {
        const testing::TestSuite& suite = *unit.GetTestSuite(i);
        if (std::strcmp(suite.name(), scoreSuite) == 0 && suite.test_to_run_count() > 0)
            return true;
    }
    return false;
}

// The Score cases write a best score into the file, save and hold the result
// against it: where the file cannot be written they do not all pass. They
// still run as they are; one line on standard error says why first, so the
// report on standard output is unchanged. Called once the filter has chosen
// the cases: a listing, or a run without them, says nothing.
class UnwritableScoreFileWarning : public testing::EmptyTestEventListener {
    void OnTestProgramStart(const testing::UnitTest& unit) override
    {
        if (!scoreCasesWillRun(unit))
            return;
        const platform::Failure why = platform::files::whyUnwritable(highScoreFile);
        if (!why)
            return;
        std::error_code unknown;
        std::fprintf(stderr,
                     "quasaril-check: cannot write %s in %s (%s): the Score cases will not all "
                     "pass\n",
                     highScoreFile, fs::current_path(unknown).u8string().c_str(),
                     why.what().c_str());
    }
};

} // namespace

int main(int argc, char** argv)
{
    std::puts("Running main() from gtest_main.cc");
    if (inPlayersDirectory()) {
        std::error_code unknown;
        std::fprintf(stderr,
                     "quasaril-check: not run in the player's directory %s, where its Score cases "
                     "would overwrite the best score in %s: run it in another directory\n",
                     fs::current_path(unknown).u8string().c_str(), highScoreFile);
        return EXIT_FAILURE;
    }
    platform::errorstream::filterSfmlErrors();
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new UnwritableScoreFileWarning);
    return testing::UnitTest::GetInstance()->Run();
}
