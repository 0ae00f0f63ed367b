// The desktop icons, from 16 to 256 pixels square: a brain above the ship on
// a rounded square of night sky.
#pragma once

#include <SFML/Graphics/Image.hpp>

namespace pictures {

sf::Image icon(unsigned side);

} // namespace pictures
