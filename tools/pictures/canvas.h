// The canvas: what every picture is drawn with. Colours blended over pixels,
// rectangles and frames, discs and soft glows, colour mixing, pictures
// placed on and enlarged, and fixed-seed dice that scatter stars and debris
// the same way in every build. Only sf::Image: no window, no display.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <cstdint>

namespace pictures {

constexpr float fullTurn = 6.2831853f; // radians in a circle

// A transparent picture of the given size.
sf::Image blank(unsigned width, unsigned height);

// Paints c over the pixel with its alpha; pixels outside the image are skipped.
void blend(sf::Image& image, int x, int y, sf::Color c);
void fillRect(sf::Image& image, int x, int y, int w, int h, sf::Color c);
// Outline of a rectangle with a given thickness.
void frame(sf::Image& image, int x, int y, int w, int h, int thickness, sf::Color c);
void disc(sf::Image& image, float cx, float cy, float radius, sf::Color c);
// Soft round glow: alpha falls from the centre to the radius.
void glow(sf::Image& image, float cx, float cy, float radius, sf::Color c);

// The colour with its alpha set from 0 (clear) to 1 (opaque).
sf::Color withAlpha(sf::Color c, float alpha);
// The colour a fraction t of the way from one colour to the other.
sf::Color lerp(sf::Color from, sf::Color to, float t);

// Draws a picture over the target with its top-left corner at (x, y).
void placeSprite(sf::Image& target, const sf::Image& sprite, int x, int y);
// Draws a picture over the target in the middle of its width, its top at y.
void placeCentred(sf::Image& target, const sf::Image& sprite, int y);
// A picture enlarged by a whole factor, pixel for pixel.
sf::Image enlarged(const sf::Image& small, int factor);

// Fixed-seed dice: the same seed throws the same numbers in every build.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : _state(seed) {}
    // A number from 0 to n - 1.
    int below(int n);

private:
    std::uint32_t next();

    std::uint32_t _state;
};

} // namespace pictures
