// The desktop icons, 64 and 128 pixels square: a brain above the ship on a
// rounded square of night sky.
#pragma once

#include <SFML/Graphics/Image.hpp>

namespace pictures {

sf::Image smallIcon();
sf::Image largeIcon();

} // namespace pictures
