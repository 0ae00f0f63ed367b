// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/ErrorFilter.h"
#include "platform/HighScoreFile.h"
#include "platform/XDisplay.h"

namespace {

using platform::xdisplay::ServerStart;

// The check cases never open a window, yet the game's static objects cannot
// be built without an X display. Where none can be opened, the suite runs on
// a private virtual X server. Priority 101 runs this before every one of the
// game's static objects (all of default priority) is built.
__attribute__((constructor(101))) void provideDisplay()
{
    if (platform::xdisplay::usable())
        return;
    const std::string display = platform::xdisplay::setting();
    const ServerStart start = platform::xdisplay::startPrivateServer();
    if (start.kind == ServerStart::Started)
        return;
    // Installing is the advice only where Xvfb is missing.
    const char* const advice = start.kind == ServerStart::NotInstalled
                                   ? "install the xvfb package, or run quasaril-check on a desktop"
                                   : "run quasaril-check on a desktop";
    std::fprintf(stderr,
                 "quasaril-check: no X display could be opened (%s) and the virtual X server Xvfb "
                 "%s: %s\n",
                 display.c_str(), platform::xdisplay::describe(start).c_str(), advice);
    std::exit(EXIT_FAILURE);
}

using platform::files::highScoreFile;
const char* const scoreSuite = "Score"; // its cases write and read the file

// Why the check cases cannot write the high-score file in the working
// directory, or nothing when they can. The file is opened for writing, but
// neither made nor truncated; a missing one needs a writable directory.
std::optional<std::string> whyScoreFileIsUnwritable()
{
    const int fd = ::open(highScoreFile, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        struct stat status;
        const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
        ::close(fd);
        return regular ? std::nullopt : std::optional<std::string>("not a regular file");
    }
    if (errno == ENOENT && ::faccessat(AT_FDCWD, ".", W_OK, AT_EACCESS) == 0)
        return std::nullopt;
    return std::string(std::strerror(errno));
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
        const std::optional<std::string> why = whyScoreFileIsUnwritable();
        if (!why)
            return;
        std::error_code unknown;
        std::fprintf(stderr,
                     "quasaril-check: cannot write %s in %s (%s): the Score cases will not all "
                     "pass\n",
                     highScoreFile, std::filesystem::current_path(unknown).c_str(), why->c_str());
    }
};

} // namespace

int main(int argc, char** argv)
{
    platform::errorstream::filterSfmlErrors();
    std::puts("Running main() from gtest_main.cc");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new UnwritableScoreFileWarning);
    return testing::UnitTest::GetInstance()->Run();
}
