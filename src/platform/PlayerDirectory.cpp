#include "platform/PlayerDirectory.h"

#include "platform/GameEnd.h"
#include "platform/HighScoreFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>

// What every system shares: where the game's files are, the copies, and the
// choice between the player's directory and a temporary one.
namespace platform::playerdir {
namespace {

namespace fs = std::filesystem;

// Installed, the executables lie in games/ and the game's files in
// share/games/quasaril of the same prefix.
constexpr const char* installedFiles = "../share/games/quasaril";
constexpr const char* temporaryPattern = "quasaril-XXXXXX";
constexpr const char* draftMark = ".copy-"; // a copy on its way in, then a random number

bool holdsAny(const fs::path& directory, const std::vector<std::string>& names)
{
    std::error_code ignored;
    for (const std::string& name : names)
        if (fs::exists(directory / name, ignored))
            return true;
    return false;
}

std::string readWhole(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Copies the file to a draft beside the copy's place, then moves the draft
// over whatever has the copy's name.
Failure copyInPlace(const fs::path& original, const fs::path& copy)
{
    fs::path draft = copy;
    draft += draftMark + std::to_string(std::random_device()());
    std::error_code failed;
    fs::copy_file(original, draft, fs::copy_options::overwrite_existing, failed);
    if (failed)
        return Failure::of("copy " + original.u8string() + " to " + draft.u8string(), failed);
    fs::rename(draft, copy, failed);
    if (!failed)
        return {};
    fs::remove(draft, failed);
    return Failure::of("replace " + copy.u8string(), failed);
}

// Why the directory cannot be made: the first part of its path that is not
// a directory, else the error as it is.
Failure whyNoDirectory(const fs::path& directory, const std::error_code& failed)
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
            return Failure(part.u8string() + " is a symbolic link to " +
                           fs::read_symlink(part, unreadable).u8string() +
                           ", which does not exist");
        if (fs::exists(followed))
            return Failure(part.u8string() + " is not a directory");
    }
    return Failure::of(failed);
}

// Makes the directory, places the game's files in it and enters it.
Failure enter(const fs::path& directory, const fs::path& gameFiles,
              const std::vector<std::string>& names)
{
    std::error_code failed;
    fs::create_directories(directory, failed);
    if (failed)
        return whyNoDirectory(directory, failed);
    if (Failure placing = placeGameFiles(gameFiles, directory, names))
        return placing;
    fs::current_path(directory, failed);
    return failed ? Failure::of(failed) : Failure();
}

// Enters the player's directory, named in `player`.
Failure enterPlayers(fs::path& player, const fs::path& gameFiles,
                     const std::vector<std::string>& names)
{
    if (Failure none = playerDirectory(player))
        return none;
    const Failure problem = enter(player, gameFiles, names);
    if (!problem)
        return problem;
    return Failure("cannot use " + player.u8string() + " (" + problem.what() +
                   "): the high score would have been kept in " +
                   (player / files::highScoreFile).u8string());
}

} // namespace

fs::path gameFilesDirectory(const std::vector<std::string>& names)
{
    fs::path executable;
    if (executableDirectory(executable))
        return {};
    for (const fs::path& candidate : {executable, (executable / installedFiles).lexically_normal()})
        if (holdsAny(candidate, names))
            return candidate;
    return {};
}

// The game's files are small pictures and a font: read whole, they are
// compared in a moment.
bool sameBytes(const fs::path& original, const fs::path& copy)
{
    std::error_code unreadable;
    return fs::is_regular_file(copy, unreadable) &&
           fs::file_size(copy, unreadable) == fs::file_size(original, unreadable) && !unreadable &&
           readWhole(copy) == readWhole(original);
}

Failure copyFiles(const fs::path& files, const fs::path& directory,
                  const std::vector<std::string>& names)
{
    if (files.empty())
        return {};
    for (const std::string& name : names) {
        std::error_code ignored;
        const fs::path original = fs::absolute(files / name, ignored);
        const fs::path copy = directory / name;
        if (!fs::exists(original, ignored) || sameBytes(original, copy))
            continue;
        if (Failure failed = copyInPlace(original, copy))
            return failed;
    }
    return {};
}

PlayDirectory::PlayDirectory(const fs::path& gameFiles, const std::vector<std::string>& names,
                             std::ostream& complaints)
{
    fs::path player;
    const Failure whyNot = enterPlayers(player, gameFiles, names);
    if (!whyNot) {
        _path = player;
        return;
    }
    enterTemporaryDirectory(gameFiles, names);
    complaints << "quasaril: " << whyNot.what() << "; playing from " << _path.u8string()
               << (_temporary ? ", which keeps no score" : "") << '\n';
}

// Failing that too, the game plays where it was started.
void PlayDirectory::enterTemporaryDirectory(const fs::path& gameFiles,
                                            const std::vector<std::string>& names)
{
    // Absolute, as it is removed after the game has entered it.
    std::error_code failed;
    const fs::path temporary = fs::absolute(fs::temp_directory_path(failed) / temporaryPattern);
    _temporary = !failed && !gameend::makeDirectoryGoneAtEnd(temporary, _path);
    if (_temporary && enter(_path, gameFiles, names)) {
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
