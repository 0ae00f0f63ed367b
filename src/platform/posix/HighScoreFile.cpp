#include "platform/HighScoreFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/FilePlace.h"

namespace platform {
namespace files {
namespace {

constexpr mode_t newFileMode = 0666; // less the umask
constexpr mode_t permissionBits = 0777;
constexpr char draftSuffix[] = ".XXXXXX"; // mkostemp fills in the X's
constexpr std::size_t draftSuffixLength = sizeof draftSuffix - 1;
// A save takes far less: a draft older than its own by this much was left
// by a game killed while saving, never one that another game is writing.
constexpr time_t staleDraftSeconds = 60;
const char* const notRegular = "not a regular file";

Failure reason(int error)
{
    return error == 0
               ? Failure()
               : Failure(std::strerror(error), std::error_code(error, std::generic_category()));
}

// Reads from the start of a file until readLimit bytes or its end.
Failure readFrom(int fd, std::string& text)
{
    // The play frame reads the file every frame: the bytes land on the stack,
    // and a score fits in the string without a heap block.
    char buffer[readLimit];
    std::size_t got = 0;
    while (got < readLimit) {
        const ssize_t n = ::read(fd, buffer + got, readLimit - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return reason(errno);
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    text.assign(buffer, got);
    return {};
}

Failure writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return reason(n < 0 ? errno : EIO);
        written += static_cast<std::size_t>(n);
    }
    return {};
}

// The permission bits a new file gets: 0666 less the umask, which can only
// be read by setting it.
mode_t newFileBits()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return newFileMode & ~mask;
}

// mkostemp takes a path, not a directory descriptor: through /proc the path
// names the very directory the place was found in, whatever becomes of the
// names on the way to it.
std::string draftTemplate(const Place& place)
{
    return "/proc/self/fd/" + std::to_string(place.directory.get()) + "/" + place.name +
           draftSuffix;
}

// One of mkostemp's letters: an ASCII letter or digit.
bool draftLetter(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// A name of the drafts of this file: its own name, a dot and six letters.
bool isDraftOf(const std::string& file, const char* entry)
{
    const std::size_t length = std::strlen(entry);
    return length == file.size() + draftSuffixLength &&
           std::strncmp(entry, file.c_str(), file.size()) == 0 && entry[file.size()] == '.' &&
           std::all_of(entry + file.size() + 1, entry + length, draftLetter);
}

// Removes the drafts of the file that games killed while saving left
// behind: regular files of a draft's name, staleDraftSeconds older than
// this save's own draft.
void clearStaleDrafts(const Place& place, time_t ownDraftTime)
{
    const int listed = ::openat(place.directory.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* const entries = listed < 0 ? nullptr : ::fdopendir(listed);
    if (entries == nullptr) {
        if (listed >= 0)
            ::close(listed);
        return;
    }
    struct stat status;
    while (const dirent* entry = ::readdir(entries))
        if (isDraftOf(place.name, entry->d_name) &&
            ::fstatat(::dirfd(entries), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_mtime + staleDraftSeconds < ownDraftTime)
            ::unlinkat(::dirfd(entries), entry->d_name, 0);
    ::closedir(entries);
}

// Writes the text into a fresh draft and renames it over the file: the file
// holds the old or the new text at every moment. mkostemp creates the draft
// exclusively, so a name planted in advance (a link, say) is skipped, never
// written through. No fsync: the score can rise in every frame, and the
// rename alone keeps the file whole when the game is killed. `replaced` is
// the file's status, or null for a new file.
Failure saveThroughDraft(const Place& place, const std::string& text, const struct stat* replaced)
{
    std::string path = draftTemplate(place);
    Descriptor draft(::mkostemp(path.data(), O_CLOEXEC));
    if (!draft)
        return reason(errno);
    const int directory = place.directory.get();
    const std::string draftName = place.name + path.substr(path.size() - draftSuffixLength);
    const mode_t bits = replaced ? replaced->st_mode & permissionBits : newFileBits();
    Failure failed = passOwnership(draft.get(), replaced, place);
    if (!failed && ::fchmod(draft.get(), bits) != 0)
        failed = reason(errno);
    if (!failed)
        failed = writeAll(draft.get(), text);
    struct stat written;
    if (!failed && ::fstat(draft.get(), &written) != 0)
        failed = reason(errno);
    const Failure closed = draft.close();
    if (!failed)
        failed = closed;
    if (!failed && ::renameat(directory, draftName.c_str(), directory, place.name.c_str()) != 0)
        failed = reason(errno);
    if (failed)
        ::unlinkat(directory, draftName.c_str(), 0);
    else
        clearStaleDrafts(place, written.st_mtime);
    return failed;
}

// No draft may be made or may take the file's place here.
bool refused(const Failure& failed)
{
    return failed.code() == std::errc::permission_denied ||
           failed.code() == std::errc::operation_not_permitted;
}

Failure rewriteInPlace(int fd, const std::string& text)
{
    return ::ftruncate(fd, 0) == 0 ? writeAll(fd, text) : reason(errno);
}

} // namespace

Failure readStart(const char* name, Contents& contents)
{
    Place place;
    if (Failure nowhere = locate(name, place))
        return nowhere;
    Descriptor file(::openat(place.directory.get(), place.name.c_str(),
                             O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (!file) {
        if (errno != ENOENT)
            return reason(errno);
        contents = Contents();
        return {};
    }
    struct stat status;
    if (::fstat(file.get(), &status) != 0)
        return reason(errno);
    if (!S_ISREG(status.st_mode))
        return Failure(notRegular);
    Contents read;
    if (Failure failed = readFrom(file.get(), read.text))
        return failed;
    read.cut = read.text.size() == readLimit;
    contents = std::move(read);
    return {};
}

Failure replaceWhole(const char* name, const std::string& text)
{
    Place place;
    if (Failure nowhere = locate(name, place))
        return nowhere;
    // Opened, not truncated, to learn whether the file may be written at all.
    Descriptor file(::openat(place.directory.get(), place.name.c_str(),
                             O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    if (!file)
        return errno == ENOENT ? saveThroughDraft(place, text, nullptr) : reason(errno);
    struct stat replaced;
    if (::fstat(file.get(), &replaced) != 0)
        return reason(errno);
    if (!S_ISREG(replaced.st_mode))
        return Failure(notRegular);
    const bool manyNames = replaced.st_nlink > 1;
    Failure failed = manyNames ? Failure() : saveThroughDraft(place, text, &replaced);
    if (manyNames || refused(failed))
        failed = rewriteInPlace(file.get(), text);
    const Failure closed = file.close();
    return failed ? failed : closed;
}

Failure whyUnwritable(const char* name)
{
    Place place;
    if (Failure nowhere = locate(name, place))
        return nowhere;
    Descriptor file(::openat(place.directory.get(), place.name.c_str(),
                             O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status;
    if (file)
        return ::fstat(file.get(), &status) != 0 ? reason(errno)
               : S_ISREG(status.st_mode)         ? Failure()
                                                 : Failure(notRegular);
    if (errno == ENOENT && ::faccessat(place.directory.get(), ".", W_OK, AT_EACCESS) == 0)
        return {};
    return reason(errno);
}

// Opened here, where links are walked as for the saves, and handed to the
// stream by the name the process sees its own descriptor under, which is
// the very file opened.
std::ofstream openTruncated(const char* name)
{
    Place place;
    if (locate(name, place))
        return {};
    Descriptor file(::openat(place.directory.get(), place.name.c_str(),
                             O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC,
                             newFileMode));
    struct stat status;
    if (!file || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return std::ofstream("/proc/self/fd/" + std::to_string(file.get()),
                         std::ios::out | std::ios::trunc);
}

} // namespace files
} // namespace platform
