#include "platform/PlayerDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>

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
    complaints << "quasaril: " << whyNotUsed(player, failed) << "; playing from "
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
