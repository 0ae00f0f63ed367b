#pragma once

// The processes whose parent is a given one, as /proc lists them.

#include <string>
#include <sys/types.h>
#include <vector>

// Processes whose parent is the given process, running or ended but not yet
// reaped; only those with the given name (as /proc/PID/stat gives it) unless
// it is empty.
std::vector<pid_t> childrenNamed(pid_t parent, const std::string& name = "");
