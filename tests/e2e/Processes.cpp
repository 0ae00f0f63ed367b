#include "Processes.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <csignal>
#include <set>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace e2e {

namespace {

fs::path procOf(pid_t pid)
{
    return fs::path("/proc") / std::to_string(pid);
}

} // namespace

std::vector<std::string> environmentWith(const char* display, const char* path)
{
    std::vector<std::string> changes{display ? std::string("DISPLAY=") + display : "DISPLAY"};
    if (path)
        changes.push_back(std::string("PATH=") + path);
    return changes;
}

ChildProgram start(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const fs::path& directory,
                   const std::function<void()>& prepare)
{
    ProgramStart start;
    start.command = {program};
    start.command.insert(start.command.end(), arguments.begin(), arguments.end());
    start.directory = directory;
    start.environment = environment;
    start.output = "stdout.txt";
    start.errors = "stderr.txt";
    start.prepare = prepare;
    return ChildProgram(start);
}

Finished run(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment, const TemporaryDirectory& directory)
{
    ChildProgram child = start(program, arguments, environment, directory.path());
    const int status = child.wait(programDeadline).value_or(-1);
    const auto written = [&](const char* name) { return readFile(directory.path() / name); };
    return {status, written("stdout.txt"), written("stderr.txt"), written("HighScore.txt")};
}

char stateOf(pid_t pid)
{
    // "pid (name) state ...": the name may hold anything but ends at the last ')'.
    const std::string stat = readFile(procOf(pid) / "stat");
    const std::size_t nameEnd = stat.rfind(')');
    return nameEnd == std::string::npos || nameEnd + 2 >= stat.size() ? 0 : stat[nameEnd + 2];
}

std::vector<std::string> commandLine(pid_t pid)
{
    std::vector<std::string> arguments;
    std::istringstream all(readFile(procOf(pid) / "cmdline"));
    for (std::string argument; std::getline(all, argument, '\0');)
        arguments.push_back(argument);
    return arguments;
}

std::map<int, std::string> descriptors(pid_t pid)
{
    std::map<int, std::string> open;
    std::error_code error; // the process may go at any moment
    for (fs::directory_iterator entry(procOf(pid) / "fd", error), end; !error && entry != end;
         entry.increment(error))
        open[std::stoi(entry->path().filename().string())] =
            fs::read_symlink(entry->path(), error).string();
    return open;
}

std::optional<int> listeningDisplay(pid_t pid)
{
    std::set<std::string> sockets; // inode numbers
    for (const auto& [fd, target] : descriptors(pid))
        if (target.rfind("socket:[", 0) == 0)
            sockets.insert(target.substr(8, target.size() - 9));
    // /proc/net/unix: "Num RefCount Protocol Flags Type St Inode Path"
    std::istringstream table(readFile(procOf(pid) / "net/unix"));
    const std::string socketPrefix = "/tmp/.X11-unix/X";
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string skip, inode, path;
        if (fields >> skip >> skip >> skip >> skip >> skip >> skip >> inode >> path &&
            sockets.count(inode) && path.rfind(socketPrefix, 0) == 0)
            return std::stoi(path.substr(socketPrefix.size()));
    }
    return std::nullopt;
}

FakeXvfb::FakeXvfb(const std::string& body)
{
    const fs::path script = _directory.path() / "Xvfb";
    std::ofstream(script) << "#!/bin/sh\n" << body << "\n";
    fs::permissions(script, fs::perms::owner_all);
}

std::size_t stopChildrenLeft()
{
    std::size_t running = 0;
    for (auto children = childrenNamed(getpid(), ""); !children.empty();
         children = childrenNamed(getpid(), ""))
        for (pid_t child : children) {
            running += waitpid(child, nullptr, WNOHANG) == 0;
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    return running;
}

void AdoptingTest::SetUp()
{
    ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1));
}

} // namespace e2e
