#include "platform/SystemFont.h"

namespace platform::font {

// The Windows build ships Liberation Sans itself, as "Arial.ttf" beside the
// game: there is no system font to look for.
Failure liberationSans(std::filesystem::path&)
{
    return Failure("cannot look for Liberation Sans on Windows: the game's own Arial.ttf is its "
                   "font");
}

} // namespace platform::font
