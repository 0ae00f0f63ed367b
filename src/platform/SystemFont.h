#pragma once

// The font the game's texts are drawn in, as the system has it: the game's
// own "Arial.ttf" is a link to Liberation Sans Regular where the system
// keeps it, which an unpacked (not installed) package or another
// distribution does not match.

#include <filesystem>

#include "platform/Failure.h"

namespace platform::font {

// A font file found, or why none was.
struct FontFile {
    std::filesystem::path path;
    Failure failure;
};

// Liberation Sans Regular as the system's font configuration finds it.
FontFile liberationSans();

} // namespace platform::font
