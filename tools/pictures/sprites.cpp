// The sprites, from their art and a few drawing rules. Their sizes fit the
// places where the game draws them.

#include "sprites.h"

#include "art.h"
#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pictures {

namespace {

constexpr int brainScale = 2; // 20 grid cells: a 40 pixel brain in a 60 pixel slot
constexpr int shipScale = 3;  // 20 grid cells: a 60 pixel ship

} // namespace

sf::Image plainBrainAtScale(int scale)
{
    return gridPicture(brainBody, pinkBrain, scale);
}

sf::Image plainBrain()
{
    return plainBrainAtScale(brainScale);
}

sf::Image freezeBrain()
{
    sf::Image image = gridPicture(brainBody, iceBrain, brainScale);
    drawGrid(image, brainIcicles, frostColours, 0, icicleRow * brainScale, brainScale);
    return image;
}

// The flames burn behind the body.
sf::Image fireBrain()
{
    sf::Image image = blankFor(brainBody, brainScale);
    drawGrid(image, brainFlames, flameColours, 0, 0, brainScale);
    drawGrid(image, brainBody, emberBrain, 0, 0, brainScale);
    return image;
}

sf::Image shipAtScale(int scale)
{
    return gridPicture(shipArt, shipColours, scale);
}

sf::Image ship()
{
    return shipAtScale(shipScale);
}

// Drawn over the ship's own 60 by 60 picture area, which the explosion keeps:
// blocks of fire in rings round the middle, their edges made ragged by dice.
sf::Image explosion()
{
    constexpr int size = 60;
    constexpr int block = 3;
    constexpr float centre = size / 2.f;
    constexpr int ringCount = 5;
    constexpr std::uint32_t seed = 0x0b00;
    // From the white heat in the middle out to the smoke at the edge.
    const sf::Color rings[ringCount] = {sf::Color(255, 255, 230), sf::Color(255, 230, 80),
                                        sf::Color(255, 140, 20), sf::Color(220, 50, 20),
                                        sf::Color(110, 30, 30, 200)};
    sf::Image image = blank(size, size);
    Dice dice(seed);
    for (int y = 0; y < size; y += block)
        for (int x = 0; x < size; x += block) {
            const float d = std::hypot(x + block / 2.f - centre, y + block / 2.f - centre) / centre;
            const float ragged = d + (dice.below(100) - 50) / 250.f; // up to 1/5 radius either way
            const int ring = static_cast<int>(ragged * ringCount);
            if (ring >= 0 && ring < ringCount)
                fillRect(image, x, y, block, block, rings[ring]);
        }
    return image;
}

// A gold star in a pink glow.
sf::Image powerUp()
{
    constexpr int size = 32;
    constexpr int starScale = 2;
    const int inset = (size - static_cast<int>(starArt.size()) * starScale) / 2;
    sf::Image image = blank(size, size);
    glow(image, size / 2.f, size / 2.f, size / 2.f, sf::Color(255, 120, 255, 200));
    drawGrid(image, starArt, starColours, inset, inset, starScale);
    return image;
}

// The shield bubble is drawn at (ship x - 55, ship y - 40), so a 170 by 140
// ellipse has the 60 pixel ship in its middle. It is faint inside, brightens
// towards its rim, has a bright edge and a glint at its upper left.
sf::Image bubble()
{
    constexpr int width = 170;
    constexpr int height = 140;
    constexpr float rx = width / 2.f - 1.f;
    constexpr float ry = height / 2.f - 1.f;
    constexpr float rimStart = 0.80f; // in radii, where the rim starts to brighten
    constexpr float rimWidth = 0.20f;
    constexpr float edgeStart = 0.93f; // in radii, where the bright edge starts
    constexpr float insideAlpha = 0.12f;
    constexpr float rimAlpha = 0.7f;
    sf::Image image = blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float dx = (x + 0.5f - width / 2.f) / rx;
            const float dy = (y + 0.5f - height / 2.f) / ry;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.f)
                continue;
            const float rim = std::clamp((d - rimStart) / rimWidth, 0.f, 1.f);
            blend(image, x, y,
                  withAlpha(sf::Color(90, 200, 255), insideAlpha + rimAlpha * rim * rim));
            if (d > edgeStart)
                blend(image, x, y, withAlpha(sf::Color(220, 250, 255), 0.8f));
        }
    glow(image, width * 0.3f, height * 0.25f, 16.f, sf::Color(255, 255, 255, 170));
    return image;
}

} // namespace pictures
