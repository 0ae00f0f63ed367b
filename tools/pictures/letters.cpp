// The pixel font, drawn as type specimen sheets, and writing with it.

#include "letters.h"

#include "canvas.h"
#include "grid.h"

#include <stdexcept>

namespace pictures {

namespace {

// A sheet of letters: a caption with each letter over the middle of its
// glyph, then the glyphs side by side, a blank column between two.
struct FontSheet {
    std::string caption;
    Grid rows;
};

const FontSheet fontSheets[] = {
    {"  A     B     C     D     E     F     G     H  ",
     {".###. ####. .###. ####. ##### ##### .###. #...#",
      "#...# #...# #...# #...# #.... #.... #...# #...#",
      "#...# #...# #.... #...# #.... #.... #.... #...#",
      "##### ####. #.... #...# ####. ####. #.### #####",
      "#...# #...# #.... #...# #.... #.... #...# #...#",
      "#...# #...# #...# #...# #.... #.... #...# #...#",
      "#...# ####. .###. ####. ##### #.... .###. #...#"}},
    {"  I     K     L     M     N     O     P     Q  ",
     {"##### #...# #.... #...# #...# .###. ####. .###.",
      "..#.. #..#. #.... ##.## ##..# #...# #...# #...#",
      "..#.. #.#.. #.... #.#.# #.#.# #...# #...# #...#",
      "..#.. ##... #.... #.#.# #..## #...# ####. #...#",
      "..#.. #.#.. #.... #...# #...# #...# #.... #.#.#",
      "..#.. #..#. #.... #...# #...# #...# #.... #..#.",
      "##### #...# ##### #...# #...# .###. #.... .##.#"}},
    {"  R     S     T     U     V     W     X     Y  ",
     {"####. .#### ##### #...# #...# #...# #...# #...#",
      "#...# #.... ..#.. #...# #...# #...# #...# #...#",
      "#...# #.... ..#.. #...# #...# #...# .#.#. .#.#.",
      "####. .###. ..#.. #...# #...# #.#.# ..#.. ..#..",
      "#.#.. ....# ..#.. #...# #...# #.#.# .#.#. ..#..",
      "#..#. ....# ..#.. #...# .#.#. ##.## #...# ..#..",
      "#...# ####. ..#.. .###. ..#.. #...# #...# ..#.."}},
};

const sf::Color shadowColour(10, 0, 30, 220);

// Each letter's glyph, cut out of the sheets; the space is a blank glyph.
const std::map<char, Grid>& glyphs()
{
    static const std::map<char, Grid> font = [] {
        std::map<char, Grid> cut = {{' ', Grid(glyphHeight, std::string(glyphWidth, clearCell))}};
        for (const FontSheet& sheet : fontSheets)
            for (std::size_t left = 0; left < sheet.caption.size(); left += glyphAdvance) {
                Grid& glyph = cut[sheet.caption.at(left + glyphWidth / 2)];
                for (const std::string& row : sheet.rows)
                    glyph.push_back(row.substr(left, glyphWidth));
            }
        return cut;
    }();
    return font;
}

void drawLetters(sf::Image& image, const std::string& text, int x, int y, const TextStyle& style,
                 bool asShadow)
{
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

} // namespace

int textWidth(const std::string& text, int scale)
{
    return (static_cast<int>(text.size()) * glyphAdvance - 1) * scale;
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

} // namespace pictures
