#pragma once

// The player's directory. The game reads every file by name from its working
// directory and keeps "HighScore.txt" there; the front end plays in a
// directory of the player's own that holds the game's files, linked where
// the system makes links, copied where it cannot.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Failure.h"

namespace platform::playerdir {

// The directory of the running executable.
Failure executableDirectory(std::filesystem::path& directory);

// Where the game's files lie: beside the executable (a build's run
// directory, or the unpacked Windows zip), or, installed, in
// ../share/games/quasaril from it. The first that holds any of the named
// files; empty if neither does, or the executable cannot be found: the game
// then reads its files where it plays, and says which are missing.
std::filesystem::path gameFilesDirectory(const std::vector<std::string>& names);

// The player's own directory: $XDG_DATA_HOME/quasaril, or
// ~/.local/share/quasaril when XDG_DATA_HOME is not an absolute path; on
// Windows %LOCALAPPDATA%\Quasaril. Fails where the variables give none.
Failure playerDirectory(std::filesystem::path& directory);

// Whether `directory` is the player's directory, however it is reached: by a
// link, or on Windows by another drive letter for the same folder.
Failure isPlayersDirectory(const std::filesystem::path& directory, bool& is);

// Whether two paths name the same file or directory: the same volume and
// the same file there, whatever the way to it.
Failure sameFile(const std::filesystem::path& one, const std::filesystem::path& other, bool& same);

// Makes `directory` hold each named file that exists in `files`: a link to
// it, or, on Windows and where links cannot be made (a FAT stick, some
// network mounts), a copy (see copyFiles). A link that points right, or a
// copy with the same bytes, is left alone, anything else of that name
// replaced. Another game doing the same at
// the same moment is no failure. Returns the first failure.
Failure placeGameFiles(const std::filesystem::path& files, const std::filesystem::path& directory,
                       const std::vector<std::string>& names);

// True when `copy` is a regular file, or a link to one, with the bytes of
// `original`.
bool sameBytes(const std::filesystem::path& original, const std::filesystem::path& copy);

// Makes `directory` hold a copy of each named file that exists in `files`: a
// copy with the same bytes is left alone, anything else of that name
// replaced by a fresh copy that takes its place whole, so another game
// reading it meanwhile sees the old file or the new one. A copy counts only
// with every byte in it. Tries every file; returns the first failure.
Failure copyFiles(const std::filesystem::path& files, const std::filesystem::path& directory,
                  const std::vector<std::string>& names);

// The directory the game plays in, entered for the object's lifetime: the
// player's directory, made if needed and holding the game's files. If that
// cannot be made, one line on `complaints` says why and where the score would
// have been kept, and a temporary directory is used instead, removed again
// however the process ends (see GameEnd.h). Where some of the game's files
// there cannot be replaced (another game holds them open, the drive is full)
// but each is there, the game plays with them, and one line says why.
class PlayDirectory {
public:
    PlayDirectory(const std::filesystem::path& gameFiles, const std::vector<std::string>& names,
                  std::ostream& complaints);
    ~PlayDirectory();
    PlayDirectory(const PlayDirectory&) = delete;
    PlayDirectory& operator=(const PlayDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }
    bool temporary() const { return _temporary; }
    // Where a file the game writes outlasts it: the play directory, or the
    // one a temporary play directory lies in.
    std::filesystem::path lasting() const { return _temporary ? _path.parent_path() : _path; }

private:
    void enterTemporaryDirectory(const std::filesystem::path& gameFiles,
                                 const std::vector<std::string>& names);

    std::filesystem::path _path;
    bool _temporary = false;
};

} // namespace platform::playerdir
