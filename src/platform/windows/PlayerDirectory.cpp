#include "platform/PlayerDirectory.h"

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
    if (!data.is_absolute())
        return Failure("LOCALAPPDATA is not an absolute path, so there is no player's directory "
                       "to keep the high score in");
    directory = data / gameName;
    return {};
}

Failure placeGameFiles(const fs::path& files, const fs::path& directory,
                       const std::vector<std::string>& names)
{
    return copyFiles(files, directory, names);
}

} // namespace platform::playerdir
