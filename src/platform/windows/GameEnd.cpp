#include "platform/GameEnd.h"

#include <cstdlib>
#include <mutex>
#include <random>
#include <windows.h>

#include "platform/windows/SystemText.h"

// The console's stops (Ctrl+C, Ctrl+Break, its window closed, the user
// logging off) come on a thread of their own, which removes the directory
// and ends the process. A game started without a console gets none of them.
namespace platform::gameend {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* patternEnd = L"XXXXXX";
constexpr std::size_t patternLength = 6;
constexpr wchar_t letters[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int makeTries = 100; // names taken already are skipped
const char* const alreadyHeld = "a temporary directory is held already";
const char* const notRemovedAtExit = "its removal at exit could not be arranged";

// The directory to remove, and the lock that keeps a stop from removing it
// while it is being made or removed.
std::mutex held;
fs::path heldDirectory;
int stopStatus = EXIT_SUCCESS;

// Windows keeps the working directory of a process open: the game steps out
// of the directory before it goes.
void leave(const fs::path& directory)
{
    std::error_code unknown;
    const fs::path here = fs::current_path(unknown);
    if (!unknown && here.native().rfind(directory.native(), 0) == 0)
        fs::current_path(directory.parent_path(), unknown);
}

void removeHeldDirectory()
{
    const std::lock_guard<std::mutex> lock(held);
    if (heldDirectory.empty())
        return;
    leave(heldDirectory);
    std::error_code ignored;
    fs::remove_all(heldDirectory, ignored);
    heldDirectory.clear();
}

BOOL WINAPI endOnStop(DWORD)
{
    removeHeldDirectory();
    ExitProcess(static_cast<UINT>(stopStatus));
}

// The pattern with its X's replaced by letters and digits drawn at random.
std::wstring fillIn(std::wstring pattern, std::mt19937& random)
{
    std::uniform_int_distribution<std::size_t> pick(0, std::size(letters) - 2);
    for (std::size_t at = pattern.size() - patternLength; at < pattern.size(); ++at)
        pattern[at] = letters[pick(random)];
    return pattern;
}

} // namespace

void endOnStopSignals(int status)
{
    stopStatus = status;
    SetConsoleCtrlHandler(endOnStop, TRUE);
}

Failure makeDirectoryGoneAtEnd(const fs::path& pattern, fs::path& directory)
{
    // Registered in main, after the game's objects are built, so it runs
    // before they are destroyed.
    static const bool removedAtExit = std::atexit(removeNow) == 0;
    const std::lock_guard<std::mutex> lock(held);
    if (!removedAtExit || !heldDirectory.empty())
        return Failure(removedAtExit ? alreadyHeld : notRemovedAtExit);
    const std::wstring& wanted = pattern.native();
    if (wanted.size() < patternLength ||
        wanted.compare(wanted.size() - patternLength, patternLength, patternEnd) != 0)
        return Failure("the pattern " + pattern.u8string() + " does not end in XXXXXX");
    std::mt19937 random(std::random_device{}());
    for (int tries = 0; tries < makeTries; ++tries) {
        const std::wstring made = fillIn(wanted, random);
        if (CreateDirectoryW(made.c_str(), nullptr)) {
            heldDirectory = directory = made;
            return {};
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    return windows::lastError("make " + pattern.u8string());
}

void removeNow()
{
    removeHeldDirectory();
}

} // namespace platform::gameend
