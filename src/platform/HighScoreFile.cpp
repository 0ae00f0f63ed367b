#include "platform/HighScoreFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace files {
namespace {

namespace fs = std::filesystem;

constexpr int maxLinkHops = 40; // as the kernel's own limit
constexpr mode_t newFileMode = 0666; // less the umask
constexpr mode_t permissionBits = 0777;
constexpr std::size_t readChunk = 4096;
constexpr const char* draftSuffix = ".XXXXXX"; // mkostemp fills in the X's

bool readAll(int fd, std::string& text)
{
    char chunk[readChunk];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        text.append(chunk, static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, const std::string& text)
{
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The file a name finally stands for, every symbolic link followed, whether
// or not that file exists; empty for a loop of links.
std::string followLinks(fs::path path)
{
    for (int hop = 0; hop < maxLinkHops; ++hop) {
        std::error_code notALink;
        const fs::path target = fs::read_symlink(path, notALink);
        if (notALink)
            return path.string();
        path = target.is_absolute() ? target : path.parent_path() / target;
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

// A fresh draft beside `path`, opened as a new empty file under a unique
// name. mkostemp creates it exclusively, so a name planted in advance (a
// link, say) is skipped, never written through.
int createDraft(const std::string& path, std::string& draft)
{
    draft = path + draftSuffix;
    return ::mkostemp(draft.data(), O_CLOEXEC);
}

enum class DraftResult { saved, impossible, failed };

// Writes the text into a fresh draft and renames it over `path`: the file
// holds the old or the new text at every moment. No fsync: the score can rise
// in every frame, and the rename alone keeps the file whole when the game is
// killed. `replaced` is the file's status, or null for a new file.
DraftResult saveThroughDraft(const std::string& path, const std::string& text,
                             const struct stat* replaced)
{
    std::string draft;
    const int fd = createDraft(path, draft);
    if (fd < 0)
        return errno == EACCES || errno == EPERM ? DraftResult::impossible : DraftResult::failed;
    const mode_t bits = replaced ? replaced->st_mode & permissionBits : newFileBits();
    bool saved = ::fchmod(fd, bits) == 0 && writeAll(fd, text);
    saved = ::close(fd) == 0 && saved;
    saved = saved && ::rename(draft.c_str(), path.c_str()) == 0;
    if (!saved)
        ::unlink(draft.c_str());
    return saved ? DraftResult::saved : DraftResult::failed;
}

bool rewriteInPlace(int fd, const std::string& text)
{
    return ::ftruncate(fd, 0) == 0 && writeAll(fd, text);
}

} // namespace

Contents readWhole(const char* name)
{
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? Kind::missing : Kind::untouched, {}};
    Contents contents{Kind::untouched, {}};
    struct stat status;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && readAll(fd, contents.text))
        contents.kind = Kind::regular;
    else
        contents.text.clear();
    ::close(fd);
    return contents;
}

bool replaceWhole(const char* name, const std::string& text)
{
    const std::string path = followLinks(name);
    if (path.empty())
        return false;
    // Opened, not truncated, to learn whether the file may be written at all.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT && saveThroughDraft(path, text, nullptr) == DraftResult::saved;
    bool written = false;
    struct stat replaced;
    if (::fstat(fd, &replaced) == 0 && S_ISREG(replaced.st_mode)) {
        const DraftResult draft = saveThroughDraft(path, text, &replaced);
        written = draft == DraftResult::saved ||
                  (draft == DraftResult::impossible && rewriteInPlace(fd, text));
    }
    return ::close(fd) == 0 && written;
}

std::ofstream openTruncated(const char* name)
{
    struct stat status;
    const bool regularOrNew = ::stat(name, &status) == 0 ? S_ISREG(status.st_mode) : errno == ENOENT;
    return regularOrNew ? std::ofstream(name, std::ios::out | std::ios::trunc) : std::ofstream();
}

} // namespace files
} // namespace platform
