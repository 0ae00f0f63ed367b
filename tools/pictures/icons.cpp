// The desktop icons: one drawing, laid out in units of 1/64 of the icon's side.

#include "icons.h"

#include "canvas.h"
#include "sprites.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

sf::Image icon(unsigned size)
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

} // namespace

sf::Image smallIcon()
{
    return icon(unitsAcross);
}
sf::Image largeIcon()
{
    return icon(2 * unitsAcross);
}

} // namespace pictures
