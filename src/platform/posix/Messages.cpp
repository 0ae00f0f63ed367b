#include "platform/Messages.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

// A POSIX program's standard error is where it was started: a terminal, or
// the desktop's own log.
namespace platform::messages {

Failure keepIn(const std::filesystem::path&)
{
    return {};
}

Failure sayStop(const std::string& line)
{
    if (std::fprintf(stderr, "%s\n", line.c_str()) < 0)
        return Failure::of("write to stderr", std::error_code(errno, std::generic_category()));
    return {};
}

} // namespace platform::messages
