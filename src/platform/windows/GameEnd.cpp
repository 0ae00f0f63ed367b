#include "platform/GameEnd.h"

#include <cstdlib>
#include <mutex>
#include <utility>
#include <random>
#include <vector>
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
constexpr int makeTries = 100;                   // names taken already are skipped
constexpr const wchar_t* claimedMark = L".gone"; // a stale directory on its way out
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

Failure removeHeldDirectory()
{
    const std::lock_guard<std::mutex> lock(held);
    if (heldDirectory.empty())
        return {};
    leave(heldDirectory);
    std::error_code failed;
    fs::remove_all(heldDirectory, failed);
    const fs::path removed = std::exchange(heldDirectory, {});
    return failed ? Failure::of("remove " + removed.u8string(), failed) : Failure();
}

void removeAtExit()
{
    static_cast<void>(removeHeldDirectory());
}

BOOL WINAPI endOnStop(DWORD)
{
    static_cast<void>(removeHeldDirectory());
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

// Whether the name is the pattern filled in, or such a name claimed.
bool madeFrom(const std::wstring& name, const std::wstring& pattern)
{
    const std::size_t stem = pattern.size() - patternLength;
    const std::wstring rest = name.size() > pattern.size() ? name.substr(pattern.size()) : L"";
    return name.size() >= pattern.size() && name.compare(0, stem, pattern, 0, stem) == 0 &&
           (rest.empty() || rest == claimedMark);
}

// Removes the directories that earlier games made from the pattern and
// left: a game killed, or one whose files were still open as it ended. A
// game still playing in one has it as its working directory, which Windows
// will not let be renamed: each is claimed by a rename before it goes.
void removeStale(const fs::path& pattern)
{
    std::vector<fs::path> stale;
    std::error_code ignored;
    for (const fs::directory_entry& entry : fs::directory_iterator(pattern.parent_path(), ignored))
        if (madeFrom(entry.path().filename().native(), pattern.filename().native()) &&
            entry.is_directory(ignored))
            stale.push_back(entry.path());
    for (const fs::path& directory : stale) {
        fs::path claimed = directory;
        if (directory.extension() != claimedMark) {
            claimed += claimedMark;
            if (!MoveFileW(directory.c_str(), claimed.c_str()))
                continue;
        }
        fs::remove_all(claimed, ignored);
    }
}

} // namespace

Failure endOnStopSignals(int status)
{
    stopStatus = status;
    return SetConsoleCtrlHandler(endOnStop, TRUE) ? Failure()
                                                  : windows::lastError("catch the console's stops");
}

Failure makeDirectoryGoneAtEnd(const fs::path& pattern, fs::path& directory)
{
    // Registered in main, after the game's objects are built, so it runs
    // before they are destroyed.
    static const bool removedAtExit = std::atexit(removeAtExit) == 0;
    const std::lock_guard<std::mutex> lock(held);
    if (!removedAtExit || !heldDirectory.empty())
        return Failure(removedAtExit ? alreadyHeld : notRemovedAtExit);
    const std::wstring& wanted = pattern.native();
    if (wanted.size() < patternLength ||
        wanted.compare(wanted.size() - patternLength, patternLength, patternEnd) != 0)
        return Failure("the pattern " + pattern.u8string() + " does not end in XXXXXX");
    removeStale(pattern);
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

Failure removeNow()
{
    return removeHeldDirectory();
}

} // namespace platform::gameend
