// Draws every picture the game reads and writes them as PNG files into the
// directory named on the command line, and the desktop icons into a second
// one if it is named. Everything comes from the text grids
// and drawing rules below, with a fixed-seed star generator, so every build
// writes the same files. Only sf::Image is used: no window, no display.

#include <SFML/Graphics/Image.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Grid = std::vector<std::string>;
using Palette = std::map<char, sf::Color>;

constexpr char clearCell = '.';
constexpr unsigned screenSize = 800; // splash, menu and backdrop fill the window

// ---------------------------------------------------------------------------
// Drawing on an image

// Paints c over the pixel with its alpha; pixels outside the image are skipped.
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
    image.setPixel(x, y, sf::Color(mix(c.r, under.r), mix(c.g, under.g), mix(c.b, under.b),
                                   static_cast<sf::Uint8>(std::lround(outA * 255.f))));
}

void fillRect(sf::Image& image, int x, int y, int w, int h, sf::Color c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            blend(image, i, j, c);
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

// A sprite's art is its left half; the right half is the mirror image.
Grid mirrored(const Grid& leftHalf)
{
    Grid whole;
    for (const std::string& row : leftHalf)
        whole.push_back(row + std::string(row.rbegin(), row.rend()));
    return whole;
}

void checkGrid(const Grid& grid, const Palette& palette)
{
    for (const std::string& row : grid) {
        if (row.size() != grid.front().size())
            throw std::logic_error("ragged grid row: " + row);
        for (char cell : row)
            if (cell != clearCell && palette.count(cell) == 0)
                throw std::logic_error(std::string("no colour for grid cell '") + cell + "'");
    }
}

// Every cell becomes a scale-by-scale block; '.' cells stay as they are.
void drawGrid(sf::Image& image, const Grid& grid, const Palette& palette, int x, int y, int scale)
{
    checkGrid(grid, palette);
    for (std::size_t row = 0; row < grid.size(); ++row)
        for (std::size_t col = 0; col < grid[row].size(); ++col)
            if (grid[row][col] != clearCell)
                fillRect(image, x + static_cast<int>(col) * scale, y + static_cast<int>(row) * scale,
                         scale, scale, palette.at(grid[row][col]));
}

sf::Image blank(unsigned w, unsigned h)
{
    sf::Image image;
    image.create(w, h, sf::Color::Transparent);
    return image;
}

sf::Image gridPicture(const Grid& grid, const Palette& palette, int scale)
{
    sf::Image image = blank(static_cast<unsigned>(grid.front().size() * scale),
                            static_cast<unsigned>(grid.size() * scale));
    drawGrid(image, grid, palette, 0, 0, scale);
    return image;
}

// Soft round glow: alpha falls from the centre to the radius.
void glow(sf::Image& image, float cx, float cy, float radius, sf::Color c)
{
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x) {
            const float d = std::hypot(x - cx, y - cy) / radius;
            if (d < 1.f)
                blend(image, x, y, withAlpha(c, c.a / 255.f * (1.f - d) * (1.f - d)));
        }
}

void disc(sf::Image& image, float cx, float cy, float radius, sf::Color c)
{
    for (int y = static_cast<int>(cy - radius); y <= static_cast<int>(cy + radius); ++y)
        for (int x = static_cast<int>(cx - radius); x <= static_cast<int>(cx + radius); ++x)
            if (std::hypot(x + 0.5f - cx, y + 0.5f - cy) <= radius)
                blend(image, x, y, c);
}

// Outline of a rectangle with a given thickness.
void frame(sf::Image& image, int x, int y, int w, int h, int thickness, sf::Color c)
{
    fillRect(image, x, y, w, thickness, c);
    fillRect(image, x, y + h - thickness, w, thickness, c);
    fillRect(image, x, y + thickness, thickness, h - 2 * thickness, c);
    fillRect(image, x + w - thickness, y + thickness, thickness, h - 2 * thickness, c);
}

// ---------------------------------------------------------------------------
// Fixed-seed dice for the stars and the explosion debris

class Dice {
public:
    explicit Dice(std::uint32_t seed) : _state(seed) {}
    std::uint32_t next()
    {
        _state = _state * 1664525u + 1013904223u;
        return _state >> 8;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint32_t _state;
};

// ---------------------------------------------------------------------------
// Words in a 5 by 7 block letter font

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = glyphWidth + 1;

const std::map<char, Grid>& glyphs()
{
    static const std::map<char, Grid> font = {
        {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
        {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
        {'D', {"####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."}},
        {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
        {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
        {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."}},
        {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
        {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "#####"}},
        {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
        {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
        {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
        {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
        {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
        {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
        {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
        {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
        {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
        {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
        {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"}},
        {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
        {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
        {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
    };
    return font;
}

int textWidth(const std::string& text, int scale)
{
    return (static_cast<int>(text.size()) * glyphAdvance - 1) * scale;
}

// Letters shaded from top to bottom, with a dark drop shadow behind them.
struct TextStyle {
    int scale;
    sf::Color top;
    sf::Color bottom;
    int shadow; // offset of the shadow in pixels, 0 for none
};

void drawLetters(sf::Image& image, const std::string& text, int x, int y, const TextStyle& style,
                 bool asShadow)
{
    const sf::Color shadowColour(10, 0, 30, 220);
    for (std::size_t n = 0; n < text.size(); ++n) {
        const auto glyph = glyphs().find(text[n]);
        if (glyph == glyphs().end())
            throw std::logic_error(std::string("no letter '") + text[n] + "' in the font");
        for (int row = 0; row < glyphHeight; ++row) {
            const sf::Color shade =
                asShadow ? shadowColour
                         : lerp(style.top, style.bottom, row / static_cast<float>(glyphHeight - 1));
            const Palette ink = {{'#', shade}};
            drawGrid(image, {glyph->second[row]}, ink,
                     x + static_cast<int>(n) * glyphAdvance * style.scale, y + row * style.scale,
                     style.scale);
        }
    }
}

void drawText(sf::Image& image, const std::string& text, int x, int y, const TextStyle& style)
{
    if (style.shadow > 0)
        drawLetters(image, text, x + style.shadow, y + style.shadow, style, true);
    drawLetters(image, text, x, y, style, false);
}

void drawCentredText(sf::Image& image, const std::string& text, int y, const TextStyle& style)
{
    drawText(image, text, (static_cast<int>(image.getSize().x) - textWidth(text, style.scale)) / 2,
             y, style);
}

// ---------------------------------------------------------------------------
// Sprites

// A brain with a grim face and little legs. Rows 0 to 3 stay free for the
// fire brain's flames, the legs' row leaves room for the ice brain's icicles.
const Grid& brainBody()
{
    static const Grid body = mirrored({
        "..........",
        "..........",
        "..........",
        "......KKKK",
        "....KKLLLK",
        "...KLLPPDK",
        "..KLPPDPPD",
        "..KPPDPPDP",
        ".KLPDPPPDP",
        ".KPPDPPDPP",
        ".KPDPPDPPD",
        ".KPKKKPPDP",
        ".KPKWEKPPP",
        "..KKWWKPDP",
        "..KPKKPPPK",
        "...KPDPKKM",
        "....KKK...",
        "...KD..K..",
        "..KD...K..",
        "..........",
    });
    return body;
}

const Grid& flames()
{
    static const Grid art = mirrored({
        "..y.......",
        ".yo...y...",
        ".yoy.yoy..",
        "..oroyroy.",
        "..orrrorrr",
        "...rr.....",
        "..........", "..........", "..........", "..........",
        "..........", "..........", "..........", "..........",
        "..........", "..........", "..........", "..........",
        "..........", "..........",
    });
    return art;
}

const Grid& icicles()
{
    static const Grid art = mirrored({
        "..........", "..........", "..........", "..........",
        "..........", "..........", "..........", "..........",
        "..........", "..........", "..........", "..........",
        "..........", "..........", "..........",
        "...c.....c",
        "...cw...cw",
        "....c...c.",
        "....c.....",
        "....w.....",
    });
    return art;
}

constexpr int brainScale = 2; // 20 grid cells: a 40 pixel brain in a 60 pixel slot

Palette brainPalette(sf::Color outline, sf::Color light, sf::Color main, sf::Color fold,
                     sf::Color pupil)
{
    return {{'K', outline}, {'L', light},  {'P', main},
            {'D', fold},    {'W', sf::Color(250, 250, 240)},
            {'E', pupil},   {'M', outline}};
}

sf::Image plainBrainAtScale(int scale)
{
    const Palette pink = brainPalette(sf::Color(70, 10, 45), sf::Color(255, 196, 222),
                                      sf::Color(238, 118, 172), sf::Color(168, 50, 108),
                                      sf::Color(200, 0, 40));
    return gridPicture(brainBody(), pink, scale);
}

sf::Image plainBrain() { return plainBrainAtScale(brainScale); }

sf::Image freezeBrain()
{
    const Palette ice = brainPalette(sf::Color(10, 30, 90), sf::Color(228, 248, 255),
                                     sf::Color(112, 196, 255), sf::Color(38, 104, 210),
                                     sf::Color(0, 60, 160));
    const Palette frost = {{'c', sf::Color(170, 230, 255)}, {'w', sf::Color(250, 255, 255)}};
    sf::Image image = gridPicture(brainBody(), ice, brainScale);
    drawGrid(image, icicles(), frost, 0, 0, brainScale);
    return image;
}

sf::Image fireBrain()
{
    const Palette ember = brainPalette(sf::Color(80, 10, 0), sf::Color(255, 206, 70),
                                       sf::Color(242, 92, 30), sf::Color(172, 30, 16),
                                       sf::Color(255, 230, 0));
    const Palette fire = {{'y', sf::Color(255, 236, 90)},
                          {'o', sf::Color(255, 150, 20)},
                          {'r', sf::Color(225, 40, 10)}};
    sf::Image image = gridPicture(flames(), fire, brainScale);
    drawGrid(image, brainBody(), ember, 0, 0, brainScale);
    return image;
}

constexpr int shipScale = 3; // 20 grid cells: a 60 pixel ship

const Grid& shipArt()
{
    static const Grid art = mirrored({
        ".........W",
        "........KW",
        "........KC",
        ".......KCC",
        ".......KCB",
        ".......KSB",
        "......KSSS",
        "......KSSS",
        "..R...KSSS",
        "..R..KSSSS",
        "..S..KSSRS",
        ".KS.KSSSRS",
        ".KSKSSSSSS",
        "KSSSSSSDSS",
        "KSSRRSSDSS",
        "KSSKKSSDSS",
        "KSK..KSDDS",
        ".K....KOOK",
        ".......OYO",
        "........Y.",
    });
    return art;
}

sf::Image shipAtScale(int scale)
{
    const Palette colours = {{'K', sf::Color(20, 30, 60)},    {'W', sf::Color(255, 255, 255)},
                             {'C', sf::Color(90, 230, 255)},  {'B', sf::Color(30, 120, 200)},
                             {'S', sf::Color(200, 210, 225)}, {'D', sf::Color(120, 130, 150)},
                             {'R', sf::Color(230, 40, 50)},   {'O', sf::Color(255, 140, 20)},
                             {'Y', sf::Color(255, 240, 120)}};
    return gridPicture(shipArt(), colours, scale);
}

sf::Image ship() { return shipAtScale(shipScale); }

// The plain shot's own art; the game's picture puts it on the shot canvas.
sf::Image playerShot()
{
    const Palette colours = {{'W', sf::Color(255, 255, 255)},
                             {'Y', sf::Color(255, 240, 80)},
                             {'O', sf::Color(255, 140, 20)},
                             {'R', sf::Color(220, 40, 20, 180)}};
    return gridPicture({".W.", "WYW", "YWY", "YWY", "OYO", ".O.", ".R."}, colours, 2);
}

// The enemy shot is drawn from its brain's top-left corner, so the drop sits
// in the middle of a brain-wide picture, just below the brain.
sf::Image brainShot()
{
    constexpr int width = 40;
    constexpr int height = 60;
    const Palette colours = {{'W', sf::Color(255, 240, 255)},
                             {'G', sf::Color(120, 255, 90)},
                             {'D', sf::Color(30, 170, 40)}};
    sf::Image image = blank(width, height);
    glow(image, 20.f, 50.f, 12.f, sf::Color(80, 255, 80, 160));
    drawGrid(image, {".G.", "GWG", "GWG", "DGD", ".D."}, colours, 20 - 6, 40, 4);
    return image;
}

// Drawn over the ship's own 60 by 60 picture area, which the explosion keeps.
sf::Image explosion()
{
    constexpr int size = 60;
    constexpr int block = 3;
    constexpr float centre = size / 2.f;
    const sf::Color rings[] = {sf::Color(255, 255, 230), sf::Color(255, 230, 80),
                               sf::Color(255, 140, 20), sf::Color(220, 50, 20),
                               sf::Color(110, 30, 30, 200)};
    sf::Image image = blank(size, size);
    Dice dice(0x0b00);
    for (int y = 0; y < size; y += block)
        for (int x = 0; x < size; x += block) {
            const float d = std::hypot(x + block / 2.f - centre, y + block / 2.f - centre) / centre;
            const float ragged = d + (dice.below(100) - 50) / 250.f;
            const int ring = static_cast<int>(ragged * 5.f);
            if (ring >= 0 && ring < 5)
                fillRect(image, x, y, block, block, rings[ring]);
        }
    return image;
}

sf::Image virusShot()
{
    constexpr int size = 30;
    constexpr float centre = size / 2.f;
    constexpr int spikes = 8;
    sf::Image image = blank(size, size);
    for (int n = 0; n < spikes; ++n) {
        const float angle = n * 6.2831853f / spikes;
        for (float r = 8.f; r < 12.f; r += 0.5f)
            disc(image, centre + r * std::cos(angle), centre + r * std::sin(angle), 1.f,
                 sf::Color(60, 160, 40));
        disc(image, centre + 12.5f * std::cos(angle), centre + 12.5f * std::sin(angle), 2.f,
             sf::Color(200, 255, 60));
    }
    disc(image, centre, centre, 9.f, sf::Color(70, 200, 50));
    disc(image, centre - 2.f, centre - 2.f, 5.f, sf::Color(130, 240, 80));
    disc(image, centre + 3.f, centre + 2.f, 2.f, sf::Color(40, 120, 30));
    disc(image, centre - 4.f, centre + 4.f, 1.5f, sf::Color(40, 120, 30));
    disc(image, centre - 3.f, centre - 4.f, 1.5f, sf::Color(230, 255, 200));
    return image;
}

// The torpedo: a wide band of lightning between two glowing ends.
sf::Image bolt()
{
    constexpr int width = 150;
    constexpr int height = 24;
    constexpr float middle = height / 2.f;
    constexpr int period = 16;
    constexpr float swing = 7.f;
    sf::Image image = blank(width, height);
    for (int x = 0; x < width; ++x) {
        const float phase = static_cast<float>(x % period) / period;
        const float zig = middle + swing * (phase < 0.5f ? 4.f * phase - 1.f : 3.f - 4.f * phase);
        for (int y = 0; y < height; ++y) {
            const float d = std::fabs(y - zig);
            if (d < 1.f)
                blend(image, x, y, sf::Color::White);
            else if (d < 5.f)
                blend(image, x, y, withAlpha(sf::Color(80, 220, 255), 1.f - d / 5.f));
        }
        blend(image, x, static_cast<int>(middle), withAlpha(sf::Color(160, 240, 255), 0.35f));
    }
    glow(image, 8.f, middle, 10.f, sf::Color(200, 250, 255, 230));
    glow(image, width - 9.f, middle, 10.f, sf::Color(200, 250, 255, 230));
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

sf::Image plainShotPicture() { return onShotCanvas(playerShot()); }
sf::Image boltPicture() { return onShotCanvas(bolt()); }
sf::Image virusPicture() { return onShotCanvas(virusShot()); }

const Grid& starArt()
{
    static const Grid art = mirrored({
        ".....KK",
        ".....KY",
        "....KYY",
        "....KYW",
        "KKKKYYW",
        "KYYYYWW",
        ".KYYYWW",
        "..KYYYY",
        "...KYYY",
        "...KYYK",
        "..KYYK.",
        "..KYK..",
        ".KKK...",
        "..K....",
    });
    return art;
}

sf::Image powerUp()
{
    constexpr int size = 32;
    const Palette colours = {{'K', sf::Color(120, 50, 0)},
                             {'Y', sf::Color(255, 200, 30)},
                             {'W', sf::Color(255, 250, 200)}};
    sf::Image image = blank(size, size);
    glow(image, size / 2.f, size / 2.f, size / 2.f, sf::Color(255, 120, 255, 200));
    drawGrid(image, starArt(), colours, 2, 2, 2);
    return image;
}

// The shield bubble is drawn at (ship x - 55, ship y - 40), so a 170 by 140
// ellipse has the 60 pixel ship in its middle.
sf::Image bubble()
{
    constexpr int width = 170;
    constexpr int height = 140;
    constexpr float rx = width / 2.f - 1.f;
    constexpr float ry = height / 2.f - 1.f;
    sf::Image image = blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float dx = (x + 0.5f - width / 2.f) / rx;
            const float dy = (y + 0.5f - height / 2.f) / ry;
            const float d = std::sqrt(dx * dx + dy * dy);
            if (d > 1.f)
                continue;
            const float rim = std::clamp((d - 0.80f) / 0.20f, 0.f, 1.f);
            blend(image, x, y, withAlpha(sf::Color(90, 200, 255), 0.12f + 0.7f * rim * rim));
            if (d > 0.93f)
                blend(image, x, y, withAlpha(sf::Color(220, 250, 255), 0.8f));
        }
    glow(image, width * 0.3f, height * 0.25f, 16.f, sf::Color(255, 255, 255, 170));
    return image;
}

// ---------------------------------------------------------------------------
// Screens

// Deep space: a dark violet haze, then stars of three sizes; a few of them
// tinted blue or gold.
sf::Image starfield(std::uint32_t seed)
{
    constexpr int faintStars = 420;
    constexpr int brightStars = 60;
    constexpr int glowingStars = 12;
    sf::Image image = blank(screenSize, screenSize);
    for (unsigned y = 0; y < screenSize; ++y) {
        const sf::Color sky = lerp(sf::Color(2, 2, 14), sf::Color(28, 6, 44), y / float(screenSize));
        for (unsigned x = 0; x < screenSize; ++x)
            image.setPixel(x, y, sky);
    }
    Dice dice(seed);
    const sf::Color tints[] = {sf::Color(255, 255, 255), sf::Color(170, 200, 255),
                               sf::Color(255, 230, 170)};
    for (int n = 0; n < faintStars; ++n)
        blend(image, dice.below(screenSize), dice.below(screenSize),
              withAlpha(tints[dice.below(3)], 0.3f + dice.below(50) / 100.f));
    for (int n = 0; n < brightStars; ++n)
        fillRect(image, dice.below(screenSize), dice.below(screenSize), 2, 2, tints[dice.below(3)]);
    for (int n = 0; n < glowingStars; ++n) {
        const float x = static_cast<float>(dice.below(screenSize));
        const float y = static_cast<float>(dice.below(screenSize));
        glow(image, x, y, 7.f, withAlpha(tints[dice.below(3)], 0.9f));
        fillRect(image, static_cast<int>(x) - 1, static_cast<int>(y) - 1, 3, 3, sf::Color::White);
    }
    return image;
}

// A ringed planet low on the left of the backdrop.
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
    for (float t = 0.f; t < 6.2831853f; t += 0.002f) {
        const float x = cx + ringWidth * radius * std::cos(t);
        const float y = cy + ringDepth * radius * std::sin(t) - ringTilt * (x - cx);
        const bool behind = std::sin(t) < 0.f && std::hypot(x - cx, y - cy) < radius;
        if (!behind)
            fillRect(image, static_cast<int>(x), static_cast<int>(y), 2, 2,
                     sf::Color(230, 200, 150, 200));
    }
}

TextStyle titleStyle(int scale)
{
    return {scale, sf::Color(255, 244, 120), sf::Color(255, 70, 20), scale / 2};
}

void placeSprite(sf::Image& target, const sf::Image& sprite, int x, int y)
{
    target.copy(sprite, static_cast<unsigned>(x), static_cast<unsigned>(y), sf::IntRect(), true);
}

// A picture enlarged by a whole factor, pixel for pixel.
sf::Image enlarged(const sf::Image& small, int factor)
{
    const sf::Vector2u size = small.getSize();
    sf::Image big = blank(size.x * factor, size.y * factor);
    for (unsigned y = 0; y < size.y; ++y)
        for (unsigned x = 0; x < size.x; ++x)
            fillRect(big, x * factor, y * factor, factor, factor, small.getPixel(x, y));
    return big;
}

sf::Image splashScreen()
{
    sf::Image image = starfield(0x5eed);
    drawCentredText(image, "QUASARIL", 120, titleStyle(12));
    drawCentredText(image, "THE BRAINS ARE COMING", 240, {3, sf::Color(180, 220, 255),
                                                          sf::Color(120, 150, 255), 2});
    const sf::Image brains[] = {plainBrain(), freezeBrain(), fireBrain()};
    for (int n = 0; n < 3; ++n)
        placeSprite(image, enlarged(brains[n], 2), 190 + n * 160, 320);
    const sf::Image hero = enlarged(ship(), 2);
    placeSprite(image, hero, 340, 500);
    placeSprite(image, enlarged(playerShot(), 2), 394, 440);
    drawCentredText(image, "PRESS ANY KEY", 680, {5, sf::Color(255, 255, 255),
                                                  sf::Color(120, 255, 200), 3});
    return image;
}

// A framed button whose word sits in its middle.
void button(sf::Image& image, const sf::IntRect& box, const std::string& word, int scale,
            sf::Color ink, sf::Color edge)
{
    fillRect(image, box.left, box.top, box.width, box.height, withAlpha(edge, 0.18f));
    frame(image, box.left, box.top, box.width, box.height, 6, edge);
    frame(image, box.left + 10, box.top + 10, box.width - 20, box.height - 20, 2,
          withAlpha(edge, 0.6f));
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

sf::Image mainMenu()
{
    sf::Image image = starfield(0x3e40);
    drawCentredText(image, "QUASARIL", 40, titleStyle(7));
    button(image, playBand, "PLAY", 11, sf::Color(60, 255, 90), sf::Color(40, 220, 90));
    button(image, exitBand, "EXIT", 8, sf::Color(255, 80, 60), sf::Color(230, 60, 50));
    const TextStyle hint = {2, sf::Color(200, 200, 230), sf::Color(150, 150, 200), 1};
    drawCentredText(image, "ARROWS MOVE   SPACE FIRES   ESCAPE QUITS", 620, hint);
    const sf::Image brains[] = {plainBrain(), freezeBrain(), fireBrain(), plainBrain()};
    for (int n = 0; n < 4; ++n)
        placeSprite(image, brains[n], 250 + n * 80, 690);
    return image;
}

sf::Image backdrop()
{
    sf::Image image = starfield(0xbac0);
    planet(image, 160.f, 620.f, 90.f);
    glow(image, 620.f, 180.f, 160.f, sf::Color(90, 30, 140, 70));
    return image;
}

// ---------------------------------------------------------------------------
// Desktop icons: a brain above the ship on a rounded square of night sky.

bool insideRoundedSquare(int x, int y, int size, int radius)
{
    const int cx = std::clamp(x, radius, size - 1 - radius);
    const int cy = std::clamp(y, radius, size - 1 - radius);
    return std::hypot(static_cast<float>(x - cx), static_cast<float>(y - cy)) <= radius;
}

sf::Image icon(unsigned size)
{
    const int side = static_cast<int>(size);
    const int unit = side / 64; // 1 for the 64 pixel icon, 2 for the 128 one
    const int radius = side / 8;
    sf::Image image = blank(size, size);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            if (insideRoundedSquare(x, y, side, radius))
                image.setPixel(x, y, lerp(sf::Color(12, 6, 40), sf::Color(64, 16, 96),
                                          y / static_cast<float>(side)));
    Dice dice(0x1c0);
    constexpr int stars = 14;
    for (int n = 0; n < stars; ++n) {
        const int x = radius + dice.below(side - 2 * radius);
        const int y = radius + dice.below(side - 2 * radius);
        fillRect(image, x, y, unit, unit, withAlpha(sf::Color::White, 0.5f + dice.below(50) / 100.f));
    }
    const sf::Image brain = plainBrainAtScale(unit);  // 20 grid cells
    const sf::Image hero = shipAtScale(2 * unit);      // 20 grid cells
    const int margin = 2 * unit;
    placeSprite(image, brain, (side - static_cast<int>(brain.getSize().x)) / 2, margin);
    placeSprite(image, hero, (side - static_cast<int>(hero.getSize().x)) / 2,
                side - margin - static_cast<int>(hero.getSize().y));
    return image;
}

sf::Image smallIcon() { return icon(64); }
sf::Image largeIcon() { return icon(128); }

// ---------------------------------------------------------------------------

struct Picture {
    const char* name;
    sf::Image (*draw)();
};

const Picture pictures[] = {
    {"SpaceShip3.png", ship},
    {"Projectile3.png", plainShotPicture},
    {"bolt.png", boltPicture},
    {"virus2.png", virusPicture},
    {"brain.png", plainBrain},
    {"brain_freeze3.png", freezeBrain},
    {"brain_fire3.png", fireBrain},
    {"brain_Projectile1.png", brainShot},
    {"explode1.png", explosion},
    {"powerup.png", powerUp},
    {"bubble2.png", bubble},
    {"SplashScreen1.png", splashScreen},
    {"space2.png", backdrop},
    {"mainmenu.png", mainMenu},
};

// The desktop's icons, named by their size in the icon theme.
const Picture icons[] = {
    {"64x64.png", smallIcon},
    {"128x128.png", largeIcon},
};

template <std::size_t count>
bool drawAll(const Picture (&list)[count], const std::string& directory)
{
    for (const Picture& picture : list)
        if (!picture.draw().saveToFile(directory + "/" + picture.name)) {
            std::cerr << "make_pictures: cannot write " << picture.name << "\n";
            return false;
        }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: make_pictures OUTPUT_DIRECTORY [ICON_DIRECTORY]\n";
        return 2;
    }
    try {
        if (!drawAll(pictures, argv[1]) || (argc == 3 && !drawAll(icons, argv[2])))
            return 1;
    } catch (const std::logic_error& fault) {
        std::cerr << "make_pictures: " << fault.what() << "\n";
        return 1;
    }
    return 0;
}
