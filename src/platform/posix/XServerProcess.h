#pragma once

// The private X server's process: the program, the cookie it is handed, its
// start with nothing inherited by chance, and its end. Used by XDisplay.cpp
// alone.

#include <chrono>
#include <string>
#include <sys/types.h>

#include "platform/Failure.h"

namespace platform {
namespace xdisplay {

// The path of an executable file of that name in a directory on PATH, as the
// shell would find it; empty if there is none.
std::string findOnPath(const std::string& name);

// Makes an authority file holding a fresh random cookie for any display, in
// memory only, on a close-on-exec descriptor above the standard streams.
Failure cookieFile(int& cookies);

// Moves the descriptor above the standard streams, close-on-exec; fails
// where it cannot (the descriptor is closed either way), or where `fd` is
// none, the result of a failed call whose errno says why.
Failure aboveStandardStreams(int fd, int& moved);

// "/proc/self/fd/N": the file as any process sees its own descriptor N.
std::string descriptorPath(int fd);

// Starts the server in a process group of its own, with standard streams on
// /dev/null, and of this process's descriptors only numberOut and cookies
// (both above the standard streams), told by number on its command line. It
// is sent SIGTERM should this process die.
Failure launchServer(const std::string& program, int numberOut, int cookies, pid_t& server);

// True once the descriptor is readable (or in error) before the deadline.
bool readableBy(int fd, std::chrono::steady_clock::time_point deadline);

// True once the process has ended within the time, left unreaped.
bool endsWithin(pid_t server, std::chrono::milliseconds time);

// Ends the server's process group: SIGTERM, then SIGKILL to whatever is left
// after the grace (none if the server has already ended); reaps the server and
// returns its wait status.
int stopServer(pid_t server, std::chrono::milliseconds grace);

} // namespace xdisplay
} // namespace platform
