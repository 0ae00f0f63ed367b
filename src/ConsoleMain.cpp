// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/CommandLine.h"
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
    bool is = false;
    return !platform::playerdir::isPlayersDirectory(".", is) && is;
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

// Google Test opens its report through the C library's narrow calls, which
// on Windows read a name in the system's code page: a report named with
// other letters is written under a plain name in the working directory and
// moved to its own name once the run is over.
class ReportName {
public:
    // Takes the report's name out of the arguments before Google Test reads
    // them.
    explicit ReportName(std::vector<std::string>& arguments)
    {
        for (std::string& argument : arguments)
            if (argument.rfind(outputFlag, 0) == 0)
                useAPlainName(argument);
    }

    void moveIntoPlace() const
    {
        if (_wanted.empty())
            return;
        std::error_code failed;
        if (_wanted.has_parent_path())
            fs::create_directories(_wanted.parent_path(), failed);
        fs::rename(_plain, _wanted, failed);
        if (failed)
            std::fprintf(stderr, "quasaril-check: cannot move the report to %s: %s\n",
                         _wanted.u8string().c_str(), failed.message().c_str());
    }

private:
    void useAPlainName(std::string& argument)
    {
        const std::size_t colon = argument.find(':');
        if (colon == std::string::npos || isPlain(argument) || isDirectory(argument))
            return;
        _wanted = fs::u8path(argument.substr(colon + 1));
        _plain = "quasaril-check-report-" + std::to_string(std::random_device()());
        argument = argument.substr(0, colon + 1) + _plain.u8string();
    }

    static bool isPlain(const std::string& text)
    {
        for (const char c : text)
            if (static_cast<unsigned char>(c) >= plainLimit)
                return false;
        return true;
    }
    // Google Test names a report in a directory after the program itself.
    static bool isDirectory(const std::string& output)
    {
        return output.back() == '/' || output.back() == '\\';
    }

    static constexpr unsigned plainLimit = 0x80; // ASCII
    static constexpr const char* outputFlag = "--gtest_output=";
    fs::path _wanted;
    fs::path _plain;
};

// The arguments as the player typed them, whatever their letters: Google
// Test's filter and file names take them in UTF-8.
std::vector<std::string> arguments(int argc, char** argv)
{
    std::vector<std::string> utf8;
    if (platform::commandline::utf8Arguments(argc, argv, utf8))
        utf8.assign(argv, argv + argc);
    return utf8;
}

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
    std::vector<std::string> typed = arguments(argc, argv);
    const ReportName report(typed);
    std::vector<char*> flags;
    for (std::string& argument : typed)
        flags.push_back(argument.data());
    int count = static_cast<int>(flags.size());
    flags.push_back(nullptr);
    testing::InitGoogleTest(&count, flags.data());
    testing::UnitTest::GetInstance()->listeners().Append(new UnwritableScoreFileWarning);
    const int verdict = testing::UnitTest::GetInstance()->Run();
    report.moveIntoPlace();
    return verdict;
}
