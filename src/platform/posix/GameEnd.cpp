#include "platform/GameEnd.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <system_error>
#include <unistd.h>

namespace platform::gameend {
namespace {

constexpr int stopSignals[] = {SIGTERM, SIGHUP, SIGINT};
constexpr std::size_t listingBytes = 4096;
const char* const alreadyHeld = "a temporary directory is held already";
const char* const notRemovedAtExit = "its removal at exit could not be arranged";

// The directory to remove, kept where a signal handler can reach it: its
// path, and a descriptor of it, published last.
char heldPath[PATH_MAX];
std::atomic<int> heldDirectory{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
volatile std::sig_atomic_t stopStatus = EXIT_SUCCESS;
pthread_t mainThread; // the one that plays, and writes the directory

sigset_t stopSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : stopSignals)
        sigaddset(&set, signal);
    return set;
}

// Holds the stop signals back on this thread for the object's lifetime; one
// that comes meanwhile is handled at its end.
class StopSignalsHeld {
public:
    StopSignalsHeld()
    {
        const sigset_t stops = stopSet();
        pthread_sigmask(SIG_BLOCK, &stops, &_before);
    }
    ~StopSignalsHeld() { pthread_sigmask(SIG_SETMASK, &_before, nullptr); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;

private:
    sigset_t _before;
};

// Everything below uses system calls only, so the signal handler may run it.

// Unlinks every entry of the directory but its subdirectories ("." and ".."
// among them), which refuse and stay: the links to the game's files, the
// score file and any draft of it left half made.
void unlinkEntries(int directory)
{
    alignas(dirent64) char listing[listingBytes];
    lseek(directory, 0, SEEK_SET);
    for (ssize_t got; (got = getdents64(directory, listing, sizeof listing)) > 0;)
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(listing + at);
            unlinkat(directory, entry->d_name, 0);
            at += entry->d_reclen;
        }
}

// Async-signal-safe. False, with errno set, where the directory is left.
bool removeHeldDirectory()
{
    const int directory = heldDirectory.exchange(-1);
    if (directory < 0)
        return true;
    unlinkEntries(directory);
    close(directory);
    return rmdir(heldPath) == 0;
}

void removeAtExit()
{
    static_cast<void>(removeNow());
}

// Whatever the signal interrupted is left as it is: the score is saved
// whenever it rises, and what lasts of a closed window is the removed
// directory.
// The graphics driver's threads pass the signal on to the main thread, so
// that no save goes on beside the removal.
extern "C" void endOnStop(int signal)
{
    if (!pthread_equal(pthread_self(), mainThread)) {
        pthread_kill(mainThread, signal);
        return;
    }
    removeHeldDirectory();
    _exit(stopStatus);
}

} // namespace

Failure endOnStopSignals(int status)
{
    stopStatus = status;
    mainThread = pthread_self();
    struct sigaction ending {};
    ending.sa_handler = endOnStop;
    ending.sa_mask = stopSet();   // one stop at a time
    ending.sa_flags = SA_RESTART; // for the threads that pass it on
    for (const int signal : stopSignals) {
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) != 0 ||
            (before.sa_handler != SIG_IGN && sigaction(signal, &ending, nullptr) != 0))
            return Failure::of(std::string("catch SIG") + sigabbrev_np(signal),
                               std::error_code(errno, std::generic_category()));
    }
    return {};
}

Failure makeDirectoryGoneAtEnd(const std::filesystem::path& patternPath,
                               std::filesystem::path& directory)
{
    std::string pattern = patternPath.native();
    // Registered in main, after the game's objects are built, so it runs
    // before they are destroyed.
    static const bool removedAtExit = std::atexit(removeAtExit) == 0;
    const StopSignalsHeld held;
    if (!removedAtExit || heldDirectory.load() >= 0)
        return Failure(removedAtExit ? alreadyHeld : notRemovedAtExit);
    if (pattern.size() >= sizeof heldPath)
        return Failure::of("make " + pattern, std::make_error_code(std::errc::filename_too_long));
    if (!mkdtemp(pattern.data()))
        return Failure::of("make " + pattern, std::error_code(errno, std::generic_category()));
    const int opened = open(pattern.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (opened < 0) {
        const std::error_code error(errno, std::generic_category());
        rmdir(pattern.c_str());
        return Failure::of("open " + pattern, error);
    }
    std::memcpy(heldPath, pattern.c_str(), pattern.size() + 1);
    heldDirectory.store(opened);
    directory = pattern;
    return {};
}

Failure removeNow()
{
    const StopSignalsHeld held;
    const std::string path = heldPath;
    if (removeHeldDirectory())
        return {};
    return Failure::of("remove " + path, std::error_code(errno, std::generic_category()));
}

} // namespace platform::gameend
