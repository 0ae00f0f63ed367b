#include "Commands.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace e2e {

namespace {

// In the new process: its place, its output into the pipe, then the program.
[[noreturn]] void execute(const std::vector<std::string>& arguments, const Setting& setting,
                          int output)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (const auto& [name, value] : setting.environment)
        setenv(name.c_str(), value.c_str(), 1);
    if (setting.umask)
        umask(*setting.umask);
    if ((setting.directory.empty() || chdir(setting.directory.c_str()) == 0) &&
        dup2(output, STDOUT_FILENO) >= 0 && dup2(output, STDERR_FILENO) >= 0)
        execvp(argv[0], argv.data());
    _exit(127);
}

} // namespace

Outcome run(const std::vector<std::string>& arguments, const Setting& setting)
{
    Outcome outcome{-1, ""};
    int ends[2];
    if (arguments.empty() || pipe(ends) != 0)
        return outcome;
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        execute(arguments, setting, ends[1]);
    }
    close(ends[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(ends[0], buffer, sizeof buffer)) > 0;)
        outcome.output.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

} // namespace e2e
