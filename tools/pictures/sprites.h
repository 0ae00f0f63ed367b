// The sprites the game moves about: the three brains, the ship, its
// explosion, the power-up and the shield bubble. The AtScale forms draw the
// same art larger or smaller, for the desktop icons.
#pragma once

#include <SFML/Graphics/Image.hpp>

namespace pictures {

sf::Image plainBrain();
sf::Image plainBrainAtScale(int scale);
sf::Image freezeBrain();
sf::Image fireBrain();

sf::Image ship();
sf::Image shipAtScale(int scale);
sf::Image explosion();

sf::Image powerUp();
sf::Image bubble();

} // namespace pictures
