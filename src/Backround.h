#pragma once

#include <SFML/Graphics.hpp>

// The starfield backdrop.
class Backround {
public:
    void Show(sf::RenderWindow& renderWindow);
};
