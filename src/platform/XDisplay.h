#pragma once

// The X display, and a private virtual X server where none can be opened.
//
// SFML opens the X display as soon as the first window or picture object is
// built, which for the game is during static initialisation, and aborts the
// process when no display can be opened. The entry points ask here first,
// before any of the game's objects is built.

#include <string>

namespace platform {
namespace xdisplay {

// True when an X display can be opened with this process's DISPLAY. The
// first connection that succeeds stays open for the life of the process: a
// server that resets when its last client leaves (xvfb-run's does) would
// otherwise reset just as the game connects, and refuse it.
bool usable();

// DISPLAY's value for messages: `DISPLAY=":987"`, or `DISPLAY is not set`.
std::string setting();

enum class PrivateServer { Started, NotInstalled, FailedToStart };

// Starts a virtual X server (Xvfb, found on PATH) on a display number of its
// own choosing, not listening on the network and open only to this process,
// and makes it this process's display. The server ends with the process:
// stopped at a normal exit, and sent SIGTERM by the kernel should the process
// be killed.
PrivateServer startPrivateServer();

} // namespace xdisplay
} // namespace platform
