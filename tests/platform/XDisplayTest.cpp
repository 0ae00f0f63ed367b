// The private X server's start against broken servers: fake "Xvfb" scripts
// first on PATH. Each failure is told as what it is, in the words the check
// program prints, within the deadline, and leaves nothing of the server
// running; the check program advises installing Xvfb only where it is missing.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/Display.h"
#include "platform/posix/XDisplay.h"
#include "posix/Children.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

using std::chrono::milliseconds;
// A server that ends, or writes, by itself is waited for up to the program's
// own deadline: the case ends with the event. Only the silent one and the
// one whose child holds the pipe wait a deadline out, kept short.
constexpr milliseconds eventDeadline = platform::xdisplay::serverStartDeadline;
constexpr milliseconds silentDeadline{200};
constexpr milliseconds leftChildDeadline{1000}; // long enough for sh to exit
constexpr std::chrono::seconds leftoverLimit{5};
constexpr std::chrono::milliseconds pollPause{10};

struct BrokenServer {
    const char* name;
    const char* script; // the fake Xvfb's; nullptr: none on PATH
    const char* why;    // in words that follow "Xvfb"
    milliseconds deadline = eventDeadline;
};

void PrintTo(const BrokenServer& row, std::ostream* out)
{
    *out << row.name;
}

using Pids = std::set<pid_t>;

// This process's children, running or ended but not yet reaped.
Pids children()
{
    const std::vector<pid_t> found = childrenNamed(getpid());
    return Pids(found.begin(), found.end());
}

// Reaps the children that ended, besides those this process had before the
// case (its own X server, where DISPLAY names none); true once none of them
// is left. Orphans of the fake servers come here: this process adopts them.
bool noChildRunning(const Pids& before)
{
    bool none = true;
    for (pid_t child : children())
        if (!before.count(child))
            none = waitpid(child, nullptr, WNOHANG) == child && none;
    return none;
}

// Waits for the event, long only when it never comes.
bool soonNoChildRunning(const Pids& before)
{
    const auto limit = std::chrono::steady_clock::now() + leftoverLimit;
    while (!noChildRunning(before) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(pollPause);
    return noChildRunning(before);
}

// Kills, by their PIDs, the children a failed case left running.
void stopChildrenLeft(const Pids& before)
{
    for (pid_t child : children())
        if (!before.count(child))
            kill(child, SIGKILL);
    soonNoChildRunning(before);
}

class PrivateServerStart : public ::testing::TestWithParam<BrokenServer> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1));
        const BrokenServer& row = GetParam();
        if (row.script) {
            const fs::path fake = fs::path(_directory.path()) / "Xvfb";
            std::ofstream(fake) << "#!/bin/sh\n" << row.script << "\n";
            fs::permissions(fake, fs::perms::owner_all);
        }
        const std::string path = row.script ? _directory.path() + ":" + _path : _directory.path();
        setenv("PATH", path.c_str(), 1);
    }
    void TearDown() override { setenv("PATH", _path.c_str(), 1); }

    const Pids _before = children();

private:
    const std::string _path = std::getenv("PATH");
    ScopedWorkDir _directory;
};

TEST_P(PrivateServerStart, SaysWhatWentWrongAndLeavesNothingRunning)
{
    const platform::Failure none = platform::xdisplay::startPrivateServer(GetParam().deadline);
    EXPECT_EQ(GetParam().why, none.what());
    if (!soonNoChildRunning(_before)) {
        ADD_FAILURE() << "the server, or a process of its, is left running";
        stopChildrenLeft(_before);
    }
}

// Fake servers get "-displayfd N" first: $2 is the descriptor for the number.
INSTANTIATE_TEST_SUITE_P(
    XDisplayFakeServers, PrivateServerStart,
    ::testing::Values(
        BrokenServer{"NoneOnPath", nullptr, "is not installed"},
        BrokenServer{"ExitsAtOnce", "exit 3", "exited with status 3 before giving a display"},
        BrokenServer{"KilledAtOnce", "kill -KILL $$",
                     "was ended by signal 9 (Killed) before giving a display"},
        BrokenServer{"Silent", "exec sleep 600", "gave no display within 0.2 s", silentDeadline},
        BrokenServer{"FloodsWithoutLineBreak", "exec cat /dev/zero >/proc/self/fd/$2",
                     "wrote no display number"},
        BrokenServer{"WritesAWord", "echo none >/proc/self/fd/$2; exec sleep 600",
                     "wrote no display number"},
        // Its child keeps the pipe open and ignores SIGTERM: the deadline
        // passes, the child is killed with the server's process group.
        BrokenServer{"ExitsLeavingAChild", "trap '' TERM; sleep 600 & exit 4",
                     "exited with status 4 before giving a display", leftChildDeadline},
        BrokenServer{"GivesADisplayNobodyServes", "echo 99999 >/proc/self/fd/$2; exec sleep 600",
                     "gave display :99999, which could not be opened"}),
    [](const auto& info) { return info.param.name; });

// The check program's whole message where DISPLAY is unset and the server
// fails: installing is the advice only where Xvfb is missing.
class CheckProgramWithoutDisplay : public PrivateServerStart {
protected:
    void SetUp() override
    {
        PrivateServerStart::SetUp();
        if (const char* display = std::getenv("DISPLAY"))
            _display = display;
        unsetenv("DISPLAY");
    }
    void TearDown() override
    {
        if (!_display.empty())
            setenv("DISPLAY", _display.c_str(), 1);
        PrivateServerStart::TearDown();
    }

private:
    std::string _display;
};

TEST_P(CheckProgramWithoutDisplay, AdvisesInstallingOnlyWhereXvfbIsMissing)
{
    const std::string advice = GetParam().script
                                   ? "run quasaril-check on a desktop"
                                   : "install the xvfb package, or run quasaril-check on a desktop";
    EXPECT_EQ("no X display could be opened (DISPLAY is not set) and the virtual X server Xvfb " +
                  std::string(GetParam().why) + ": " + advice,
              platform::display::forChecks().what());
    EXPECT_TRUE(soonNoChildRunning(_before));
}

INSTANTIATE_TEST_SUITE_P(XDisplayFakeServers, CheckProgramWithoutDisplay,
                         ::testing::Values(BrokenServer{"NoneOnPath", nullptr, "is not installed"},
                                           BrokenServer{
                                               "ExitsAtOnce", "exit 3",
                                               "exited with status 3 before giving a display"}),
                         [](const auto& info) { return info.param.name; });

} // namespace
