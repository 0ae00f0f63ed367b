#include "platform/posix/XDisplay.h"

#include "platform/posix/XServerProcess.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace xdisplay {
namespace {

using Clock = std::chrono::steady_clock;

// Xvfb writes the display number it chose, then a line break, to the pipe
// once it accepts clients. A number has a few digits: a server that writes
// this much without a line break gives none.
constexpr std::size_t numberTextLimit = 32;
constexpr std::size_t numberDigitsLimit = 9;
// Xvfb ends within milliseconds of SIGTERM; one that ignores it is killed.
constexpr std::chrono::milliseconds stopGrace{1000};

pid_t serverPid = -1;
xcb_connection_t* heldConnection = nullptr;

void stopAtExit()
{
    stopServer(serverPid, stopGrace);
}

enum class Reading { Line, Ended, Flooded, Late };

struct Written {
    Reading how;
    std::string line;
};

// What the server wrote, up to the first line break, the end of the pipe,
// the limit of bytes or the deadline, whichever comes first.
Written firstLine(int numberIn, Clock::time_point deadline)
{
    std::string text;
    while (text.size() < numberTextLimit) {
        if (!readableBy(numberIn, deadline))
            return {Reading::Late, {}};
        char buffer[numberTextLimit];
        const ssize_t got = read(numberIn, buffer, numberTextLimit - text.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {Reading::Ended, {}};
        text.append(buffer, static_cast<std::size_t>(got));
        const auto end = text.find('\n');
        if (end != std::string::npos)
            return {Reading::Line, text.substr(0, end)};
    }
    return {Reading::Flooded, {}};
}

bool isDisplayNumber(const std::string& text)
{
    return !text.empty() && text.size() <= numberDigitsLimit &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

std::string seconds(long milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(milliseconds) / 1000);
    return text;
}

std::string reason(int error)
{
    return std::strerror(error);
}

// Stops a server that gave no display, and says why it gave none.
Failure noDisplay(pid_t server, Reading how, Clock::time_point deadline,
                  std::chrono::milliseconds allowed)
{
    // A server that closed the pipe has usually ended, or is about to.
    const auto wait = how == Reading::Ended
                          ? std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now())
                          : std::chrono::milliseconds(0);
    const bool ended = endsWithin(server, wait);
    const int status = stopServer(server, stopGrace);
    if (ended && WIFEXITED(status))
        return Failure("exited with status " + std::to_string(WEXITSTATUS(status)) +
                       " before giving a display");
    if (ended && WIFSIGNALED(status))
        return Failure("was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
                       strsignal(WTERMSIG(status)) + ") before giving a display");
    if (how == Reading::Late)
        return Failure("gave no display within " + seconds(allowed.count()));
    return Failure("wrote no display number");
}

// Makes the server's display this process's, if it can be opened.
Failure useDisplay(pid_t server, const std::string& number, int cookies)
{
    setenv("DISPLAY", (":" + number).c_str(), 1);
    // The cookie descriptor stays open for the life of the process: every
    // new connection reads it.
    setenv("XAUTHORITY", descriptorPath(cookies).c_str(), 1);
    if (!usable()) {
        stopServer(server, stopGrace);
        return Failure("gave display :" + std::to_string(std::stol(number)) +
                       ", which could not be opened");
    }
    serverPid = server;
    std::atexit(stopAtExit);
    return {};
}

// Starts the server with the cookie and waits for its display number.
Failure launch(const std::string& program, int cookies, Clock::time_point deadline,
               std::chrono::milliseconds allowed)
{
    int number[2];
    if (pipe2(number, O_CLOEXEC) != 0)
        return Failure("could not be started (" + reason(errno) + ")");
    int numberOut = -1;
    pid_t server = -1;
    Failure failed = aboveStandardStreams(number[1], numberOut);
    if (!failed)
        failed = launchServer(program, numberOut, cookies, server);
    if (numberOut >= 0)
        close(numberOut);
    if (failed) {
        close(number[0]);
        return Failure("could not be started (" + failed.what() + ")");
    }
    const Written written = firstLine(number[0], deadline);
    // Open until the server is stopped: a server still writing would die of
    // SIGPIPE, and seem to have ended by itself.
    const Failure start = written.how == Reading::Line && isDisplayNumber(written.line)
                              ? useDisplay(server, written.line, cookies)
                              : noDisplay(server, written.how, deadline, allowed);
    close(number[0]);
    return start;
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

Failure startPrivateServer(std::chrono::milliseconds deadline)
{
    const Clock::time_point until = Clock::now() + deadline;
    const std::string program = findOnPath("Xvfb");
    if (program.empty())
        return Failure(notInstalled);
    // Without its cookie the server would admit anyone: no cookie, no server.
    int cookies = -1;
    if (Failure none = cookieFile(cookies))
        return Failure("was not started: no access cookie could be made for it (" + none.what() +
                       ")");
    const Failure start = launch(program, cookies, until, deadline);
    if (start)
        close(cookies);
    return start;
}

} // namespace xdisplay
} // namespace platform
