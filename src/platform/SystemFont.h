#pragma once

// The font the game's texts are drawn in, as the system has it: the game's
// own "Arial.ttf" is a link to Liberation Sans Regular where the system
// keeps it, which an unpacked (not installed) package or another
// distribution does not match.

#include <filesystem>

#include "platform/Failure.h"

namespace platform::font {

// Liberation Sans Regular as the system's font configuration finds it, or
// why none is.
Failure liberationSans(std::filesystem::path& font);

} // namespace platform::font
