// The screens: each is a starfield with its own seed, with words and sprites
// laid out on it.

#include "screens.h"

#include "canvas.h"
#include "letters.h"
#include "shots.h"
#include "sprites.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace pictures {

namespace {

// Deep space: a dark violet haze, then stars of three sizes; some of them
// tinted blue or gold.
sf::Image starfield(std::uint32_t seed)
{
    constexpr int faintStars = 420;
    constexpr int brightStars = 60;
    constexpr int glowingStars = 12;
    constexpr int tintCount = 3;
    const sf::Color tints[tintCount] = {sf::Color(255, 255, 255), sf::Color(170, 200, 255),
                                        sf::Color(255, 230, 170)};
    sf::Image image = blank(screenSize, screenSize);
    for (unsigned y = 0; y < screenSize; ++y) {
        const sf::Color sky =
            lerp(sf::Color(2, 2, 14), sf::Color(28, 6, 44), y / float(screenSize));
        for (unsigned x = 0; x < screenSize; ++x)
            image.setPixel(x, y, sky);
    }
    Dice dice(seed);
    for (int n = 0; n < faintStars; ++n)
        blend(image, dice.below(screenSize), dice.below(screenSize),
              withAlpha(tints[dice.below(tintCount)], 0.3f + dice.below(50) / 100.f));
    for (int n = 0; n < brightStars; ++n)
        fillRect(image, dice.below(screenSize), dice.below(screenSize), 2, 2,
                 tints[dice.below(tintCount)]);
    for (int n = 0; n < glowingStars; ++n) {
        const float x = static_cast<float>(dice.below(screenSize));
        const float y = static_cast<float>(dice.below(screenSize));
        glow(image, x, y, 7.f, withAlpha(tints[dice.below(tintCount)], 0.9f));
        fillRect(image, static_cast<int>(x) - 1, static_cast<int>(y) - 1, 3, 3, sf::Color::White);
    }
    return image;
}

// A ringed planet, lit from the upper left, with faint bands across it.
void planet(sf::Image& image, float cx, float cy, float radius)
{
    const sf::Color lit(120, 90, 200);
    const sf::Color dark(20, 10, 50);
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
            const float dx = (x - cx) / radius;
            const float dy = (y - cy) / radius;
            if (dx * dx + dy * dy > 1.f)
                continue;
            const float light = std::clamp(0.5f - 0.6f * dx - 0.4f * dy, 0.f, 1.f);
            const float band = 0.08f * std::sin(dy * 18.f);
            blend(image, x, y, lerp(dark, lit, std::clamp(light + band, 0.f, 1.f)));
        }
    constexpr float ringWidth = 1.9f;  // ring radius across, in planet radii
    constexpr float ringDepth = 0.35f; // how open the ring looks from here
    constexpr float ringTilt = 0.06f;
    for (float t = 0.f; t < fullTurn; t += 0.002f) {
        const float x = cx + ringWidth * radius * std::cos(t);
        const float y = cy + ringDepth * radius * std::sin(t) - ringTilt * (x - cx);
        const bool behind = std::sin(t) < 0.f && std::hypot(x - cx, y - cy) < radius;
        if (!behind)
            fillRect(image, static_cast<int>(x), static_cast<int>(y), 2, 2,
                     sf::Color(230, 200, 150, 200));
    }
}

// The game's name in fire, with a shadow half a font cell away.
TextStyle titleStyle(int scale)
{
    return {scale, sf::Color(255, 244, 120), sf::Color(255, 70, 20), scale / 2};
}

// A framed button whose word sits in its middle.
void button(sf::Image& image, const sf::IntRect& box, const std::string& word, int scale,
            sf::Color ink, sf::Color edge)
{
    constexpr int edgeWidth = 6;
    constexpr int innerInset = 10; // the thin inner frame, in from the edge
    constexpr int innerWidth = 2;
    fillRect(image, box.left, box.top, box.width, box.height, withAlpha(edge, 0.18f));
    frame(image, box.left, box.top, box.width, box.height, edgeWidth, edge);
    frame(image, box.left + innerInset, box.top + innerInset, box.width - 2 * innerInset,
          box.height - 2 * innerInset, innerWidth, withAlpha(edge, 0.6f));
    const int x = box.left + (box.width - textWidth(word, scale)) / 2;
    const int y = box.top + (box.height - glyphHeight * scale) / 2;
    drawText(image, word, x, y, {scale, sf::Color::White, ink, scale / 2});
}

// Each menu button is drawn over exactly the pixels its click band answers
// for: PLAY for 0 < x < 1023 and 145 < y < 380, EXIT for 383 < y < 560, all
// strictly. Within the window that is columns 1 to 799 (column 0 answers
// neither), rows 146 to 379 and rows 384 to 559.
const sf::IntRect playBand(1, 146, 799, 234);
const sf::IntRect exitBand(1, 384, 799, 176);

} // namespace

// The title, the three brains in a row, the ship firing up at them, and the
// invitation to start.
sf::Image splashScreen()
{
    constexpr int spriteZoom = 2;
    constexpr int brainsLeft = 190;
    constexpr int brainSpacing = 160;
    constexpr int brainsTop = 320;
    constexpr int shotTop = 440;
    constexpr int shipTop = 500;
    sf::Image image = starfield(0x5eed);
    drawCentredText(image, "QUASARIL", 120, titleStyle(12));
    drawCentredText(image, "THE BRAINS ARE COMING", 240,
                    {3, sf::Color(180, 220, 255), sf::Color(120, 150, 255), 2});
    const sf::Image brains[] = {plainBrain(), freezeBrain(), fireBrain()};
    int left = brainsLeft;
    for (const sf::Image& brain : brains) {
        placeSprite(image, enlarged(brain, spriteZoom), left, brainsTop);
        left += brainSpacing;
    }
    placeCentred(image, enlarged(ship(), spriteZoom), shipTop);
    placeCentred(image, enlarged(playerShot(), spriteZoom), shotTop);
    drawCentredText(image, "PRESS ANY KEY", 680,
                    {5, sf::Color(255, 255, 255), sf::Color(120, 255, 200), 3});
    return image;
}

// The title, the two buttons, the keys, and a row of brains at the bottom.
sf::Image mainMenu()
{
    constexpr int brainsLeft = 250;
    constexpr int brainSpacing = 80;
    constexpr int brainsTop = 690;
    sf::Image image = starfield(0x3e40);
    drawCentredText(image, "QUASARIL", 40, titleStyle(7));
    button(image, playBand, "PLAY", 11, sf::Color(60, 255, 90), sf::Color(40, 220, 90));
    button(image, exitBand, "EXIT", 8, sf::Color(255, 80, 60), sf::Color(230, 60, 50));
    const TextStyle hint = {2, sf::Color(200, 200, 230), sf::Color(150, 150, 200), 1};
    drawCentredText(image, "ARROWS MOVE   SPACE FIRES   ESCAPE QUITS", 620, hint);
    const sf::Image brains[] = {plainBrain(), freezeBrain(), fireBrain(), plainBrain()};
    int left = brainsLeft;
    for (const sf::Image& brain : brains) {
        placeSprite(image, brain, left, brainsTop);
        left += brainSpacing;
    }
    return image;
}

// Behind the play: a planet low on the left and a violet haze high on the right.
sf::Image backdrop()
{
    sf::Image image = starfield(0xbac0);
    planet(image, 160.f, 620.f, 90.f);
    glow(image, 620.f, 180.f, 160.f, sf::Color(90, 30, 140, 70));
    return image;
}

} // namespace pictures
