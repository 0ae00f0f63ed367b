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
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "Desktop.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

const std::string consoleProgram = QUASARIL_CONSOLE;
const std::string playProgram = std::string(QUASARIL_RUN_DIR) + "/quasaril-play";
const std::string untimed = "--gtest_print_time=0"; // so two runs print the same bytes
const char* const noDisplayHere = ":987";

// This process's environment with DISPLAY set to the given value, or unset
// when there is none, and PATH replaced when one is given.
std::vector<std::string> environmentWith(const char* display, const char* path = nullptr)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable = *entry;
        if (variable.rfind("DISPLAY=", 0) != 0 && (!path || variable.rfind("PATH=", 0) != 0))
            variables.push_back(variable);
    }
    if (display)
        variables.push_back(std::string("DISPLAY=") + display);
    if (path)
        variables.push_back(std::string("PATH=") + path);
    return variables;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> list;
    for (auto& text : texts)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

// Starts the program in the directory, its standard output and error going
// to "stdout.txt" and "stderr.txt" there.
pid_t start(const std::string& program, std::vector<std::string> arguments,
            std::vector<std::string> environment, const fs::path& directory)
{
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) == 0) {
            dup2(open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            dup2(open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            execve(program.c_str(), argv.data(), envp.data());
        }
        _exit(127);
    }
    return child;
}

int waitStatus(pid_t child)
{
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

struct Finished {
    int status; // as waitpid gives it
    std::string out;
    std::string err;
    std::string highScore;
};

Finished run(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment, const e2e::TemporaryDirectory& directory)
{
    const int status = waitStatus(start(program, arguments, environment, directory.path()));
    const auto written = [&](const char* name) { return e2e::readFile(directory.path() / name); };
    return {status, written("stdout.txt"), written("stderr.txt"), written("HighScore.txt")};
}

// Xvfb processes whose parent is the given process.
std::vector<pid_t> serversOf(pid_t parent)
{
    std::vector<pid_t> servers;
    DIR* processes = opendir("/proc");
    while (dirent* entry = processes ? readdir(processes) : nullptr) {
        const pid_t pid = std::atoi(entry->d_name);
        if (pid <= 0)
            continue;
        // "pid (name) state ppid ..."
        std::istringstream stat(e2e::readFile(fs::path("/proc") / entry->d_name / "stat"));
        std::string skip, name, state;
        pid_t ppid = 0;
        if (stat >> skip >> name >> state >> ppid && name == "(Xvfb)" && ppid == parent)
            servers.push_back(pid);
    }
    if (processes)
        closedir(processes);
    return servers;
}

// Stops the servers left to this process, by their PIDs, and counts them.
std::size_t stopServersLeftBehind()
{
    const std::vector<pid_t> servers = serversOf(getpid());
    for (pid_t server : servers) {
        kill(server, SIGKILL);
        waitStatus(server);
    }
    return servers.size();
}

class NoDisplay : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1)); }
};

// The check suite's transcript on a display of this test's own.
Finished runOnADisplay()
{
    e2e::VirtualDisplay display;
    EXPECT_TRUE(display.ready());
    e2e::TemporaryDirectory directory;
    return run(consoleProgram, {untimed}, environmentWith(std::getenv("DISPLAY")), directory);
}

class ConsoleWithoutDisplay : public NoDisplay, public ::testing::WithParamInterface<const char*> {};

TEST_P(ConsoleWithoutDisplay, RunsAsOnADisplayAndStopsItsServer)
{
    const Finished onADisplay = runOnADisplay();
    ASSERT_TRUE(WIFEXITED(onADisplay.status));
    ASSERT_EQ(0, WEXITSTATUS(onADisplay.status));
    ASSERT_EQ("500", onADisplay.highScore);

    e2e::TemporaryDirectory directory;
    const Finished alone = run(consoleProgram, {untimed}, environmentWith(GetParam()), directory);
    EXPECT_EQ(onADisplay.status, alone.status) << alone.err;
    EXPECT_EQ(onADisplay.out, alone.out);
    EXPECT_EQ("500", alone.highScore);
    EXPECT_EQ(0u, stopServersLeftBehind());
}

INSTANTIATE_TEST_SUITE_P(DisplayUnsetOrGone, ConsoleWithoutDisplay,
                         ::testing::Values(nullptr, noDisplayHere),
                         [](const auto& info) { return info.param ? "Gone" : "Unset"; });

TEST_F(NoDisplay, ConsoleKilledMidRunTakesItsServerAlong)
{
    e2e::TemporaryDirectory directory;
    const pid_t console =
        start(consoleProgram, {"--gtest_repeat=200"}, environmentWith(nullptr), directory.path());
    std::vector<pid_t> servers;
    const bool midRun = e2e::pollUntil(e2e::scaled(e2e::Seconds(60)), [&] {
        servers = serversOf(console);
        return !servers.empty() &&
               e2e::readFile(directory.path() / "stdout.txt").find("(iteration 2)") != std::string::npos;
    });
    kill(console, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(waitStatus(console)));
    ASSERT_TRUE(midRun) << "no server, or the second iteration never started";
    ASSERT_EQ(1u, servers.size());

    // The server is this process's child now: it must end by itself.
    const pid_t server = servers.front();
    int status = 0;
    const bool ended = e2e::pollUntil(e2e::scaled(e2e::Seconds(10)), [&] {
        return waitpid(server, &status, WNOHANG) == server;
    });
    if (!ended) {
        kill(server, SIGKILL);
        waitStatus(server);
    }
    EXPECT_TRUE(ended) << "the console's Xvfb outlived it";
}

TEST_F(NoDisplay, ConsoleWithoutXvfbSaysWhatIsMissing)
{
    e2e::TemporaryDirectory directory;
    const e2e::TemporaryDirectory emptyPath;
    const Finished finished =
        run(consoleProgram, {}, environmentWith(nullptr, emptyPath.path().c_str()), directory);
    ASSERT_TRUE(WIFEXITED(finished.status)) << "ended by a signal";
    EXPECT_NE(0, WEXITSTATUS(finished.status));
    EXPECT_EQ("", finished.out);
    EXPECT_EQ(1, std::count(finished.err.begin(), finished.err.end(), '\n')) << finished.err;
    EXPECT_NE(std::string::npos, finished.err.find("Xvfb is not installed")) << finished.err;
    EXPECT_NE(std::string::npos, finished.err.find("install the xvfb package")) << finished.err;
}

struct PlayCase {
    const char* display;
    const char* named; // how the message names DISPLAY
};

void PrintTo(const PlayCase& row, std::ostream* out) { *out << row.named; }

class PlayWithoutDisplay : public NoDisplay, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(PlayWithoutDisplay, ExitsWithOneLineAndStartsNoServer)
{
    e2e::TemporaryDirectory directory;
    const Finished finished = run(playProgram, {}, environmentWith(GetParam().display), directory);
    ASSERT_TRUE(WIFEXITED(finished.status)) << "ended by a signal";
    EXPECT_EQ(1, WEXITSTATUS(finished.status));
    EXPECT_EQ("quasaril-play: the game needs a desktop: no X display could be opened (" +
                  std::string(GetParam().named) + ")\n",
              finished.err);
    EXPECT_EQ(0u, stopServersLeftBehind());
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

void PrintTo(const TestProgramCase& row, std::ostream* out) { *out << row.argument; }

class TestProgramWithoutDisplay : public NoDisplay,
                                  public ::testing::WithParamInterface<TestProgramCase> {};

TEST_P(TestProgramWithoutDisplay, RunsOnAServerOfItsOwnAndStopsIt)
{
    e2e::TemporaryDirectory directory;
    const Finished finished =
        run(GetParam().program, {GetParam().argument}, environmentWith(nullptr), directory);
    ASSERT_TRUE(WIFEXITED(finished.status)) << "ended by a signal";
    EXPECT_EQ(0, WEXITSTATUS(finished.status)) << finished.out << finished.err;
    EXPECT_NE(std::string::npos, finished.out.find(GetParam().shows)) << finished.out;
    EXPECT_EQ(0u, stopServersLeftBehind());
}

INSTANTIATE_TEST_SUITE_P(
    ListedAndRun, TestProgramWithoutDisplay,
    ::testing::Values(
        TestProgramCase{QUASARIL_LISTED_TEST, "--gtest_list_tests", "GameStateMachine."},
        TestProgramCase{QUASARIL_XDOTOOL_TEST,
                        "--gtest_filter=SplashScreenTest.AQueuedKeyPressEndsIt",
                        "[  PASSED  ] 1 test."}),
    [](const auto& info) { return info.index == 0 ? "Listed" : "RunWithXdotool"; });

} // namespace
