// The shots, from their art and a few drawing rules. The shot canvas is
// explained at onShotCanvas().

#include "shots.h"

#include "art.h"
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

// The torpedo: a wide band of lightning between two glowing ends.
sf::Image bolt()
{
    constexpr int width = 150;
    constexpr int height = 24;
    constexpr float middle = height / 2.f;
    constexpr int period = 16;   // pixels from one zig to the next
    constexpr float swing = 7.f; // how far the zigzag strays from the middle
    constexpr float haloWidth = 5.f;
    constexpr float endInset = 8.f; // the end glows' centres, in from each end
    constexpr float endRadius = 10.f;
    const sf::Color endGlow(200, 250, 255, 230);
    sf::Image image = blank(width, height);
    for (int x = 0; x < width; ++x) {
        const float phase = static_cast<float>(x % period) / period;
        const float zig = middle + swing * (phase < 0.5f ? 4.f * phase - 1.f : 3.f - 4.f * phase);
        for (int y = 0; y < height; ++y) {
            const float d = std::fabs(y - zig);
            if (d < 1.f)
                blend(image, x, y, sf::Color::White);
            else if (d < haloWidth)
                blend(image, x, y, withAlpha(sf::Color(80, 220, 255), 1.f - d / haloWidth));
        }
        blend(image, x, static_cast<int>(middle), withAlpha(sf::Color(160, 240, 255), 0.35f));
    }
    glow(image, endInset, middle, endRadius, endGlow);
    glow(image, width - 1.f - endInset, middle, endRadius, endGlow);
    return image;
}

// A green ball of slime with eight knobbed spikes.
sf::Image virusShot()
{
    constexpr int size = 30;
    constexpr float centre = size / 2.f;
    constexpr int spikes = 8;
    constexpr float spikeFrom = 8.f; // the spikes' stalks, in pixels from the centre
    constexpr float spikeTo = 12.f;
    constexpr float knobAt = 12.5f;
    constexpr float bodyRadius = 9.f;
    const sf::Color shadow(40, 120, 30);
    sf::Image image = blank(size, size);
    for (int n = 0; n < spikes; ++n) {
        const float angle = n * fullTurn / spikes;
        for (float r = spikeFrom; r < spikeTo; r += 0.5f)
            disc(image, centre + r * std::cos(angle), centre + r * std::sin(angle), 1.f,
                 sf::Color(60, 160, 40));
        disc(image, centre + knobAt * std::cos(angle), centre + knobAt * std::sin(angle), 2.f,
             sf::Color(200, 255, 60));
    }
    disc(image, centre, centre, bodyRadius, sf::Color(70, 200, 50));
    disc(image, centre - 2.f, centre - 2.f, 5.f, sf::Color(130, 240, 80));
    disc(image, centre + 3.f, centre + 2.f, 2.f, shadow);
    disc(image, centre - 4.f, centre + 4.f, 1.5f, shadow);
    disc(image, centre - 3.f, centre - 4.f, 1.5f, sf::Color(230, 255, 200)); // the shine
    return image;
}

// The three shot pictures are shown by one sprite, and the first picture
// loaded into it fixes the rectangle every later one is shown in. So all three
// lie on one canvas, wide as the widest and tall as the tallest, each drawn
// from the top-left corner: the corner stands where the game launches that
// shot, and whichever is loaded first, the others show whole.
sf::Image onShotCanvas(const sf::Image& art)
{
    unsigned width = 0;
    unsigned height = 0;
    for (const sf::Image& shot : {playerShot(), bolt(), virusShot()}) {
        width = std::max(width, shot.getSize().x);
        height = std::max(height, shot.getSize().y);
    }
    sf::Image canvas = blank(width, height);
    canvas.copy(art, 0, 0);
    return canvas;
}

} // namespace

sf::Image playerShot()
{
    constexpr int shotScale = 2;
    return gridPicture(playerShotArt, playerShotColours, shotScale);
}

sf::Image plainShotPicture()
{
    return onShotCanvas(playerShot());
}
sf::Image boltPicture()
{
    return onShotCanvas(bolt());
}
sf::Image virusPicture()
{
    return onShotCanvas(virusShot());
}

// The enemy shot is drawn from its brain's top-left corner, so the drop sits
// in the middle of a brain-wide picture, just below the brain, in a glow.
sf::Image brainShot()
{
    constexpr int width = 40;   // the brain's width
    constexpr int height = 60;  // the brain's slot
    constexpr int dropTop = 40; // the brain's height
    constexpr int dropScale = 4;
    constexpr float glowRadius = 12.f;
    const int dropWidth = static_cast<int>(brainShotArt.front().size()) * dropScale;
    const int dropHeight = static_cast<int>(brainShotArt.size()) * dropScale;
    sf::Image image = blank(width, height);
    glow(image, width / 2.f, dropTop + dropHeight / 2.f, glowRadius, sf::Color(80, 255, 80, 160));
    drawGrid(image, brainShotArt, brainShotColours, (width - dropWidth) / 2, dropTop, dropScale);
    return image;
}

} // namespace pictures
