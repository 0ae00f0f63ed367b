#pragma once

// However the game's process ends (main returns, exit() is called, as Xlib
// does when the connection to the X server is lost, or SIGTERM, SIGHUP or
// SIGINT comes) the temporary directory it plays from goes with it.

#include <filesystem>
#include <string>

namespace platform::gameend {

// From now on SIGTERM, SIGHUP and SIGINT end the process with `status`, the
// status of a game whose window was closed, once the directory below is
// removed. Called on the thread that plays; the signal is handled there,
// whichever thread it reaches. A signal ignored when the process started
// (nohup does that for SIGHUP) stays ignored.
void endOnStopSignals(int status);

// Makes a fresh directory from a mkdtemp pattern ("…XXXXXX"). It is removed,
// with every file in it, when the process ends, unless removeNow() comes
// first. One at a time: empty if one is held already or it cannot be made.
std::filesystem::path makeDirectoryGoneAtEnd(std::string pattern);

// Removes that directory and every file in it now, if there is one.
void removeNow();

} // namespace platform::gameend
