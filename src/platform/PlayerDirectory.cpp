#include "platform/PlayerDirectory.h"
#include "platform/PlayerDirectorySides.h"

#include "platform/GameEnd.h"
#include "platform/HighScoreFile.h"
#include "platform/SystemFont.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

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
constexpr const char* fontName = "Arial.ttf";
constexpr std::size_t copyChunk = 64 * 1024;

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

// Copies the file into `draft`, made afresh, and checks that every byte
// arrived: on a full drive a copy can come up short with no error said on the
// way (MinGW's copy_file did so).
Failure copyWhole(const fs::path& original, const fs::path& draft)
{
    std::ifstream in(original, std::ios::binary);
    std::ofstream out(draft, std::ios::binary | std::ios::trunc);
    std::vector<char> chunk(copyChunk);
    errno = 0;
    while (in && out && (in.read(chunk.data(), copyChunk) || in.gcount() > 0))
        out.write(chunk.data(), in.gcount());
    out.close();
    const int error = errno;
    std::error_code unknown;
    const std::uintmax_t wanted = fs::file_size(original, unknown);
    const std::uintmax_t written = unknown ? 0 : fs::file_size(draft, unknown);
    if (out && !unknown && written == wanted)
        return {};
    const std::string doing = "copy " + original.u8string() + " to " + draft.u8string();
    if (error != 0)
        return Failure::of(doing, std::error_code(error, std::generic_category()));
    return Failure("cannot " + doing + ": " + std::to_string(written) + " of " +
                   std::to_string(wanted) + " bytes written");
}

// Copies the file to a draft beside the copy's place, then moves the draft
// over whatever has the copy's name.
Failure copyInPlace(const fs::path& original, const fs::path& copy)
{
    fs::path draft = copy;
    draft += draftMark + std::to_string(std::random_device()());
    Failure failed = copyWhole(original, draft);
    std::error_code notPlaced;
    if (!failed)
        fs::rename(draft, copy, notPlaced);
    if (!failed && !notPlaced)
        return {};
    std::error_code ignored;
    fs::remove(draft, ignored);
    return failed ? failed : Failure::of("replace " + copy.u8string(), notPlaced);
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

bool isReadableFile(const fs::path& path)
{
    std::error_code ignored;
    return fs::is_regular_file(path, ignored) && std::ifstream(path).is_open();
}

// The game's font may lead nowhere: unpacked rather than installed, the
// package's link points where the system keeps Liberation Sans, but inside
// the unpacked tree; another distribution keeps it elsewhere. The system's
// own Liberation Sans is then linked in its place, or copied where the file
// system makes no links.
Failure provideFont(const fs::path& directory)
{
    const fs::path entry = directory / fontName;
    if (isReadableFile(entry))
        return {};
    fs::path system;
    if (Failure none = font::liberationSans(system))
        return none;
    std::error_code failed;
    fs::remove(entry, failed);
    if (failed)
        return Failure::of("remove " + entry.u8string(), failed);
    fs::create_symlink(system, entry, failed);
    if (!failed || isReadableFile(entry)) // another game may have put it there
        return {};
    return copyInPlace(system, entry);
}

// Whether the directory holds a file of each name the game's files have: a
// copy that could not be replaced (another game holds it open, or the drive
// is full) came whole into its place, and the game plays with it.
bool holdsAll(const fs::path& directory, const fs::path& gameFiles,
              const std::vector<std::string>& names)
{
    std::error_code ignored;
    for (const std::string& name : names)
        if (fs::exists(gameFiles / name, ignored) &&
            !fs::is_regular_file(directory / name, ignored))
            return false;
    return true;
}

// Makes the directory, places the game's files in it and enters it. Where
// some could not be replaced but every one is there, it is entered, and
// `kept` says why they are as they were.
Failure enter(const fs::path& directory, const fs::path& gameFiles,
              const std::vector<std::string>& names, Failure& kept)
{
    std::error_code failed;
    fs::create_directories(directory, failed);
    if (failed)
        return whyNoDirectory(directory, failed);
    kept = placeGameFiles(gameFiles, directory, names);
    if (kept && !holdsAll(directory, gameFiles, names))
        return std::exchange(kept, Failure());
    fs::current_path(directory, failed);
    return failed ? Failure::of(failed) : Failure();
}

// Enters the player's directory, named in `player`.
Failure enterPlayers(fs::path& player, const fs::path& gameFiles,
                     const std::vector<std::string>& names, Failure& kept)
{
    if (Failure none = playerDirectory(player))
        return none;
    const Failure problem = enter(player, gameFiles, names, kept);
    if (!problem)
        return problem;
    return Failure("cannot use " + player.u8string() + " (" + problem.what() +
                   "): the high score would have been kept in " +
                   (player / files::highScoreFile).u8string());
}

} // namespace

Failure isPlayersDirectory(const fs::path& directory, bool& is)
{
    fs::path player;
    if (Failure none = playerDirectory(player))
        return none;
    return sameFile(player, directory, is);
}

Failure gameFilesDirectory(const std::vector<std::string>& names, fs::path& directory)
{
    fs::path executable;
    if (Failure unknown = executableDirectory(executable))
        return unknown;
    const fs::path installed = (executable / installedFiles).lexically_normal();
    for (const fs::path& candidate : {executable, installed})
        if (holdsAny(candidate, names)) {
            directory = candidate;
            return {};
        }
    return Failure("none of the game's files is in " + executable.u8string() + " or " +
                   installed.u8string());
}

// The game's files are small pictures and a font: read whole, they are
// compared in a moment.
Failure sameBytes(const fs::path& original, const fs::path& copy, bool& same)
{
    same = false;
    std::error_code unreadable;
    const bool regular = fs::is_regular_file(copy, unreadable);
    if (unreadable == std::errc::no_such_file_or_directory || (!unreadable && !regular))
        return {};
    const std::uintmax_t size = unreadable ? 0 : fs::file_size(original, unreadable);
    if (!unreadable)
        same = fs::file_size(copy, unreadable) == size && !unreadable &&
               readWhole(copy) == readWhole(original);
    return unreadable ? Failure::of("compare " + copy.u8string() + " with " + original.u8string(),
                                    unreadable)
                      : Failure();
}

Failure copyFiles(const fs::path& files, const fs::path& directory,
                  const std::vector<std::string>& names)
{
    if (files.empty())
        return {};
    Failure first;
    for (const std::string& name : names) {
        std::error_code ignored;
        const fs::path original = fs::absolute(files / name, ignored);
        const fs::path copy = directory / name;
        bool same = false;
        if (!fs::exists(original, ignored) || (!sameBytes(original, copy, same) && same))
            continue;
        // Another game may have put the same bytes there meanwhile.
        Failure failed = copyInPlace(original, copy);
        if (failed && !first && (sameBytes(original, copy, same) || !same))
            first = std::move(failed);
    }
    return first;
}

PlayDirectory::PlayDirectory(const fs::path& gameFiles, const std::vector<std::string>& names)
{
    fs::path player;
    Failure kept;
    const Failure whyNot = enterPlayers(player, gameFiles, names, kept);
    if (kept && !whyNot)
        _complaints.emplace_back(kept.what() + "; playing with the game's files already in " +
                                 player.u8string());
    if (!whyNot) {
        _path = player;
    } else {
        enterTemporaryDirectory(gameFiles, names);
        _complaints.emplace_back(whyNot.what() + "; playing from " + _path.u8string() +
                                 (_temporary ? ", which keeps no score" : ""));
    }
    // Where the game was started is the player's own: nothing is linked there.
    if (!whyNot || _temporary)
        if (const Failure noFont = provideFont(_path))
            _complaints.emplace_back(noFont.what() + "; the texts have no font");
}

// Failing that too, the game plays where it was started.
void PlayDirectory::enterTemporaryDirectory(const fs::path& gameFiles,
                                            const std::vector<std::string>& names)
{
    // Absolute, as it is removed after the game has entered it.
    std::error_code failed;
    const fs::path temporary = fs::absolute(fs::temp_directory_path(failed) / temporaryPattern);
    _temporary = !failed && !gameend::makeDirectoryGoneAtEnd(temporary, _path);
    Failure kept; // nothing to keep in a fresh directory
    if (_temporary && enter(_path, gameFiles, names, kept)) {
        if (Failure left = gameend::removeNow())
            _complaints.push_back(std::move(left));
        _temporary = false;
    }
    if (!_temporary)
        _path = fs::current_path();
}

// At the end of the game a directory left has no one to be told to.
PlayDirectory::~PlayDirectory()
{
    if (_temporary)
        static_cast<void>(gameend::removeNow());
}

} // namespace platform::playerdir
