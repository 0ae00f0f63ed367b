#pragma once

// The high-score file: the start of a small text file read, and its text
// replaced whole, safely.

#include <cstddef>
#include <fstream>
#include <string>

#include "platform/Failure.h"

namespace platform {
namespace files {

// The high-score file's name, in the game's working directory.
constexpr const char* highScoreFile = "HighScore.txt";

// How much of a file is read: the longest number the game writes has under
// fifty characters; the rest leaves room for space a player typed before it.
constexpr std::size_t readLimit = 4096;

// The start of the file.
struct Contents {
    std::string text; // empty where there is no such name (a dangling link included)
    bool cut = false; // the file may go on after `text`
};

// Reads the start of the file a name stands for, at most readLimit bytes.
// A symbolic link is followed only where it belongs to this process's user or
// to root (the kernel's rule for links in sticky directories): one planted by
// another user is never followed, so root cannot be made to write through
// it. Never blocks. Fails for anything but a readable regular file (a
// directory, named pipe, socket or device, another user's link), which is
// then to be left alone, never read nor written.
Failure readStart(const char* name, Contents& contents);

// Replaces the text of the regular file a name stands for, or creates it.
// Symbolic links are followed as readStart says and stay links; a file
// that cannot be opened for writing, or that is not a regular file, is left
// as it is. The new text goes into a fresh draft beside the file, with the
// file's permission bits, owner and group, which then takes the file's
// place: the file holds the old or the new text at every moment. The file is
// rewritten in place where no such draft can be made (a read-only directory,
// an owner root alone could give) and where it has other names (hard links),
// which then all see the new text. Returns why the text could not be
// written.
Failure replaceWhole(const char* name, const std::string& text);

// Why replaceWhole could not write the file, found without writing it: the
// file is opened for writing, but neither made nor truncated; a missing one
// needs a directory it can be made in.
Failure whyUnwritable(const char* name);

// A stream that truncates and writes the file, opened only where that cannot
// wait forever and through links as readStart follows them: on a regular
// file or a new one. Anywhere else the stream is not open and writes nothing.
std::ofstream openTruncated(const char* name);

} // namespace files
} // namespace platform
