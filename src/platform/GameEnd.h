#pragma once

// However the game's process ends, the temporary directory it plays from
// goes with it: main returns, exit() is called (as Xlib does when the
// connection to the X server is lost), or, on POSIX systems, SIGTERM, SIGHUP
// or SIGINT comes; on Windows, the console it was started from is closed or
// sends Ctrl+C or Ctrl+Break, or the user logs off.

#include <filesystem>

#include "platform/Failure.h"

namespace platform::gameend {

// From now on the stops above end the process with `status`, the status of
// a game whose window was closed, once the directory below is removed.
// Called on the thread that plays; a POSIX signal is handled there, whichever
// thread it reaches. A signal ignored when the process started (nohup does
// that for SIGHUP) stays ignored. Fails where a stop cannot be caught: the
// directory then goes only when the game ends by itself.
Failure endOnStopSignals(int status);

// Makes a fresh directory from a pattern ending in "XXXXXX", which is filled
// in as mkdtemp does. It is removed, with every file in it, when the process
// ends, unless removeNow() comes first. One at a time: fails if one is held
// already. On Windows, those made from the same pattern that earlier games
// left (a game killed, a file held open at its end) go first, but for one
// a game still plays in.
Failure makeDirectoryGoneAtEnd(const std::filesystem::path& pattern,
                               std::filesystem::path& directory);

// Removes that directory and every file in it now, if there is one; fails
// where the directory is left.
Failure removeNow();

} // namespace platform::gameend
