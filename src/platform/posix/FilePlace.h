#pragma once

// Where a file lies and whose it is: symbolic links followed only where they
// may be, and the owner a new file should get. The POSIX high-score file's
// own helper.

#include <string>
#include <sys/stat.h>
#include <utility>

#include "platform/Failure.h"

namespace platform {
namespace files {

// An open file descriptor, closed when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : _fd(fd) {}
    ~Descriptor() { close(); }
    Descriptor(Descriptor&& other) noexcept : _fd(std::exchange(other._fd, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        std::swap(_fd, other._fd);
        return *this;
    }

    int get() const { return _fd; }
    explicit operator bool() const { return _fd >= 0; }
    // Closes now.
    Failure close();

private:
    int _fd;
};

// The directory a name lies in, and its last name there.
struct Place {
    Descriptor directory; // opened O_PATH
    std::string name;
};

// Finds the place a name stands for, one name at a time, following a
// symbolic link only when it belongs to this process's user or to root (the
// kernel's rule for links in sticky directories): a link planted by another
// user is never followed, so root cannot be made to write through it. The
// last name need not exist.
Failure locate(const char* name, Place& place);

// Gives a draft the owner and group of the file it replaces, or, for a new
// file that root makes in another user's directory, that directory's owner
// and group.
Failure passOwnership(int draft, const struct stat* replaced, const Place& place);

} // namespace files
} // namespace platform
