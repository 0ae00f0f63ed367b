#include "Platform.h"

#include <SFML/System/Err.hpp>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

using SteadyClock = std::chrono::steady_clock;

SteadyClock::time_point processStart()
{
    static const SteadyClock::time_point start = SteadyClock::now();
    return start;
}

// Take the start reading during static initialisation, not at the first call.
const SteadyClock::time_point startTakenAtLoad = processStart();

bool clockPinned = false;
long pinnedReading = 0;

// A linear congruential generator with the constants of the classic C library
// rand(): the game's sequence is the one an unseeded rand() gives there.
constexpr std::uint32_t randomSeed = 1;
constexpr std::uint32_t randomMultiplier = 214013;
constexpr std::uint32_t randomIncrement = 2531011;
std::uint32_t randomState = randomSeed;

} // namespace

long gameClock()
{
    if (clockPinned)
        return pinnedReading;
    const auto elapsed = SteadyClock::now() - processStart();
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

int gameRand()
{
    randomState = randomState * randomMultiplier + randomIncrement;
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}

namespace testhooks {

void pinClock(long milliseconds)
{
    clockPinned = true;
    pinnedReading = milliseconds;
}

void advanceClock(long milliseconds) { pinnedReading += milliseconds; }

void releaseClock() { clockPinned = false; }

void restartRandom() { randomState = randomSeed; }

} // namespace testhooks
} // namespace platform

// ---------------------------------------------------------------------------
// Small text files read and replaced whole: the high-score file.
// ---------------------------------------------------------------------------

namespace platform {
namespace files {
namespace {

namespace fs = std::filesystem;

constexpr int maxLinkHops = 40; // as the kernel's own limit
constexpr mode_t newFileMode = 0666; // less the umask, which open applies
constexpr mode_t permissionBits = 0777;
constexpr std::size_t readChunk = 4096;
constexpr int draftAttempts = 100;
constexpr int draftSuffixLength = 6;

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

// A name beside `path` that nothing has yet, opened as a new empty file.
// Created exclusively and never through a link, so a name planted in
// advance is skipped, never written.
int createDraft(const std::string& path, std::string& draft)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::minstd_rand pick(static_cast<unsigned>(
        std::chrono::steady_clock::now().time_since_epoch().count() ^ ::getpid()));
    std::uniform_int_distribution<std::size_t> letter(0, sizeof letters - 2);
    for (int attempt = 0; attempt < draftAttempts; ++attempt) {
        draft = path + '.';
        for (int i = 0; i < draftSuffixLength; ++i)
            draft += letters[letter(pick)];
        const int fd = ::open(draft.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newFileMode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    bool saved = (replaced == nullptr || ::fchmod(fd, replaced->st_mode & permissionBits) == 0) &&
                 writeAll(fd, text);
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

// ---------------------------------------------------------------------------
// SFML's error stream: repeats summarised.
// ---------------------------------------------------------------------------

namespace platform {
namespace errorstream {

RepeatFilter::RepeatFilter(std::ostream& stream) : _stream(stream), _out(stream.rdbuf())
{
    _stream.rdbuf(this);
}

RepeatFilter::~RepeatFilter()
{
    if (!_line.empty())
        lineEnded();
    const long now = gameClock();
    for (auto& [line, seen] : _seen)
        if (seen.repeats > 0)
            summarise(line, seen, now);
    _stream.rdbuf(_out);
}

RepeatFilter::int_type RepeatFilter::overflow(int_type c)
{
    if (!traits_type::eq_int_type(c, traits_type::eof()))
        take(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize RepeatFilter::xsputn(const char* text, std::streamsize count)
{
    for (std::streamsize i = 0; i < count; ++i)
        take(text[i]);
    return count;
}

int RepeatFilter::sync() { return _out->pubsync(); }

void RepeatFilter::take(char c)
{
    if (c != '\n') {
        _line += c;
        return;
    }
    lineEnded();
    _line.clear();
}

void RepeatFilter::lineEnded()
{
    const long now = gameClock();
    const auto [entry, first] = _seen.try_emplace(_line, Seen{now, 0});
    Seen& seen = entry->second;
    if (first) {
        emit(_line);
        return;
    }
    ++seen.repeats;
    if (now - seen.lastShown >= summaryInterval)
        summarise(_line, seen, now);
}

void RepeatFilter::summarise(const std::string& line, Seen& seen, long now)
{
    emit(line + " (repeated " + std::to_string(seen.repeats) +
         (seen.repeats == 1 ? " more time)" : " more times)"));
    seen.lastShown = now;
    seen.repeats = 0;
}

void RepeatFilter::emit(const std::string& line)
{
    _out->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    _out->sputc('\n');
    _out->pubsync();
}

void filterSfmlErrors()
{
    static RepeatFilter filter(sf::err());
}

} // namespace errorstream
} // namespace platform
