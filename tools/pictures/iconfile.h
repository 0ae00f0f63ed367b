// The Windows icon file: pictures as 32-bit bitmaps with alpha in one .ico,
// which the Windows build binds into the game's executable.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>
#include <vector>

namespace pictures {

// Writes the pictures (each at most 256 pixels square) as one .ico file.
bool saveIconFile(const std::vector<sf::Image>& images, const std::string& path);

} // namespace pictures
