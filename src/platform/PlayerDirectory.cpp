#include "platform/PlayerDirectory.h"

#include "platform/GameEnd.h"
#include "platform/HighScoreFile.h"
#include "platform/SystemFont.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace platform::playerdir {
namespace {

namespace fs = std::filesystem;

constexpr const char* gameName = "quasaril";
// Installed, the executables lie in games/ and the game's files in
// share/games/quasaril of the same prefix.
constexpr const char* installedFiles = "../share/games/quasaril";
constexpr const char* temporaryPattern = "quasaril-XXXXXX";
constexpr const char* fontName = "Arial.ttf";

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

// Why the directory cannot be made: the first part of its path that is not
// a directory, else the error as it is.
std::string whyNoDirectory(const fs::path& directory, const std::error_code& failed)
{
    fs::path part;
    for (const fs::path& name : directory) {
        part /= name;
        std::error_code unreadable;
        const fs::file_status itself = fs::symlink_status(part, unreadable);
        const fs::file_status followed = fs::status(part, unreadable);
        if (!fs::exists(itself) || fs::is_directory(followed))
            continue;
        if (followed.type() == fs::file_type::not_found)
            return part.string() + " is a symbolic link to " +
                   fs::read_symlink(part, unreadable).string() + ", which does not exist";
        if (fs::exists(followed))
            return part.string() + " is not a directory";
    }
    return failed.message();
}

// Replaces whatever has the link's name by a link to the target. Another game
// may make the same link between our removal and our making it: then the
// link is there as wanted.
std::error_code makeLink(const fs::path& target, const fs::path& link)
{
    std::error_code failed;
    fs::remove(link, failed);
    if (!failed)
        fs::create_symlink(target, link, failed);
    if (failed == std::errc::file_exists && linksTo(link, target))
        failed.clear();
    return failed;
}

bool isReadableFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored) && std::ifstream(path).is_open();
}

// The game's font may lead nowhere: unpacked rather than installed, the
// package's link points where the system keeps Liberation Sans, but inside
// the unpacked tree; another distribution keeps it elsewhere. The system's
// own Liberation Sans is then linked in its place.
Failure provideFont(const fs::path& directory)
{
    const fs::path entry = directory / fontName;
    if (isReadableFile(entry))
        return {};
    const font::FontFile system = font::liberationSans();
    if (system.failure)
        return system.failure;
    if (const std::error_code failed = makeLink(system.path, entry))
        return Failure::of("link " + entry.string(), failed);
    return {};
}

// Makes the directory, links the game's files into it and enters it; why
// not, or empty.
std::string enter(const fs::path& directory, const fs::path& gameFiles,
                  const std::vector<std::string>& names)
{
    std::error_code failed;
    fs::create_directories(directory, failed);
    if (failed)
        return whyNoDirectory(directory, failed);
    if (const LinkFailure link = linkFiles(gameFiles, directory, names))
        return "cannot replace " + link.entry.string() + ": " + link.error.message();
    fs::current_path(directory, failed);
    return failed ? failed.message() : std::string();
}

// Enters the player's directory; why it cannot, or empty.
std::string enterPlayers(const fs::path& player, const fs::path& gameFiles,
                         const std::vector<std::string>& names)
{
    if (player.empty())
        return "neither XDG_DATA_HOME nor HOME is an absolute path, so there is no "
               "player's directory to keep the high score in";
    const std::string problem = enter(player, gameFiles, names);
    if (problem.empty())
        return problem;
    return "cannot use " + player.string() + " (" + problem +
           "): the high score would have been kept in " + (player / files::highScoreFile).string();
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

LinkFailure linkFiles(const fs::path& files, const fs::path& directory,
                      const std::vector<std::string>& names)
{
    if (files.empty())
        return {};
    for (const std::string& name : names) {
        std::error_code ignored;
        const fs::path target = fs::absolute(files / name, ignored);
        const fs::path entry = directory / name;
        if (!fs::exists(target, ignored) || linksTo(entry, target))
            continue;
        if (const std::error_code failed = makeLink(target, entry))
            return {entry, failed};
    }
    return {};
}

PlayDirectory::PlayDirectory(const fs::path& gameFiles, const std::vector<std::string>& names,
                             std::ostream& complaints)
{
    const fs::path player = playerDirectory();
    const std::string whyNot = enterPlayers(player, gameFiles, names);
    if (whyNot.empty()) {
        _path = player;
    } else {
        enterTemporaryDirectory(gameFiles, names);
        complaints << "quasaril: " << whyNot << "; playing from " << _path.string()
                   << (_temporary ? ", which keeps no score" : "") << '\n';
    }
    // Where the game was started is the player's own: nothing is linked there.
    if (whyNot.empty() || _temporary)
        if (const Failure noFont = provideFont(_path))
            complaints << "quasaril: " << noFont.what() << "; the texts have no font\n";
}

// Failing that too, the game plays where it was started.
void PlayDirectory::enterTemporaryDirectory(const fs::path& gameFiles,
                                            const std::vector<std::string>& names)
{
    // Absolute, as it is removed after the game has entered it.
    std::error_code failed;
    const fs::path temporary = fs::absolute(fs::temp_directory_path(failed) / temporaryPattern);
    _path = failed ? fs::path() : gameend::makeDirectoryGoneAtEnd(temporary.string());
    _temporary = !_path.empty();
    if (_temporary && !enter(_path, gameFiles, names).empty()) {
        gameend::removeNow();
        _temporary = false;
    }
    if (!_temporary)
        _path = fs::current_path();
}

PlayDirectory::~PlayDirectory()
{
    if (_temporary)
        gameend::removeNow();
}

} // namespace platform::playerdir
