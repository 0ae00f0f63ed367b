#include "platform/Messages.h"

#include <cstdio>

// A POSIX program's standard error is where it was started: a terminal, or
// the desktop's own log.
namespace platform::messages {

Failure keepIn(const std::filesystem::path&)
{
    return {};
}

void sayStop(const std::string& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace platform::messages
