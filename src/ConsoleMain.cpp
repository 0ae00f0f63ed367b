// The console program: runs the game's check cases and exits with the
// framework's verdict, 0 when every case that ran passed.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/ErrorFilter.h"
#include "platform/XDisplay.h"

namespace {

// The check cases never open a window, yet the game's static objects cannot
// be built without an X display. Where none can be opened, the suite runs on
// a private virtual X server. Priority 101 runs this before every one of the
// game's static objects (all of default priority) is built.
__attribute__((constructor(101))) void provideDisplay()
{
    using platform::xdisplay::PrivateServer;
    if (platform::xdisplay::usable())
        return;
    const std::string display = platform::xdisplay::setting();
    const PrivateServer server = platform::xdisplay::startPrivateServer();
    if (server == PrivateServer::Started)
        return;
    const char* const why = server == PrivateServer::NotInstalled
                                ? "the virtual X server Xvfb is not installed"
                                : "the virtual X server Xvfb did not start";
    std::fprintf(stderr,
                 "quasaril-check: no X display could be opened (%s) and %s: install the xvfb "
                 "package, or run quasaril-check on a desktop\n",
                 display.c_str(), why);
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
