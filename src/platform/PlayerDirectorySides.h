#pragma once

// What the two sides of the player's directory share, beside
// PlayerDirectory.cpp: each system's part (posix/PlayerDirectory.cpp,
// windows/PlayerDirectory.cpp) and the copies both make.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Failure.h"

namespace platform::playerdir {

// The directory of the running executable.
Failure executableDirectory(std::filesystem::path& directory);

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

// Whether `copy` is a regular file, or a link to one, with the bytes of
// `original`: a missing copy has not. Fails where either cannot be read.
Failure sameBytes(const std::filesystem::path& original, const std::filesystem::path& copy,
                  bool& same);

// Makes `directory` hold a copy of each named file that exists in `files`: a
// copy with the same bytes is left alone, anything else of that name
// replaced by a fresh copy that takes its place whole, so another game
// reading it meanwhile sees the old file or the new one. A copy counts only
// with every byte in it. Tries every file; returns the first failure.
Failure copyFiles(const std::filesystem::path& files, const std::filesystem::path& directory,
                  const std::vector<std::string>& names);

} // namespace platform::playerdir
