#pragma once

// The player's directory. The game reads every file by name from its working
// directory and keeps "HighScore.txt" there; the front end plays in a
// directory of the player's own that holds the game's files, linked where
// the system makes links, copied where it cannot. How each system does its
// part is in PlayerDirectorySides.h.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Failure.h"

namespace platform::playerdir {

// Where the game's files lie: beside the executable (a build's run
// directory, or the unpacked Windows zip), or, installed, in
// ../share/games/quasaril from it. The first that holds any of the named
// files; fails if neither does, or the executable cannot be found: the game
// then reads its files where it plays, and says which are missing.
Failure gameFilesDirectory(const std::vector<std::string>& names, std::filesystem::path& directory);

// The player's own directory: $XDG_DATA_HOME/quasaril, or
// ~/.local/share/quasaril when XDG_DATA_HOME is not an absolute path; on
// Windows %LOCALAPPDATA%\Quasaril. Fails where the variables give none.
Failure playerDirectory(std::filesystem::path& directory);

// Whether `directory` is the player's directory, however it is reached: by a
// link, or on Windows by another drive letter for the same folder.
Failure isPlayersDirectory(const std::filesystem::path& directory, bool& is);

// The directory the game plays in, entered for the object's lifetime: the
// player's directory, made if needed and holding the game's files. If that
// cannot be made, a complaint says why and where the score would have been
// kept, and a temporary directory is used instead, removed again however the
// process ends (see GameEnd.h). Where some of the game's files there cannot
// be replaced (another game holds them open, the drive is full) but each is
// there, the game plays with them, and a complaint says why.
class PlayDirectory {
public:
    PlayDirectory(const std::filesystem::path& gameFiles, const std::vector<std::string>& names);
    ~PlayDirectory();
    PlayDirectory(const PlayDirectory&) = delete;
    PlayDirectory& operator=(const PlayDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }
    bool temporary() const { return _temporary; }
    // Where a file the game writes outlasts it: the play directory, or the
    // one a temporary play directory lies in.
    std::filesystem::path lasting() const { return _temporary ? _path.parent_path() : _path; }
    // What went wrong on the way, each in words that follow "quasaril: ".
    const std::vector<Failure>& complaints() const { return _complaints; }

private:
    void enterTemporaryDirectory(const std::filesystem::path& gameFiles,
                                 const std::vector<std::string>& names);

    std::filesystem::path _path;
    bool _temporary = false;
    std::vector<Failure> _complaints;
};

} // namespace platform::playerdir
