// The screens that fill the 800 by 800 window: the splash screen, the main
// menu and the backdrop behind the play.
#pragma once

#include <SFML/Graphics/Image.hpp>

namespace pictures {

constexpr unsigned screenSize = 800;

sf::Image splashScreen();
sf::Image mainMenu();
sf::Image backdrop();

} // namespace pictures
