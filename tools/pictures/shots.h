// The shots: the player's plain shot, the torpedo bolt and the virus, each
// on the shared shot canvas the game needs, and the brains' drop of slime.
#pragma once

#include <SFML/Graphics/Image.hpp>

namespace pictures {

// The plain shot's own art, without the canvas, for the splash screen.
sf::Image playerShot();

sf::Image plainShotPicture();
sf::Image boltPicture();
sf::Image virusPicture();

sf::Image brainShot();

} // namespace pictures
