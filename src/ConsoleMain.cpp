// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/ErrorFilter.h"
#include "platform/XDisplay.h"

namespace {

using platform::xdisplay::ServerStart;

std::string seconds(long milliseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(milliseconds) / 1000);
    return text;
}

// What became of the virtual X server, for the message.
std::string whatWentWrong(const ServerStart& start)
{
    const std::string detail = std::to_string(start.detail);
    const int number = static_cast<int>(start.detail);
    switch (start.kind) {
    case ServerStart::NotInstalled: return "is not installed";
    case ServerStart::NoCookie:
        return "was not started: no access cookie could be made for it (" +
               std::string(std::strerror(number)) + ")";
    case ServerStart::NotStarted:
        return "could not be started (" + std::string(std::strerror(number)) + ")";
    case ServerStart::Exited: return "exited with status " + detail + " before giving a display";
    case ServerStart::Killed:
        return "was ended by signal " + detail + " (" + strsignal(number) +
               ") before giving a display";
    case ServerStart::TimedOut: return "gave no display within " + seconds(start.detail);
    case ServerStart::NoNumber: return "wrote no display number";
    case ServerStart::Unusable: return "gave display :" + detail + ", which could not be opened";
    case ServerStart::Started: break;
    }
    return "did not start";
}

// The check cases never open a window, yet the game's static objects cannot
// be built without an X display. Where none can be opened, the suite runs on
// a private virtual X server. Priority 101 runs this before every one of the
// game's static objects (all of default priority) is built.
__attribute__((constructor(101))) void provideDisplay()
{
    if (platform::xdisplay::usable())
        return;
    const std::string display = platform::xdisplay::setting();
    const ServerStart start = platform::xdisplay::startPrivateServer();
    if (start.kind == ServerStart::Started)
        return;
    // Installing is the advice only where Xvfb is missing.
    const char* const advice = start.kind == ServerStart::NotInstalled
                                   ? "install the xvfb package, or run quasaril on a desktop"
                                   : "run quasaril on a desktop";
    std::fprintf(stderr,
                 "quasaril: no X display could be opened (%s) and the virtual X server Xvfb "
                 "%s: %s\n",
                 display.c_str(), whatWentWrong(start).c_str(), advice);
    std::exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char** argv)
{
    platform::errorstream::filterSfmlErrors();
    std::puts("Running main() from gtest_main.cc");
    testing::InitGoogleTest(&argc, argv);
    return testing::UnitTest::GetInstance()->Run();
}
