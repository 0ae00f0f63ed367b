#pragma once

// The program's command line as the player typed it.

#include <string>
#include <vector>

#include "platform/Failure.h"

namespace platform::commandline {

// The arguments, the program's name first, in UTF-8 whatever letters they
// have. On Windows the C library's argv holds them in the system's code
// page, where a letter it lacks becomes '?': they are read from the wide
// command line instead.
Failure utf8Arguments(int argc, char** argv, std::vector<std::string>& arguments);

} // namespace platform::commandline
