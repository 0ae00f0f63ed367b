#pragma once

// The player's directory. The game reads every file by name from its working
// directory and keeps "HighScore.txt" there; the front end plays in a
// directory of the player's own that links to the game's files.

#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace platform::playerdir {

// The directory of the running executable; empty if it cannot be read.
std::filesystem::path executableDirectory();

// Where the game's files lie: beside the executable (a build's run
// directory), or, installed, in ../share/games/quasaril from it. The first
// that holds any of the named files; empty if neither does.
std::filesystem::path gameFilesDirectory(const std::filesystem::path& executableDirectory,
                                         const std::vector<std::string>& names);

// $XDG_DATA_HOME/quasaril, or ~/.local/share/quasaril when XDG_DATA_HOME is
// not an absolute path; empty when there is no home directory either.
std::filesystem::path playerDirectory();

// What stopped the linking: the entry that could not be made a link, and
// why; false when nothing did.
struct LinkFailure {
    std::filesystem::path entry;
    std::error_code error;
    explicit operator bool() const { return static_cast<bool>(error); }
};

// Makes `directory` hold a link to each named file that exists in `files`: a
// link that points right is left alone, anything else of that name replaced.
// Another game doing the same at the same moment is no failure. Stops at the
// first failure and returns it.
LinkFailure linkFiles(const std::filesystem::path& files, const std::filesystem::path& directory,
                      const std::vector<std::string>& names);

// The directory the game plays in, entered for the object's lifetime: the
// player's directory, made if needed and linked to the game's files. If that
// cannot be made, one line on `complaints` says why and where the score would
// have been kept, and a temporary directory is used instead, removed again
// however the process ends (see GameEnd.h).
class PlayDirectory {
public:
    PlayDirectory(const std::filesystem::path& gameFiles, const std::vector<std::string>& names,
                  std::ostream& complaints);
    ~PlayDirectory();
    PlayDirectory(const PlayDirectory&) = delete;
    PlayDirectory& operator=(const PlayDirectory&) = delete;

    const std::filesystem::path& path() const { return _path; }
    bool temporary() const { return _temporary; }

private:
    void enterTemporaryDirectory(const std::filesystem::path& gameFiles,
                                 const std::vector<std::string>& names);

    std::filesystem::path _path;
    bool _temporary = false;
};

} // namespace platform::playerdir
