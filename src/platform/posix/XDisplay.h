#pragma once

// The X display, and a private virtual X server where none can be opened.
//
// SFML opens the X display as soon as the first window or picture object is
// built, which for the game is during static initialisation, and aborts the
// process when no display can be opened. The entry points ask here first,
// before any of the game's objects is built.

#include <chrono>
#include <string>

#include "platform/Failure.h"

namespace platform {
namespace xdisplay {

// True when an X display can be opened with this process's DISPLAY. The
// first connection that succeeds stays open for the life of the process: a
// server that resets when its last client leaves (xvfb-run's does) would
// otherwise reset just as the game connects, and refuse it.
bool usable();

// DISPLAY's value for messages: `DISPLAY=":987"`, or `DISPLAY is not set`.
std::string setting();

// How long the private server may take from its start to giving a display
// number; a loaded machine may take seconds.
constexpr std::chrono::milliseconds serverStartDeadline{10000};

// Why the private server gave no display, where Xvfb is not on PATH.
constexpr const char* notInstalled = "is not installed";

// Starts a virtual X server (Xvfb, found on PATH) on a display number of its
// own choosing, not listening on the network and open only to this process,
// and makes it this process's display. The server inherits only its standard
// streams (on /dev/null), the pipe for the display number and the cookie.
// It ends with the process: stopped at a normal exit (SIGTERM, then SIGKILL
// after a short grace), and sent SIGTERM by the kernel should the process be
// killed. Where it does not start, nothing of it is left running, and the
// failure says what became of it in words that follow "Xvfb" in a message:
// "is not installed", "exited with status 1 before giving a display", ...
Failure startPrivateServer(std::chrono::milliseconds deadline = serverStartDeadline);

} // namespace xdisplay
} // namespace platform
