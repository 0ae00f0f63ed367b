#include "platform/Display.h"

#include <string>

#include "platform/XDisplay.h"

// On X: the display DISPLAY names, or for the check program a private one.
namespace platform::display {

using xdisplay::ServerStart;

Failure forGame()
{
    if (xdisplay::usable())
        return {};
    return Failure("the game needs a desktop: no X display could be opened (" +
                   xdisplay::setting() + ")");
}

Failure forChecks()
{
    if (xdisplay::usable())
        return {};
    const std::string display = xdisplay::setting();
    const ServerStart start = xdisplay::startPrivateServer();
    if (start.kind == ServerStart::Started)
        return {};
    // Installing is the advice only where Xvfb is missing.
    const char* const advice = start.kind == ServerStart::NotInstalled
                                   ? "install the xvfb package, or run quasaril-check on a desktop"
                                   : "run quasaril-check on a desktop";
    return Failure("no X display could be opened (" + display + ") and the virtual X server Xvfb " +
                   xdisplay::describe(start) + ": " + advice);
}

} // namespace platform::display
