// The desktop icons: one drawing, laid out in units of 1/64 of the icon's side.

#include "icons.h"

#include "canvas.h"
#include "sprites.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace pictures {

namespace {

constexpr int unitsAcross = 64; // a unit is one pixel of the small icon

bool insideRoundedSquare(int x, int y, int size, int radius)
{
    const int cx = std::clamp(x, radius, size - 1 - radius);
    const int cy = std::clamp(y, radius, size - 1 - radius);
    return std::hypot(static_cast<float>(x - cx), static_cast<float>(y - cy)) <= radius;
}

// Night sky in a square with rounded corners, the rest clear.
void sky(sf::Image& image, int side, int radius)
{
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (insideRoundedSquare(x, y, side, radius))
                image.setPixel(x, y,
                               lerp(sf::Color(12, 6, 40), sf::Color(64, 16, 96),
                                    y / static_cast<float>(side)));
}

// Stars a unit square, clear of the rounded corners.
void stars(sf::Image& image, int side, int radius, int unit)
{
    constexpr int starCount = 14;
    constexpr std::uint32_t seed = 0x1c0;
    Dice dice(seed);
    for (int n = 0; n < starCount; ++n) {
        const int x = radius + dice.below(side - 2 * radius);
        const int y = radius + dice.below(side - 2 * radius);
        fillRect(image, x, y, unit, unit,
                 withAlpha(sf::Color::White, 0.5f + dice.below(50) / 100.f));
    }
}

sf::Image drawing(unsigned size)
{
    const int side = static_cast<int>(size);
    const int unit = side / unitsAcross;
    const int radius = side / 8; // of the rounded corners
    const int margin = 2 * unit;
    sf::Image image = blank(size, size);
    sky(image, side, radius);
    stars(image, side, radius, unit);
    // Both pictures are 20 grid cells across: the brain 20 units, the ship 40.
    placeCentred(image, plainBrainAtScale(unit), margin);
    const sf::Image hero = shipAtScale(2 * unit);
    placeCentred(image, hero, side - margin - static_cast<int>(hero.getSize().y));
    return image;
}

// Each pixel the mean of a square of `factor` by `factor` pixels, its
// colour weighted by alpha, so clear pixels darken no edge.
sf::Image shrunk(const sf::Image& large, unsigned factor)
{
    const unsigned side = large.getSize().x / factor;
    const unsigned area = factor * factor;
    sf::Image small = blank(side, side);
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            unsigned r = 0, g = 0, b = 0, a = 0;
            for (unsigned dy = 0; dy < factor; ++dy)
                for (unsigned dx = 0; dx < factor; ++dx) {
                    const sf::Color c = large.getPixel(x * factor + dx, y * factor + dy);
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            if (a > 0)
                small.setPixel(
                    x, y,
                    sf::Color(static_cast<sf::Uint8>(r / a), static_cast<sf::Uint8>(g / a),
                              static_cast<sf::Uint8>(b / a), static_cast<sf::Uint8>(a / area)));
        }
    return small;
}

} // namespace

// Drawn where a unit is a whole number of pixels (48 at 192, then shrunk
// four times), and smaller sides shrunk from the smallest drawing.
sf::Image icon(unsigned side)
{
    const unsigned drawn = std::lcm(side, static_cast<unsigned>(unitsAcross));
    return drawn == side ? drawing(side) : shrunk(drawing(drawn), drawn / side);
}

} // namespace pictures
