#include "platform/CommandLine.h"

// A POSIX program's arguments are the bytes the player typed, UTF-8 in any
// terminal of today.
namespace platform::commandline {

Failure utf8Arguments(int argc, char** argv, std::vector<std::string>& arguments)
{
    arguments.assign(argv, argv + argc);
    return {};
}

} // namespace platform::commandline
