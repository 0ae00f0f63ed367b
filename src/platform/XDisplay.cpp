#include "platform/XDisplay.h"

#include <X11/Xauth.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace xdisplay {
namespace {

// Xvfb writes the display number it chose, then a line break, to this
// descriptor once it accepts clients; a loaded machine may take seconds.
constexpr int serverStartLimitMs = 30000;
// Exit statuses of the server's process when Xvfb could not be executed, as
// a shell reports them: not found, found but not runnable.
constexpr int serverNotFound = 127;
constexpr int serverNotRunnable = 126;

constexpr std::size_t cookieLength = 16;
const char cookieProtocol[] = "MIT-MAGIC-COOKIE-1";
char noText[] = "";

pid_t serverPid = -1;
xcb_connection_t* heldConnection = nullptr;

void stopServer()
{
    kill(serverPid, SIGTERM);
    int ignored = 0;
    waitpid(serverPid, &ignored, 0);
}

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// An authority file that admits the holder of a fresh random cookie to any
// display: the server reads it through -auth, the game's connections through
// XAUTHORITY. It lives in memory only, behind a descriptor that is closed on
// exec, so nothing is left on disk whatever ends the process, and no other
// process can connect.
int cookieFile()
{
    char cookie[cookieLength];
    if (getrandom(cookie, sizeof cookie, 0) != static_cast<ssize_t>(sizeof cookie))
        return -1;
    const int fd = memfd_create("quasaril-xauthority", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
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
        close(fd);
        return -1;
    }
    return fd;
}

[[noreturn]] void runServer(pid_t parent, int numberOut, int cookies)
{
    // The server goes when this process's parent goes, even by SIGKILL; if
    // the parent died before the request took hold, it goes at once.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
        _exit(EXIT_FAILURE);
    const int quiet = open("/dev/null", O_RDWR);
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(quiet, stream);
    fcntl(numberOut, F_SETFD, 0);
    fcntl(cookies, F_SETFD, 0);
    execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(numberOut).c_str(), "-auth",
           descriptorPath(cookies).c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(errno == ENOENT ? serverNotFound : serverNotRunnable);
}

// The number the server wrote, or nothing if it ended or missed the limit.
std::string displayNumber(int numberIn)
{
    std::string text;
    pollfd wanted{numberIn, POLLIN, 0};
    while (text.find('\n') == std::string::npos &&
           poll(&wanted, 1, serverStartLimitMs) > 0) {
        char buffer[16];
        const ssize_t got = read(numberIn, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    const auto end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(0, end);
}

PrivateServer reasonForNoStart(pid_t server)
{
    kill(server, SIGKILL); // it may still be running, past the time limit
    int status = 0;
    waitpid(server, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == serverNotFound)
        return PrivateServer::NotInstalled;
    return PrivateServer::FailedToStart;
}

} // namespace

bool usable()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    if (connected && !heldConnection)
        heldConnection = connection;
    else
        xcb_disconnect(connection);
    return connected;
}

std::string setting()
{
    const char* value = std::getenv("DISPLAY");
    return value ? "DISPLAY=\"" + std::string(value) + "\"" : "DISPLAY is not set";
}

PrivateServer startPrivateServer()
{
    const int cookies = cookieFile();
    int number[2];
    if (cookies < 0 || pipe2(number, O_CLOEXEC) != 0)
        return PrivateServer::FailedToStart;
    const pid_t parent = getpid();
    const pid_t server = fork();
    if (server == 0)
        runServer(parent, number[1], cookies);
    close(number[1]);
    const std::string display = server > 0 ? displayNumber(number[0]) : std::string();
    close(number[0]);
    if (server < 0)
        return PrivateServer::FailedToStart;
    if (display.empty())
        return reasonForNoStart(server);

    serverPid = server;
    std::atexit(stopServer);
    setenv("DISPLAY", (":" + display).c_str(), 1);
    // The cookie descriptor stays open for the life of the process: every
    // new connection reads it.
    setenv("XAUTHORITY", descriptorPath(cookies).c_str(), 1);
    return usable() ? PrivateServer::Started : PrivateServer::FailedToStart;
}

} // namespace xdisplay
} // namespace platform
