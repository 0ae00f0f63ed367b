#include "platform/posix/FilePlace.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace files {
namespace {

constexpr int maxLinkHops = 40; // as the kernel's own limit
constexpr uid_t rootUser = 0;
const char* const linkOfAnother = "a symbolic link of another user, not followed";

// The names still to walk, as a stack: the next one is at the back.
using Names = std::vector<std::string>;

// Puts the names a path is made of before those still to walk; "" and "."
// name nothing new.
void pushPath(const std::string& path, Names& names)
{
    const std::size_t walkedLater = names.size();
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string part = path.substr(start, end - start);
        if (!part.empty() && part != ".")
            names.push_back(std::move(part));
        start = end + 1;
    }
    std::reverse(names.begin() + static_cast<std::ptrdiff_t>(walkedLater), names.end());
}

// The entry itself, a symbolic link included, opened only to be looked at.
Descriptor openEntry(int directory, const char* name, int flags = 0)
{
    return Descriptor(::openat(directory, name, O_PATH | O_NOFOLLOW | O_CLOEXEC | flags));
}

Descriptor openRoot(const std::string& path)
{
    return openEntry(AT_FDCWD, !path.empty() && path.front() == '/' ? "/" : ".", O_DIRECTORY);
}

// The target of a link opened with openEntry; empty when it cannot be read.
std::string readLink(int link)
{
    std::string target(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(link, "", target.data(), target.size());
    const bool whole = length > 0 && static_cast<std::size_t>(length) < target.size();
    target.resize(whole ? static_cast<std::size_t>(length) : 0);
    return target;
}

bool mayFollow(const struct stat& link)
{
    return link.st_uid == ::geteuid() || link.st_uid == rootUser;
}

Failure failed(int error)
{
    return Failure(std::strerror(error), std::error_code(error, std::generic_category()));
}

} // namespace

Failure Descriptor::close()
{
    const int fd = std::exchange(_fd, -1);
    return fd < 0 || ::close(fd) == 0 ? Failure() : failed(errno);
}

// Each name is opened by itself, under the directory found so far, and never
// followed by the kernel: a link is read and its names walked in its place.
Failure locate(const char* name, Place& place)
{
    Names names;
    pushPath(name, names);
    Descriptor directory = openRoot(name);
    for (int hops = 0; !names.empty();) {
        const std::string next = std::move(names.back());
        names.pop_back();
        Descriptor entry = openEntry(directory.get(), next.c_str());
        struct stat status;
        if (!entry || ::fstat(entry.get(), &status) != 0) {
            if (errno == ENOENT && names.empty()) {
                place = {std::move(directory), next}; // a new file
                return {};
            }
            return failed(errno);
        }
        if (S_ISLNK(status.st_mode)) {
            if (!mayFollow(status))
                return Failure(linkOfAnother);
            const std::string target = readLink(entry.get());
            if (++hops > maxLinkHops || target.empty())
                return failed(target.empty() ? ENAMETOOLONG : ELOOP);
            if (target.front() == '/')
                directory = openRoot(target);
            pushPath(target, names);
        } else if (names.empty()) {
            place = {std::move(directory), next};
            return {};
        } else if (S_ISDIR(status.st_mode)) {
            directory = std::move(entry);
        } else {
            return failed(ENOTDIR);
        }
    }
    return failed(EISDIR); // the name stands for a directory
}

Failure passOwnership(int draft, const struct stat* replaced, const Place& place)
{
    struct stat owner;
    if (replaced)
        owner = *replaced;
    else if (::geteuid() != rootUser || ::fstat(place.directory.get(), &owner) != 0 ||
             owner.st_uid == rootUser)
        return {}; // a new file of the user who makes it
    return ::fchown(draft, owner.st_uid, owner.st_gid) == 0 ? Failure() : failed(errno);
}

} // namespace files
} // namespace platform
