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

extern char** environ;

namespace fs = std::filesystem;

namespace e2e {

namespace {

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> list;
    for (auto& text : texts)
        list.push_back(text.data());
    list.push_back(nullptr);
    return list;
}

fs::path procOf(pid_t pid)
{
    return fs::path("/proc") / std::to_string(pid);
}

} // namespace

std::vector<std::string> environmentWith(const char* display, const char* path)
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

pid_t start(const std::string& program, std::vector<std::string> arguments,
            std::vector<std::string> environment, const fs::path& directory,
            const std::function<void()>& prepare)
{
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(directory.c_str()) == 0) {
            dup2(open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDOUT_FILENO);
            dup2(open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), STDERR_FILENO);
            if (prepare)
                prepare();
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

Finished run(const std::string& program, const std::vector<std::string>& arguments,
             const std::vector<std::string>& environment, const TemporaryDirectory& directory)
{
    const int status = waitStatus(start(program, arguments, environment, directory.path()));
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
