#include "ChildProgram.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"

namespace {

constexpr uid_t rootUser = 0;
constexpr mode_t capturedMode = 0644;
constexpr int shellSignalBase = 128;

// In the child: standard output and error into the capture files (made by
// the tester), then the program, as the given user.
[[noreturn]] void execProgram(std::vector<char*>& argv, As as)
{
    const int out = open(capturedOutput, O_WRONLY | O_CREAT | O_TRUNC, capturedMode);
    const int err = open(capturedErrors, O_WRONLY | O_CREAT | O_TRUNC, capturedMode);
    if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0)
        _exit(EXIT_FAILURE);
    if (as == As::player) {
        unsetenv("DISPLAY");
        if (geteuid() == rootUser &&
            (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(EXIT_FAILURE);
    }
    execv(argv[0], argv.data());
    dprintf(STDERR_FILENO, "cannot run %s: %s\n", argv[0], std::strerror(errno));
    _exit(EXIT_FAILURE);
}

} // namespace

ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments, As as)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0)
        execProgram(argv, as);
    if (child < 0)
        throw std::runtime_error("cannot start " + program);

    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : shellSignalBase + WTERMSIG(status),
            readFile(capturedOutput), readFile(capturedErrors)};
}
