#include "Platform.h"

#include <SFML/System/Err.hpp>
#include <X11/Xauth.h>
#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <ostream>
#include <poll.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// ---------------------------------------------------------------------------
// SFML's error stream: repeats summarised.

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

// ---------------------------------------------------------------------------
// The player's directory

namespace platform::playerdir {
namespace {

namespace fs = std::filesystem;

constexpr const char* gameName = "quasaril";
// Installed, the executables lie in games/ and the game's files in
// share/games/quasaril of the same prefix.
constexpr const char* installedFiles = "../share/games/quasaril";
constexpr const char* scoreFile = "HighScore.txt";
constexpr const char* temporaryPattern = "quasaril-XXXXXX";

bool holdsAny(const fs::path& directory, const std::vector<std::string>& names)
{
    std::error_code ignored;
    for (const std::string& name : names)
        if (fs::exists(directory / name, ignored))
            return true;
    return false;
}

// The variable's value if it is an absolute path, else empty.
fs::path absolutePathFrom(const char* variable)
{
    const char* value = std::getenv(variable);
    const fs::path path = value ? value : "";
    return path.is_absolute() ? path : fs::path();
}

bool linksTo(const fs::path& link, const fs::path& target)
{
    std::error_code failed;
    const bool isLink = fs::is_symlink(fs::symlink_status(link, failed));
    return isLink && fs::read_symlink(link, failed) == target && !failed;
}

// Makes the directory, links the game's files into it and enters it.
std::error_code enter(const fs::path& directory, const fs::path& gameFiles,
                      const std::vector<std::string>& names)
{
    std::error_code failed;
    fs::create_directories(directory, failed);
    if (!failed)
        failed = linkFiles(gameFiles, directory, names);
    if (!failed)
        fs::current_path(directory, failed);
    return failed;
}

std::string whyNotUsed(const fs::path& player, const std::error_code& failed)
{
    if (player.empty())
        return "neither XDG_DATA_HOME nor HOME is an absolute path, so there is no "
               "player's directory to keep the high score in";
    return "cannot use " + player.string() + " (" + failed.message() +
           "): the high score would have been kept in " + (player / scoreFile).string();
}

fs::path makeTemporaryDirectory()
{
    std::error_code failed;
    std::string pattern = (fs::temp_directory_path(failed) / temporaryPattern).string();
    return !failed && mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

} // namespace

fs::path executableDirectory()
{
    std::error_code failed;
    const fs::path executable = fs::read_symlink("/proc/self/exe", failed);
    return failed ? fs::path() : executable.parent_path();
}

fs::path gameFilesDirectory(const fs::path& executableDirectory,
                            const std::vector<std::string>& names)
{
    if (executableDirectory.empty())
        return {};
    for (const fs::path& candidate :
         {executableDirectory, (executableDirectory / installedFiles).lexically_normal()})
        if (holdsAny(candidate, names))
            return candidate;
    return {};
}

fs::path playerDirectory()
{
    fs::path data = absolutePathFrom("XDG_DATA_HOME");
    if (data.empty()) {
        const fs::path home = absolutePathFrom("HOME");
        if (home.empty())
            return {};
        data = home / ".local" / "share";
    }
    return data / gameName;
}

std::error_code linkFiles(const fs::path& files, const fs::path& directory,
                          const std::vector<std::string>& names)
{
    std::error_code failed;
    if (files.empty())
        return failed;
    for (const std::string& name : names) {
        std::error_code ignored;
        const fs::path target = fs::absolute(files / name, ignored);
        const fs::path link = directory / name;
        if (!fs::exists(target, ignored) || linksTo(link, target))
            continue;
        fs::remove(link, failed);
        if (!failed)
            fs::create_symlink(target, link, failed);
        if (failed)
            return failed;
    }
    return failed;
}

PlayDirectory::PlayDirectory(const fs::path& gameFiles, const std::vector<std::string>& names,
                             std::ostream& complaints)
{
    const fs::path player = playerDirectory();
    const std::error_code failed =
        player.empty() ? std::make_error_code(std::errc::no_such_file_or_directory)
                       : enter(player, gameFiles, names);
    if (!failed) {
        _path = player;
        return;
    }
    enterTemporaryDirectory(gameFiles, names);
    complaints << "quasaril-play: " << whyNotUsed(player, failed) << "; playing from "
               << _path.string() << (_temporary ? ", which keeps no score" : "") << '\n';
}

// Failing that too, the game plays where it was started.
void PlayDirectory::enterTemporaryDirectory(const fs::path& gameFiles,
                                            const std::vector<std::string>& names)
{
    _path = makeTemporaryDirectory();
    _temporary = !_path.empty();
    if (_temporary && enter(_path, gameFiles, names)) {
        std::error_code ignored;
        fs::remove_all(_path, ignored);
        _temporary = false;
    }
    if (!_temporary)
        _path = fs::current_path();
}

PlayDirectory::~PlayDirectory()
{
    std::error_code ignored;
    if (_temporary)
        fs::remove_all(_path, ignored);
}

} // namespace platform::playerdir

// ---------------------------------------------------------------------------
// X display

namespace platform {
namespace xdisplay {
namespace {

// Xvfb writes the display number it chose, then a line break, to this
// descriptor once it accepts clients; a loaded machine may take seconds.
constexpr int serverStartLimitMs = 30000;
// Exit statuses of the server's process when Xvfb could not be executed, as
// a shell reports them: not found, found but not runnable.
constexpr int serverNotFound = 127;
constexpr int serverNotRunnable = 126;

constexpr std::size_t cookieLength = 16;
const char cookieProtocol[] = "MIT-MAGIC-COOKIE-1";
char noText[] = "";

pid_t serverPid = -1;
xcb_connection_t* heldConnection = nullptr;

void stopServer()
{
    kill(serverPid, SIGTERM);
    int ignored = 0;
    waitpid(serverPid, &ignored, 0);
}

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// An authority file that admits the holder of a fresh random cookie to any
// display: the server reads it through -auth, the game's connections through
// XAUTHORITY. It lives in memory only, behind a descriptor that is closed on
// exec, so nothing is left on disk whatever ends the process, and no other
// process can connect.
int cookieFile()
{
    char cookie[cookieLength];
    if (getrandom(cookie, sizeof cookie, 0) != static_cast<ssize_t>(sizeof cookie))
        return -1;
    const int fd = memfd_create("quasaril-xauthority", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    Xauth entry{};
    entry.family = FamilyWild; // any host; with no number given, any display
    entry.address = noText;
    entry.number = noText;
    entry.name = const_cast<char*>(cookieProtocol);
    entry.name_length = sizeof cookieProtocol - 1;
    entry.data = cookie;
    entry.data_length = sizeof cookie;
    FILE* file = fdopen(dup(fd), "w");
    const bool written = file && XauWriteAuth(file, &entry) == 1;
    if ((file && std::fclose(file) != 0) || !written) {
        close(fd);
        return -1;
    }
    return fd;
}

[[noreturn]] void runServer(pid_t parent, int numberOut, int cookies)
{
    // The server goes when this process's parent goes, even by SIGKILL; if
    // the parent died before the request took hold, it goes at once.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
        _exit(EXIT_FAILURE);
    const int quiet = open("/dev/null", O_RDWR);
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(quiet, stream);
    fcntl(numberOut, F_SETFD, 0);
    fcntl(cookies, F_SETFD, 0);
    execlp("Xvfb", "Xvfb", "-displayfd", std::to_string(numberOut).c_str(), "-auth",
           descriptorPath(cookies).c_str(), "-nolisten", "tcp", "-noreset",
           static_cast<char*>(nullptr));
    _exit(errno == ENOENT ? serverNotFound : serverNotRunnable);
}

// The number the server wrote, or nothing if it ended or missed the limit.
std::string displayNumber(int numberIn)
{
    std::string text;
    pollfd wanted{numberIn, POLLIN, 0};
    while (text.find('\n') == std::string::npos &&
           poll(&wanted, 1, serverStartLimitMs) > 0) {
        char buffer[16];
        const ssize_t got = read(numberIn, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    const auto end = text.find('\n');
    return end == std::string::npos ? std::string() : text.substr(0, end);
}

PrivateServer reasonForNoStart(pid_t server)
{
    kill(server, SIGKILL); // it may still be running, past the time limit
    int status = 0;
    waitpid(server, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == serverNotFound)
        return PrivateServer::NotInstalled;
    return PrivateServer::FailedToStart;
}

} // namespace

bool usable()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool connected = xcb_connection_has_error(connection) == 0;
    if (connected && !heldConnection)
        heldConnection = connection;
    else
        xcb_disconnect(connection);
    return connected;
}

std::string setting()
{
    const char* value = std::getenv("DISPLAY");
    return value ? "DISPLAY=\"" + std::string(value) + "\"" : "DISPLAY is not set";
}

PrivateServer startPrivateServer()
{
    const int cookies = cookieFile();
    int number[2];
    if (cookies < 0 || pipe2(number, O_CLOEXEC) != 0)
        return PrivateServer::FailedToStart;
    const pid_t parent = getpid();
    const pid_t server = fork();
    if (server == 0)
        runServer(parent, number[1], cookies);
    close(number[1]);
    const std::string display = server > 0 ? displayNumber(number[0]) : std::string();
    close(number[0]);
    if (server < 0)
        return PrivateServer::FailedToStart;
    if (display.empty())
        return reasonForNoStart(server);

    serverPid = server;
    std::atexit(stopServer);
    setenv("DISPLAY", (":" + display).c_str(), 1);
    // The cookie descriptor stays open for the life of the process: every
    // new connection reads it.
    setenv("XAUTHORITY", descriptorPath(cookies).c_str(), 1);
    return usable() ? PrivateServer::Started : PrivateServer::FailedToStart;
}

} // namespace xdisplay
} // namespace platform
