// The two programs started where no X display can be opened, as in a plain
// terminal: the console suite runs on a virtual X server of its own and takes
// it along when it ends, however it ends; the game says it needs a desktop.
// So do the test programs, which ctest must be able to start anywhere.
//
// This process adopts the orphans of the programs it starts, so a server one
// of them leaves behind becomes a child of this process and is found here,
// without mistaking anyone else's Xvfb for it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Processes.h"

using namespace e2e;

namespace {

const std::string consoleProgram = QUASARIL_CONSOLE;
const std::string playProgram = std::string(QUASARIL_RUN_DIR) + "/quasaril";
const std::string untimed = "--gtest_print_time=0"; // so two runs print the same bytes
const char* const noDisplayHere = ":987";

class NoDisplay : public AdoptingTest {};

// The check suite's transcript on a display of this test's own.
Finished runOnADisplay()
{
    e2e::VirtualDisplay display;
    EXPECT_TRUE(display.ready());
    e2e::TemporaryDirectory directory;
    return run(consoleProgram, {untimed}, environmentWith(std::getenv("DISPLAY")), directory);
}

class ConsoleWithoutDisplay : public NoDisplay,
                              public ::testing::WithParamInterface<const char*> {};

TEST_P(ConsoleWithoutDisplay, RunsAsOnADisplayAndStopsItsServer)
{
    const Finished onADisplay = runOnADisplay();
    ASSERT_EQ(0, onADisplay.status);
    ASSERT_EQ("500", onADisplay.highScore);

    e2e::TemporaryDirectory directory;
    const Finished alone = run(consoleProgram, {untimed}, environmentWith(GetParam()), directory);
    EXPECT_EQ(onADisplay.status, alone.status) << alone.err;
    EXPECT_EQ(onADisplay.out, alone.out);
    EXPECT_EQ("500", alone.highScore);
    EXPECT_EQ(0u, stopChildrenLeft());
}

INSTANTIATE_TEST_SUITE_P(DisplayUnsetOrGone, ConsoleWithoutDisplay,
                         ::testing::Values(nullptr, noDisplayHere),
                         [](const auto& info) { return info.param ? "Gone" : "Unset"; });

TEST_F(NoDisplay, ConsoleKilledMidRunTakesItsServerAlong)
{
    e2e::TemporaryDirectory directory;
    ChildProgram console =
        start(consoleProgram, {"--gtest_repeat=200"}, environmentWith(nullptr), directory.path());
    std::vector<pid_t> servers;
    const bool midRun = e2e::pollUntil(e2e::scaled(e2e::Seconds(60)), [&] {
        servers = childrenNamed(static_cast<pid_t>(console.id()), "Xvfb");
        return !servers.empty() &&
               e2e::readFile(directory.path() / "stdout.txt").find("(iteration 2)") !=
                   std::string::npos;
    });
    console.signal(SIGKILL);
    EXPECT_EQ(console.wait(e2e::scaled(e2e::Seconds(10))), shellSignalBase + SIGKILL);
    ASSERT_TRUE(midRun) << "no server, or the second iteration never started";
    ASSERT_EQ(1u, servers.size());

    // The server is this process's child now: it must end by itself.
    const pid_t server = servers.front();
    int status = 0;
    const bool ended = e2e::pollUntil(e2e::scaled(e2e::Seconds(10)),
                                      [&] { return waitpid(server, &status, WNOHANG) == server; });
    if (!ended) {
        kill(server, SIGKILL);
        waitpid(server, nullptr, 0);
    }
    EXPECT_TRUE(ended) << "the console's Xvfb outlived it";
}

// Where Xvfb is missing the check program says so in one line and advises
// installing it. How each broken server is told, and that the advice is
// given only here, XDisplayTest holds for the library the program uses.
TEST_F(NoDisplay, ConsoleWithoutXvfbAdvisesInstallingIt)
{
    e2e::TemporaryDirectory directory;
    const e2e::TemporaryDirectory emptyPath;
    const std::string path = emptyPath.path().string();
    const Finished finished =
        run(consoleProgram, {}, environmentWith(nullptr, path.c_str()), directory);
    ASSERT_LT(finished.status, shellSignalBase) << "ended by a signal";
    EXPECT_NE(0, finished.status);
    EXPECT_EQ("", finished.out);
    EXPECT_EQ(1, std::count(finished.err.begin(), finished.err.end(), '\n')) << finished.err;
    EXPECT_NE(std::string::npos, finished.err.find("Xvfb is not installed: install the xvfb "
                                                   "package, or run quasaril-check on a desktop"))
        << finished.err;
    EXPECT_EQ(0u, stopChildrenLeft());
}

struct PlayCase {
    const char* display;
    const char* named; // how the message names DISPLAY
};

void PrintTo(const PlayCase& row, std::ostream* out)
{
    *out << row.named;
}

class PlayWithoutDisplay : public NoDisplay, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(PlayWithoutDisplay, ExitsWithOneLineAndStartsNoServer)
{
    e2e::TemporaryDirectory directory;
    const Finished finished = run(playProgram, {}, environmentWith(GetParam().display), directory);
    EXPECT_EQ(1, finished.status);
    EXPECT_EQ("quasaril: the game needs a desktop: no X display could be opened (" +
                  std::string(GetParam().named) + ")\n",
              finished.err);
    EXPECT_EQ(0u, stopChildrenLeft());
}

INSTANTIATE_TEST_SUITE_P(DisplayUnsetOrGone, PlayWithoutDisplay,
                         ::testing::Values(PlayCase{nullptr, "DISPLAY is not set"},
                                           PlayCase{noDisplayHere, "DISPLAY=\":987\""}),
                         [](const auto& info) { return info.param.display ? "Gone" : "Unset"; });

// A test program, as ctest starts it to list its cases and then to run one:
// on a server of its own, shared with the programs it starts (xdotool).
struct TestProgramCase {
    const char* program;
    const char* argument;
    const char* shows; // in its standard output
};

void PrintTo(const TestProgramCase& row, std::ostream* out)
{
    *out << row.argument;
}

class TestProgramWithoutDisplay : public NoDisplay,
                                  public ::testing::WithParamInterface<TestProgramCase> {};

TEST_P(TestProgramWithoutDisplay, RunsOnAServerOfItsOwnAndStopsIt)
{
    e2e::TemporaryDirectory directory;
    const Finished finished =
        run(GetParam().program, {GetParam().argument}, environmentWith(nullptr), directory);
    EXPECT_EQ(0, finished.status) << finished.out << finished.err;
    EXPECT_NE(std::string::npos, finished.out.find(GetParam().shows)) << finished.out;
    EXPECT_EQ(0u, stopChildrenLeft());
}

INSTANTIATE_TEST_SUITE_P(
    ListedAndRun, TestProgramWithoutDisplay,
    ::testing::Values(TestProgramCase{QUASARIL_LISTED_TEST, "--gtest_list_tests",
                                      "GameStateMachine."},
                      TestProgramCase{QUASARIL_XDOTOOL_TEST,
                                      "--gtest_filter=SplashScreenTest.AQueuedKeyPressEndsIt",
                                      "[  PASSED  ] 1 test."}),
    [](const auto& info) { return info.index == 0 ? "Listed" : "RunWithXdotool"; });

} // namespace
