#pragma once

// The high-score file: the start of a small text file read, and its text
// replaced whole, safely.

#include <cstddef>
#include <fstream>
#include <string>

namespace platform {
namespace files {

// The high-score file's name, in the game's working directory.
constexpr const char* highScoreFile = "HighScore.txt";

// How much of a file is read: the longest number the game writes has under
// fifty characters; the rest leaves room for space a player typed before it.
constexpr std::size_t readLimit = 4096;

enum class Kind {
    missing,  // no such name (a dangling symbolic link included)
    regular,  // a regular file, its start read into `text`
    untouched // anything else, or a file that cannot be read: never read nor written
};

struct Contents {
    Kind kind;
    std::string text;
    bool cut = false; // the file may go on after `text`
    std::string whyUntouched;
};

// Reads the start of the file a name stands for, at most readLimit bytes,
// following symbolic links where locate() does (FilePlace.h). Never blocks:
// a directory, named pipe, socket or device is reported untouched unread.
Contents readStart(const char* name);

// Replaces the text of the regular file a name stands for, or creates it.
// Symbolic links are followed where locate() does and stay links; a file
// that cannot be opened for writing, or that is not a regular file, is left
// as it is. The new text goes into a fresh draft beside the file, with the
// file's permission bits, owner and group, which then takes the file's
// place: the file holds the old or the new text at every moment. The file is
// rewritten in place where no such draft can be made (a read-only directory,
// an owner root alone could give) and where it has other names (hard links),
// which then all see the new text. Returns why the text could not be
// written, or an empty string when it was.
std::string replaceWhole(const char* name, const std::string& text);

// A stream that truncates and writes the file, opened only where that cannot
// wait forever: on a regular file or a new one. On a named pipe, device or
// directory of that name the stream is not open and writes nothing.
std::ofstream openTruncated(const char* name);

} // namespace files
} // namespace platform
