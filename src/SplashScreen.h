#pragma once

#include <SFML/Graphics.hpp>

// The opening picture; waits for a key, a mouse button or a close request.
class SplashScreen {
public:
    void Show(sf::RenderWindow& renderWindow);
};
