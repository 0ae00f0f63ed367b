// The console program's private X server, started with DISPLAY unset from a
// parent that left descriptors open or closed a standard stream: it inherits
// only what it is given, admits only the holder of the cookie, and is
// stopped at exit even when it ignores SIGTERM.
//
// As in NoDisplayTest, this process adopts the orphans of the programs it
// starts, so whatever they leave running ends up here and is stopped here.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "Commands.h"
#include "Processes.h"

using namespace e2e;

namespace {

const std::string consoleProgram = QUASARIL_CONSOLE;
const std::string forever = "--gtest_repeat=-1";   // runs until this test stops it
const std::string listOnly = "--gtest_list_tests"; // opens the display, then ends

struct StreamsCase {
    const char* name;
    int closed; // the standard stream closed, or -1 for none
};

void PrintTo(const StreamsCase& row, std::ostream* out)
{
    *out << row.name;
}

// In the new process: a file and a pipe left open for it to inherit, and the
// row's stream closed.
std::function<void()> parentDescriptors(int closed)
{
    return [closed] {
        open("planted.txt", O_WRONLY | O_CREAT, 0644);
        int ends[2];
        if (pipe(ends) != 0)
            _exit(127);
        if (closed >= 0)
            close(closed);
    };
}

// The console's server (or what stands in for it) once it has a name.
pid_t serverOf(const ChildProgram& console, const std::string& name)
{
    std::vector<pid_t> servers;
    const auto pid = static_cast<pid_t>(console.id());
    pollUntil(scaled(Seconds(10)), [&] { return !(servers = childrenNamed(pid, name)).empty(); });
    return servers.empty() ? -1 : servers.front();
}

// DISPLAY=:number xdotool with the given authority file connects.
bool connects(int display, const std::string& authority)
{
    const Setting client{
        {}, {{"DISPLAY", ":" + std::to_string(display)}, {"XAUTHORITY", authority}}, {}};
    return run({"xdotool", "getdisplaygeometry"}, client).status == 0;
}

// The authority file the server was started with, as another process reads it.
std::string authorityOf(pid_t server)
{
    const std::vector<std::string> arguments = commandLine(server);
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
        if (arguments[i] == "-auth")
            return "/proc/" + std::to_string(server) +
                   arguments[i + 1].substr(std::string("/proc/self").size());
    return "";
}

class ConsoleStreams : public AdoptingTest, public ::testing::WithParamInterface<StreamsCase> {
protected:
    ChildProgram startConsole(const std::string& path, const std::vector<std::string>& arguments)
    {
        return start(consoleProgram, arguments, environmentWith(nullptr, path.c_str()),
                     _directory.path(), parentDescriptors(GetParam().closed));
    }

private:
    TemporaryDirectory _directory;
};

// A server that never answers: what it inherited is all it holds.
TEST_P(ConsoleStreams, ServerHoldsOnlyItsStreamsPipeAndCookie)
{
    const FakeXvfb fake("exec sleep 600");
    const ChildProgram console = startConsole(fake.path() + ":" + std::getenv("PATH"), {});
    const pid_t server = serverOf(console, "sleep");
    ASSERT_GT(server, 0);
    // Starting, sleep opens locale files of its own for a moment: wait until
    // it sleeps.
    ASSERT_TRUE(pollUntil(scaled(Seconds(10)), [&] { return stateOf(server) == 'S'; }));
    const std::map<int, std::string> held = descriptors(server);
    std::string table;
    for (const auto& [fd, target] : held)
        table += std::to_string(fd) + " -> " + target + "\n";
    EXPECT_EQ(5u, held.size()) << table;
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        EXPECT_EQ("/dev/null", held.count(stream) ? held.at(stream) : "closed") << stream;
    int pipes = 0, cookies = 0;
    for (const auto& [fd, target] : held) {
        pipes += target.rfind("pipe:", 0) == 0;
        cookies += target.rfind("/memfd:quasaril-xauthority", 0) == 0;
    }
    EXPECT_EQ(1, pipes);
    EXPECT_EQ(1, cookies);
}

TEST_P(ConsoleStreams, ServerRefusesClientsWithoutTheCookie)
{
    const ChildProgram console = startConsole(std::getenv("PATH"), {forever});
    const pid_t server = serverOf(console, "Xvfb");
    ASSERT_GT(server, 0);
    std::optional<int> display;
    pollUntil(scaled(Seconds(10)),
              [&] { return (display = listeningDisplay(server)).has_value(); });
    ASSERT_TRUE(display) << "the server never listened";
    EXPECT_TRUE(connects(*display, authorityOf(server))) << "not even with the cookie";
    EXPECT_FALSE(connects(*display, "/nonexistent"));
}

INSTANTIATE_TEST_SUITE_P(NoDisplay, ConsoleStreams,
                         ::testing::Values(StreamsCase{"SpareOnesOpen", -1},
                                           StreamsCase{"StdinClosed", STDIN_FILENO},
                                           StreamsCase{"StdoutClosed", STDOUT_FILENO},
                                           StreamsCase{"StderrClosed", STDERR_FILENO}),
                         [](const auto& info) { return info.param.name; });

// A real server behind a script that ignores SIGTERM: at exit the console
// waits a short grace, then kills the lot, and ends.
class NoDisplayServer : public AdoptingTest {};

TEST_F(NoDisplayServer, IgnoringSigtermDoesNotHoldTheConsole)
{
    const FakeXvfb fake("trap '' TERM\n"
                        "PATH=\"${PATH#*:}\" Xvfb \"$@\" &\n" // the real one, further on PATH
                        "exec sleep 600");
    const TemporaryDirectory directory;
    const std::string path = fake.path() + ":" + std::getenv("PATH");
    ChildProgram console =
        start(consoleProgram, {listOnly}, environmentWith(nullptr, path.c_str()), directory.path());
    const std::optional<int> status = console.wait(scaled(Seconds(20)));
    EXPECT_TRUE(status) << "the console waits for its server";
    EXPECT_EQ(status, 0) << readFile(directory.path() / "stderr.txt");
    EXPECT_EQ(0u, stopChildrenLeft()) << "the server, or its script, outlived the console";
}

} // namespace
