#include "platform/Display.h"

#include <string>

#include "platform/posix/XDisplay.h"

// On X: the display DISPLAY names, or for the check program a private one.
namespace platform::display {

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
    const Failure none = xdisplay::startPrivateServer();
    if (!none)
        return {};
    // Installing is the advice only where Xvfb is missing.
    const char* const advice = none.what() == xdisplay::notInstalled
                                   ? "install the xvfb package, or run quasaril-check on a desktop"
                                   : "run quasaril-check on a desktop";
    return Failure("no X display could be opened (" + display + ") and the virtual X server Xvfb " +
                   none.what() + ": " + advice);
}

} // namespace platform::display
