#include "ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "Files.h"

namespace {

constexpr uid_t rootUser = 0;
constexpr mode_t capturedMode = 0644;
constexpr int cannotRun = 127; // as a shell says of a program it cannot run
constexpr std::chrono::milliseconds waitPause{5};

int shellStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : shellSignalBase + WTERMSIG(status);
}

void setEnvironment(const std::vector<std::string>& changes)
{
    for (const std::string& change : changes) {
        const std::size_t equals = change.find('=');
        if (equals == std::string::npos)
            unsetenv(change.c_str());
        else
            setenv(change.substr(0, equals).c_str(), change.c_str() + equals + 1, 1);
    }
}

bool redirect(const std::filesystem::path& file, int stream)
{
    if (file.empty())
        return true;
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, capturedMode);
    return fd >= 0 && dup2(fd, stream) >= 0 && close(fd) == 0;
}

bool redirectStreams(const ProgramStart& start)
{
    if (!redirect(start.output, STDOUT_FILENO))
        return false;
    if (!start.errors.empty() && start.errors == start.output)
        return dup2(STDOUT_FILENO, STDERR_FILENO) >= 0;
    return redirect(start.errors, STDERR_FILENO);
}

bool becomePlayer()
{
    unsetenv("DISPLAY");
    return geteuid() != rootUser ||
           (setgroups(0, nullptr) == 0 && setgid(nobody) == 0 && setuid(nobody) == 0);
}

// In the new process: its place, environment and streams, then the program.
[[noreturn]] void execute(const ProgramStart& start, std::vector<char*>& argv)
{
    if ((!start.directory.empty() && chdir(start.directory.c_str()) != 0) ||
        !redirectStreams(start) || (start.as == As::player && !becomePlayer()))
        _exit(cannotRun);
    setEnvironment(start.environment);
    if (start.prepare)
        start.prepare();
    execvp(start.command.front().c_str(), argv.data());
    dprintf(STDERR_FILENO, "cannot run %s: %s\n", argv[0], std::strerror(errno));
    _exit(cannotRun);
}

} // namespace

ChildProgram::ChildProgram(const ProgramStart& start)
{
    if (start.command.empty())
        return;
    std::vector<char*> argv;
    const std::string name = start.name.empty() ? start.command.front() : start.name;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (auto argument = start.command.begin() + 1; argument != start.command.end(); ++argument)
        argv.push_back(const_cast<char*>(argument->c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0)
        execute(start, argv);
    _process = child;
}

void ChildProgram::stop()
{
    if (running()) {
        kill(static_cast<pid_t>(_process), SIGKILL);
        int ignored = 0;
        waitpid(static_cast<pid_t>(_process), &ignored, 0);
    }
    _process = -1;
}

bool ChildProgram::started() const
{
    return _process > 0;
}

bool ChildProgram::running()
{
    if (!started() || _status)
        return false;
    int status = 0;
    if (waitpid(static_cast<pid_t>(_process), &status, WNOHANG) != _process)
        return true;
    _status = shellStatus(status);
    return false;
}

std::optional<int> ChildProgram::wait(Limit limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(waitPause);
    return _status;
}

void ChildProgram::signal(int signal)
{
    if (running())
        kill(static_cast<pid_t>(_process), signal);
}

std::intptr_t ChildProgram::id() const
{
    return _process;
}

std::string capturedText(const std::filesystem::path& file)
{
    return readFile(file);
}
