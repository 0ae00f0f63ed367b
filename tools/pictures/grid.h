// Pictures painted from text grids: each character of a grid stands for a
// square of its colour in the palette, and '.' is left clear. The art and the
// pixel letters are grids.
#pragma once

#include <SFML/Graphics/Image.hpp>

#include <map>
#include <string>
#include <vector>

namespace pictures {

using Grid = std::vector<std::string>;
using Palette = std::map<char, sf::Color>;

constexpr char clearCell = '.';

// Every cell becomes a scale-by-scale block from (x, y) on; '.' cells stay as
// they are. A ragged grid, or a cell with no colour, throws std::logic_error.
void drawGrid(sf::Image& image, const Grid& grid, const Palette& palette, int x, int y, int scale);

// A clear picture just the size of the grid at that scale.
sf::Image blankFor(const Grid& grid, int scale);

// A picture just the size of the grid at that scale, with the grid on it.
sf::Image gridPicture(const Grid& grid, const Palette& palette, int scale);

} // namespace pictures
