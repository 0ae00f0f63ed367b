// Every test program that links the game gets an X display, as the check
// program does: the one DISPLAY names when it can be opened (make test's
// shared server, a desktop), otherwise a private virtual X server, so ctest
// runs in any terminal.
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>

#include "platform/posix/XDisplay.h"

namespace {

// The private server admits whoever reads the cookie at XAUTHORITY, a path
// to one of this process's descriptors, closed on exec. The programs a test
// starts (xdotool, the check program) share the test's server: they inherit
// the descriptor.
void shareCookieWithChildren()
{
    const char* const authority = std::getenv("XAUTHORITY");
    int descriptor = -1;
    if (authority && std::sscanf(authority, "/proc/self/fd/%d", &descriptor) == 1)
        fcntl(descriptor, F_SETFD, 0);
}

// The game's static objects open the display as they are built: priority
// 101 runs this before any of them.
__attribute__((constructor(101))) void provideDisplay()
{
    if (platform::xdisplay::usable())
        return;
    const std::string display = platform::xdisplay::setting();
    const platform::Failure none = platform::xdisplay::startPrivateServer();
    if (!none) {
        shareCookieWithChildren();
        return;
    }
    std::fprintf(stderr,
                 "test: no X display could be opened (%s) and the virtual X server Xvfb %s: "
                 "install the xvfb package, or run under a desktop\n",
                 display.c_str(), none.what().c_str());
    std::exit(EXIT_FAILURE);
}

} // namespace
