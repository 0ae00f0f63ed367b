#pragma once

// The high-score file: small text files read and replaced whole, safely.

#include <fstream>
#include <string>

namespace platform {
namespace files {

enum class Kind {
    missing,  // no such name (a dangling symbolic link included)
    regular,  // a regular file, read whole into `text`
    untouched // anything else, or a file that cannot be read: never read nor written
};

struct Contents {
    Kind kind;
    std::string text;
};

// Reads the file a name stands for, following symbolic links. Never blocks:
// a directory, named pipe, socket or device is reported untouched unread.
Contents readWhole(const char* name);

// Replaces the text of the regular file a name stands for, or creates it.
// Symbolic links are followed and stay links; a file that cannot be opened
// for writing, or that is not a regular file, is left as it is. The new text
// goes into a fresh draft beside the file, with the file's permission bits,
// which then takes the file's place: the file holds the old or the new text
// at every moment. Where no draft can be made (a read-only directory) the
// file is rewritten in place. Returns whether the text was written.
bool replaceWhole(const char* name, const std::string& text);

// A stream that truncates and writes the file, opened only where that cannot
// wait forever: on a regular file or a new one. On a named pipe, device or
// directory of that name the stream is not open and writes nothing.
std::ofstream openTruncated(const char* name);

} // namespace files
} // namespace platform
