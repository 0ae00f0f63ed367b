// The canvas primitives: every pixel the pictures set goes through blend().

#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace pictures {

sf::Image blank(unsigned width, unsigned height)
{
    sf::Image image;
    image.create(width, height, sf::Color::Transparent);
    return image;
}

void blend(sf::Image& image, int x, int y, sf::Color c)
{
    const sf::Vector2u size = image.getSize();
    if (x < 0 || y < 0 || x >= static_cast<int>(size.x) || y >= static_cast<int>(size.y))
        return;
    const sf::Color under = image.getPixel(x, y);
    const float a = c.a / 255.f;
    const float keep = under.a / 255.f * (1.f - a);
    const float outA = a + keep;
    auto mix = [&](sf::Uint8 top, sf::Uint8 bottom) {
        return static_cast<sf::Uint8>(std::lround((top * a + bottom * keep) / outA));
    };
    if (outA <= 0.f)
        return;
    image.setPixel(x, y,
                   sf::Color(mix(c.r, under.r), mix(c.g, under.g), mix(c.b, under.b),
                             static_cast<sf::Uint8>(std::lround(outA * 255.f))));
}

void fillRect(sf::Image& image, int x, int y, int w, int h, sf::Color c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            blend(image, i, j, c);
}

void frame(sf::Image& image, int x, int y, int w, int h, int thickness, sf::Color c)
{
    fillRect(image, x, y, w, thickness, c);
    fillRect(image, x, y + h - thickness, w, thickness, c);
    fillRect(image, x, y + thickness, thickness, h - 2 * thickness, c);
    fillRect(image, x + w - thickness, y + thickness, thickness, h - 2 * thickness, c);
}

void disc(sf::Image& image, float cx, float cy, float radius, sf::Color c)
{
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x)
            if (std::hypot(x + 0.5f - cx, y + 0.5f - cy) <= radius)
                blend(image, x, y, c);
}

void glow(sf::Image& image, float cx, float cy, float radius, sf::Color c)
{
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
            const float d = std::hypot(x - cx, y - cy) / radius;
            if (d < 1.f)
                blend(image, x, y, withAlpha(c, c.a / 255.f * (1.f - d) * (1.f - d)));
        }
}

sf::Color withAlpha(sf::Color c, float alpha)
{
    c.a = static_cast<sf::Uint8>(std::clamp(alpha, 0.f, 1.f) * 255.f);
    return c;
}

sf::Color lerp(sf::Color from, sf::Color to, float t)
{
    auto mix = [t](sf::Uint8 p, sf::Uint8 q) {
        return static_cast<sf::Uint8>(std::lround(p + (q - p) * t));
    };
    return sf::Color(mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b), mix(from.a, to.a));
}

void placeSprite(sf::Image& target, const sf::Image& sprite, int x, int y)
{
    target.copy(sprite, static_cast<unsigned>(x), static_cast<unsigned>(y), sf::IntRect(), true);
}

void placeCentred(sf::Image& target, const sf::Image& sprite, int y)
{
    placeSprite(target, sprite,
                (static_cast<int>(target.getSize().x) - static_cast<int>(sprite.getSize().x)) / 2,
                y);
}

sf::Image enlarged(const sf::Image& small, int factor)
{
    const sf::Vector2u size = small.getSize();
    sf::Image big = blank(size.x * factor, size.y * factor);
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            fillRect(big, x * factor, y * factor, factor, factor, small.getPixel(x, y));
    return big;
}

// A linear congruential generator, the constants of Numerical Recipes; the
// low bits, the weakest, are dropped.
std::uint32_t Dice::next()
{
    _state = _state * 1664525u + 1013904223u;
    return _state >> 8;
}

int Dice::below(int n)
{
    return static_cast<int>(next() % static_cast<std::uint32_t>(n));
}

} // namespace pictures
