#pragma once

#include <SFML/Graphics.hpp>
#include <string>

#include "TestSupport.h"

// Writes a small single-colour PNG into the working directory, for tests that
// need an object with a picture of a known size and colour.
inline void writeTestPicture(const std::string& name, unsigned width = 8, unsigned height = 8,
                             sf::Color colour = sf::Color::Red)
{
    sf::Image image;
    image.create(width, height, colour);
    image.saveToFile(name);
}

// How many pixels inside the area have exactly the given colour.
inline int countPixels(const sf::Image& image, sf::IntRect area, sf::Color colour)
{
    int count = 0;
    for (int y = area.top; y < area.top + area.height; ++y)
        for (int x = area.left; x < area.left + area.width; ++x)
            if (image.getPixel(static_cast<unsigned>(x), static_cast<unsigned>(y)) == colour)
                ++count;
    return count;
}

// Opens the game window if needed and clears it to black.
inline void clearGameWindow()
{
    openGameWindow();
    Quasaril::_mainWindow.clear(sf::Color::Black);
}
