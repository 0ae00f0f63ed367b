#pragma once

// A display for the game's windows. SFML opens it as soon as the first
// window or picture object is built, which for the game is during static
// initialisation, and aborts the process when it cannot: the entry points
// ask here first, before any of the game's objects is built. On X that is
// the X display (posix/XDisplay.h); Windows always has its desktop.

#include "platform/Failure.h"

namespace platform::display {

// Whether the game's windows can open; why not, in words that follow
// "quasaril: ".
Failure forGame();

// The same for the check program, whose cases open no window but build the
// game's objects: where no X display can be opened, a private virtual X
// server is started for it. Why there is none, in words that follow
// "quasaril-check: ". On Windows, where it is the only process on its
// console (double-clicked), it waits for a key as it ends, so the console
// stays open to be read.
Failure forChecks();

} // namespace platform::display
