#include "platform/posix/XServerProcess.h"

#include <X11/Xauth.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace xdisplay {
namespace {

// Where PATH is not set, programs are looked for where execvp looks.
const char defaultPath[] = "/bin:/usr/bin";
// The server's process ends with this status when it cannot be set up or
// the program cannot be run, as a shell's does.
constexpr int cannotRun = 127;

constexpr std::size_t cookieLength = 16;
const char cookieProtocol[] = "MIT-MAGIC-COOKIE-1";
char noText[] = "";

// Why the last system call failed, in the system's words.
Failure lastError()
{
    return Failure::of(std::error_code(errno, std::generic_category()));
}

bool isProgram(const std::string& path)
{
    struct stat file {};
    return stat(path.c_str(), &file) == 0 && S_ISREG(file.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// The streams read and write /dev/null. Opened without close-on-exec: where
// a stream was closed, /dev/null lands on it and stays; anywhere else it is
// closed with the rest.
bool quietStreams()
{
    const int quiet = open("/dev/null", O_RDWR);
    if (quiet < 0)
        return false;
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (stream != quiet && dup2(quiet, stream) != stream)
            return false;
    return true;
}

// Closes every descriptor above the standard streams but the two given.
bool closeAllBut(int one, int other)
{
    const unsigned low = static_cast<unsigned>(std::min(one, other));
    const unsigned high = static_cast<unsigned>(std::max(one, other));
    const unsigned first = STDERR_FILENO + 1;
    return (low == first || close_range(first, low - 1, 0) == 0) &&
           (high == low + 1 || close_range(low + 1, high - 1, 0) == 0) &&
           close_range(high + 1, ~0U, 0) == 0;
}

[[noreturn]] void runServer(const char* program, char* const arguments[], pid_t parent,
                            int numberOut, int cookies)
{
    // The server goes when this process's parent goes, even by SIGKILL; if
    // the parent died before the request took hold, it goes at once.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent || setpgid(0, 0) != 0)
        _exit(cannotRun);
    // Both stay open across exec: the server is told their numbers.
    if (!quietStreams() || fcntl(numberOut, F_SETFD, 0) != 0 || fcntl(cookies, F_SETFD, 0) != 0 ||
        !closeAllBut(numberOut, cookies))
        _exit(cannotRun);
    execv(program, arguments);
    _exit(cannotRun);
}

} // namespace

std::string findOnPath(const std::string& name)
{
    const char* setting = std::getenv("PATH");
    const std::string path = setting ? setting : defaultPath;
    for (std::size_t begin = 0; begin <= path.size();) {
        const std::size_t end = std::min(path.find(':', begin), path.size());
        const std::string directory = path.substr(begin, end - begin);
        const std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        if (isProgram(candidate))
            return candidate;
        begin = end + 1;
    }
    return {};
}

Failure aboveStandardStreams(int fd, int& moved)
{
    if (fd < 0)
        return lastError();
    moved = fd;
    if (fd > STDERR_FILENO)
        return {};
    moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const Failure failed = moved < 0 ? lastError() : Failure();
    close(fd);
    return failed;
}

std::string descriptorPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// The server reads the file through -auth, this process's connections
// through XAUTHORITY. Nothing is left on disk whatever ends the process, and
// no other process can connect. Kept off the standard streams, which the
// server's process replaces with /dev/null: a cookie there would be lost and
// the server would start open to all.
Failure cookieFile(int& cookies)
{
    char cookie[cookieLength];
    if (getrandom(cookie, sizeof cookie, 0) != static_cast<ssize_t>(sizeof cookie))
        return lastError();
    int fd = -1;
    if (Failure none = aboveStandardStreams(memfd_create("quasaril-xauthority", MFD_CLOEXEC), fd))
        return none;
    Xauth entry{};
    entry.family = FamilyWild; // any host; with no number given, any display
    entry.address = noText;
    entry.number = noText;
    entry.name = const_cast<char*>(cookieProtocol);
    entry.name_length = sizeof cookieProtocol - 1;
    entry.data = cookie;
    entry.data_length = sizeof cookie;
    FILE* file = fdopen(dup(fd), "w");
    const bool written = file && XauWriteAuth(file, &entry) == 1;
    if ((file && std::fclose(file) != 0) || !written) {
        const Failure failed = lastError();
        close(fd);
        return failed;
    }
    cookies = fd;
    return {};
}

Failure launchServer(const std::string& program, int numberOut, int cookies, pid_t& server)
{
    std::string number = std::to_string(numberOut);
    std::string authority = descriptorPath(cookies);
    char name[] = "Xvfb", displayfd[] = "-displayfd", auth[] = "-auth", nolisten[] = "-nolisten",
         tcp[] = "tcp", noreset[] = "-noreset";
    char* const arguments[] = {name,     displayfd, number.data(), auth,   authority.data(),
                               nolisten, tcp,       noreset,       nullptr};
    const pid_t parent = getpid();
    server = fork();
    if (server < 0)
        return lastError();
    if (server == 0)
        runServer(program.c_str(), arguments, parent, numberOut, cookies);
    // As the server does: whichever comes first, the group exists before
    // anything is sent to it.
    setpgid(server, server);
    return {};
}

bool endsWithin(pid_t server, std::chrono::milliseconds time)
{
    // Through syscall: glibc 2.36's <sys/pidfd.h> cannot be used from C++.
    // A kernel without pidfd_open (before 5.3) gives no grace.
    const int ended = static_cast<int>(syscall(SYS_pidfd_open, server, 0));
    if (ended < 0)
        return false;
    const bool done = readableBy(ended, std::chrono::steady_clock::now() + time);
    close(ended);
    return done;
}

bool readableBy(int fd, std::chrono::steady_clock::time_point deadline)
{
    pollfd wanted{fd, POLLIN, 0};
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int ready = poll(&wanted, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (ready >= 0 || errno != EINTR)
            return ready != 0;
    }
}

int stopServer(pid_t server, std::chrono::milliseconds grace)
{
    kill(-server, SIGTERM);
    endsWithin(server, grace);
    // The server, unreaped, still holds the group's number: nobody else's
    // group can have it.
    kill(-server, SIGKILL);
    int status = 0;
    while (waitpid(server, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

} // namespace xdisplay
} // namespace platform
