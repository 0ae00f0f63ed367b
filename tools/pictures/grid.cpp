// Painting text grids onto a canvas, cell by cell.

#include "grid.h"

#include "canvas.h"

#include <stdexcept>

namespace pictures {

namespace {

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

} // namespace

void drawGrid(sf::Image& image, const Grid& grid, const Palette& palette, int x, int y, int scale)
{
    checkGrid(grid, palette);
    for (std::size_t row = 0; row < grid.size(); ++row)
        for (std::size_t col = 0; col < grid[row].size(); ++col)
            if (grid[row][col] != clearCell)
                fillRect(image, x + static_cast<int>(col) * scale,
                         y + static_cast<int>(row) * scale, scale, scale,
                         palette.at(grid[row][col]));
}

sf::Image blankFor(const Grid& grid, int scale)
{
    return blank(static_cast<unsigned>(grid.front().size() * scale),
                 static_cast<unsigned>(grid.size() * scale));
}

sf::Image gridPicture(const Grid& grid, const Palette& palette, int scale)
{
    sf::Image image = blankFor(grid, scale);
    drawGrid(image, grid, palette, 0, 0, scale);
    return image;
}

} // namespace pictures
