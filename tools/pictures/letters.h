// The pixel letters: words written in a 5 by 7 block capital font, shaded
// from top to bottom, with a dark drop shadow.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <string>

namespace pictures {

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = glyphWidth + 1; // a clear column between letters

struct TextStyle {
    int scale;        // each font cell is scale by scale pixels
    sf::Color top;    // the letters' top row
    sf::Color bottom; // their bottom row; the rows between are mixed
    int shadow;       // offset of the shadow in pixels, 0 for none
};

// The width in pixels of the text written at that scale.
int textWidth(const std::string& text, int scale);

// Writes the text with its top-left corner at (x, y). The font has the
// capitals but J and Z, and the space; any other character throws
// std::logic_error.
void drawText(sf::Image& image, const std::string& text, int x, int y, const TextStyle& style);

// Writes the text in the middle of the picture's width, its top at y.
void drawCentredText(sf::Image& image, const std::string& text, int y, const TextStyle& style);

} // namespace pictures
