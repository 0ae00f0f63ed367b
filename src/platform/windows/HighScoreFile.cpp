#include "platform/HighScoreFile.h"

#include <algorithm>
#include <filesystem>
#include <random>
#include <utility>
#include <windows.h>

#include "platform/windows/SystemText.h"

// The high-score file on Windows. A symbolic link or junction of that name is
// never followed: making one takes a privilege players rarely have, and
// nothing tells here whose it is.
namespace platform::files {
namespace {

namespace fs = std::filesystem;

const char* const notRegular = "not a regular file";
const char* const linkNotFollowed = "a symbolic link, not followed";
constexpr int draftTries = 10; // names taken in advance are skipped
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A save takes far less: a draft older than its own by this much (in the
// file times' tenths of a microsecond) was left by a game ended while
// saving, never one that another game is writing.
constexpr ULONGLONG staleDraftAge = 60ULL * 10000000ULL;

// An open handle, closed when it goes.
class Handle {
public:
    explicit Handle(HANDLE handle) : _handle(handle) {}
    ~Handle() { close(); }
    Handle(Handle&& other) noexcept : _handle(std::exchange(other._handle, INVALID_HANDLE_VALUE)) {}
    Handle& operator=(Handle&&) = delete;

    HANDLE get() const { return _handle; }
    explicit operator bool() const { return _handle != INVALID_HANDLE_VALUE; }
    // Closes now; false when the close failed (GetLastError says why).
    bool close()
    {
        const HANDLE handle = std::exchange(_handle, INVALID_HANDLE_VALUE);
        return handle == INVALID_HANDLE_VALUE || CloseHandle(handle);
    }

private:
    HANDLE _handle;
};

std::wstring widePath(const char* name)
{
    return fs::u8path(name).wstring();
}

bool missing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// What the name is: nothing (a missing file, `exists` false), a regular
// file, or what makes it left alone.
Failure lookAt(const std::wstring& path, bool& exists)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists)
        return missing(GetLastError()) ? Failure() : windows::lastError();
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return Failure(linkNotFollowed);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return Failure(notRegular);
    return {};
}

Handle open(const std::wstring& path, DWORD access, DWORD disposition)
{
    return Handle(CreateFileW(path.c_str(), access, shareAll, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// A disk file, not a device or pipe opened by a name such as "CON".
Failure onDisk(const Handle& file)
{
    return GetFileType(file.get()) == FILE_TYPE_DISK ? Failure() : Failure(notRegular);
}

Failure writeAll(const Handle& file, const std::string& text)
{
    DWORD written = 0;
    const bool whole =
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    return whole ? Failure() : windows::lastError();
}

// A fresh draft beside the file, made exclusively: a name planted in advance
// is skipped, never written through.
Handle makeDraft(const std::wstring& path, std::wstring& draft)
{
    std::random_device random;
    for (int tries = 0; tries < draftTries; ++tries) {
        draft = path + L"." + std::to_wstring(random());
        Handle made = open(draft, GENERIC_WRITE, CREATE_NEW);
        if (made || GetLastError() != ERROR_FILE_EXISTS)
            return made;
    }
    return Handle(INVALID_HANDLE_VALUE);
}

ULONGLONG ticks(const FILETIME& time)
{
    return ULONGLONG(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

// A name of the drafts of this file: its own name, a dot and digits.
bool isDraftOf(const std::wstring& file, const std::wstring& entry)
{
    const std::size_t digits = file.size() + 1;
    return entry.size() > digits && entry.compare(0, file.size(), file) == 0 &&
           entry[file.size()] == L'.' &&
           std::all_of(entry.begin() + digits, entry.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Removes the drafts of the file that games ended while saving left behind:
// plain files of a draft's name, staleDraftAge older than this save's own.
void clearStaleDrafts(const std::wstring& path, const FILETIME& ownDraftTime)
{
    const fs::path file(path);
    const std::wstring name = file.filename().wstring();
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    constexpr DWORD notPlain = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    do
        if (isDraftOf(name, found.cFileName) && !(found.dwFileAttributes & notPlain) &&
            ticks(found.ftLastWriteTime) + staleDraftAge < ticks(ownDraftTime))
            DeleteFileW((file.parent_path() / found.cFileName).c_str());
    while (FindNextFileW(search, &found));
    FindClose(search);
}

// Writes the text into a draft that then takes the file's place: the file
// holds the old or the new text at every moment. No flush to the disk, as on
// other systems: the score can rise in every frame.
Failure saveThroughDraft(const std::wstring& path, const std::string& text, bool& noDraft)
{
    std::wstring draftPath;
    Handle draft = makeDraft(path, draftPath);
    noDraft = !draft && GetLastError() == ERROR_ACCESS_DENIED;
    if (!draft)
        return windows::lastError();
    Failure failed = writeAll(draft, text);
    FILETIME written{};
    if (!failed && !GetFileTime(draft.get(), nullptr, nullptr, &written))
        failed = windows::lastError();
    if (!draft.close() && !failed)
        failed = windows::lastError();
    const bool placed =
        !failed && MoveFileExW(draftPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!failed && !placed)
        failed = windows::lastError();
    if (failed)
        DeleteFileW(draftPath.c_str());
    else
        clearStaleDrafts(path, written);
    return failed;
}

// The file has other names (hard links), which must all see the new text.
bool hasOtherNames(const std::wstring& path)
{
    const Handle file = open(path, FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    BY_HANDLE_FILE_INFORMATION information;
    return file && GetFileInformationByHandle(file.get(), &information) &&
           information.nNumberOfLinks > 1;
}

// Where no draft can be made beside it, or where other names must see the text.
Failure rewriteInPlace(const Handle& file, const std::string& text)
{
    if (SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !SetEndOfFile(file.get()))
        return windows::lastError();
    return writeAll(file, text);
}

} // namespace

Failure readStart(const char* name, Contents& contents)
{
    const std::wstring path = widePath(name);
    bool exists = false;
    if (Failure odd = lookAt(path, exists))
        return odd;
    if (!exists) {
        contents = Contents();
        return {};
    }
    const Handle file = open(path, GENERIC_READ, OPEN_EXISTING);
    if (!file)
        return windows::lastError();
    if (Failure odd = onDisk(file))
        return odd;
    char buffer[readLimit];
    DWORD got = 0;
    for (DWORD now = 1; got < readLimit && now > 0; got += now)
        if (!ReadFile(file.get(), buffer + got, static_cast<DWORD>(readLimit - got), &now, nullptr))
            return windows::lastError();
    contents.text.assign(buffer, got);
    contents.cut = got == readLimit;
    return {};
}

Failure whyUnwritable(const char* name)
{
    const std::wstring path = widePath(name);
    bool exists = false;
    if (Failure odd = lookAt(path, exists))
        return odd;
    // Checked by itself: a process with the right to back up files (Wine's,
    // run as root) may open a read-only file for writing, and then could
    // not replace it.
    if (exists && (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY))
        return windows::because(ERROR_ACCESS_DENIED);
    if (exists) {
        const Handle file = open(path, GENERIC_WRITE, OPEN_EXISTING);
        return file ? onDisk(file) : windows::lastError();
    }
    // A file made here, gone again as it closes.
    std::wstring probe;
    const Handle made = makeDraft(path, probe);
    if (!made)
        return windows::lastError();
    DeleteFileW(probe.c_str());
    return {};
}

Failure replaceWhole(const char* name, const std::string& text)
{
    const std::wstring path = widePath(name);
    bool exists = false;
    if (Failure odd = lookAt(path, exists))
        return odd;
    bool noDraft = false;
    if (!exists)
        return saveThroughDraft(path, text, noDraft);
    if (Failure unwritable = whyUnwritable(name))
        return unwritable;
    if (!hasOtherNames(path)) {
        Failure failed = saveThroughDraft(path, text, noDraft);
        if (!noDraft)
            return failed;
    }
    const Handle file = open(path, GENERIC_WRITE, OPEN_EXISTING);
    return file ? rewriteInPlace(file, text) : windows::lastError();
}

std::ofstream openTruncated(const char* name)
{
    bool exists = false;
    if (lookAt(widePath(name), exists))
        return {};
    return std::ofstream(fs::u8path(name), std::ios::out | std::ios::trunc | std::ios::binary);
}

} // namespace platform::files
