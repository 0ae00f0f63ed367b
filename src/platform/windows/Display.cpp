#include "platform/Display.h"

// A Windows program always has its desktop.
namespace platform::display {

Failure forGame()
{
    return {};
}

Failure forChecks()
{
    return {};
}

} // namespace platform::display
