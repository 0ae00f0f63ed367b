#include "platform/PlayerDirectory.h"
#include "platform/PlayerDirectorySides.h"

#include <cstdlib>
#include <windows.h>

#include "platform/windows/SystemText.h"

// Where the player's directory is on Windows: %LOCALAPPDATA%\Quasaril, with
// copies of the game's files, as links there need a privilege.
namespace platform::playerdir {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* gameName = L"Quasaril";
constexpr DWORD firstPathLength = MAX_PATH;
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// A drive's path (C:\...), a share's (\\host\share\...) or one with the
// \\?\ prefix; libstdc++ takes only the first for absolute.
bool isAbsolute(const std::wstring& path)
{
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]))
        return true;
    return path.size() >= 3 && path[1] == L':' && isSeparator(path[2]);
}

// Which volume and which file there: the same folder reached by another
// drive letter (subst, Wine's Z:) has the same, though its path and drive
// number differ.
Failure identity(const fs::path& path, BY_HANDLE_FILE_INFORMATION& information)
{
    const HANDLE handle = CreateFileW(path.c_str(), 0, shareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return windows::lastError("open " + path.u8string());
    const Failure unknown = GetFileInformationByHandle(handle, &information)
                                ? Failure()
                                : windows::lastError("look at " + path.u8string());
    CloseHandle(handle);
    return unknown;
}

} // namespace

Failure executableDirectory(fs::path& directory)
{
    std::wstring path(firstPathLength, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return windows::lastError("find the game's executable");
        if (length < path.size()) {
            path.resize(length);
            directory = fs::path(path).parent_path();
            return {};
        }
        path.resize(path.size() * 2); // cut short: try again with room
    }
}

Failure playerDirectory(fs::path& directory)
{
    const wchar_t* const value = _wgetenv(L"LOCALAPPDATA");
    const fs::path data = value ? value : L"";
    if (!isAbsolute(data.native()))
        return Failure("LOCALAPPDATA is not an absolute path, so there is no player's directory "
                       "to keep the high score in");
    directory = data / gameName;
    return {};
}

Failure sameFile(const fs::path& one, const fs::path& other, bool& same)
{
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    if (Failure unknown = identity(one, first))
        return unknown;
    if (Failure unknown = identity(other, second))
        return unknown;
    same = first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
    return {};
}

Failure placeGameFiles(const fs::path& files, const fs::path& directory,
                       const std::vector<std::string>& names)
{
    return copyFiles(files, directory, names);
}

} // namespace platform::playerdir
