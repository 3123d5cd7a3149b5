// The terminal picture: a page's pixels as character cells, each an
// upper half block ("▀") whose foreground is the upper pixel row and
// whose background is the lower one, in 24-bit colour; and the escape
// sequences that bring a terminal from one such picture to the next,
// touching only the cells that changed.
#pragma once

#include <qpm_platform.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

struct Cell {
    Rgb top, bottom;
    bool operator==(const Cell& o) const { return top == o.top && bottom == o.bottom; }
    bool operator!=(const Cell& o) const { return !(*this == o); }
};

struct CellGrid {
    int columns = 0, rows = 0;
    std::vector<Cell> cells;  // row by row
    const Cell& at(int column, int row) const { return cells[size_t(row) * columns + column]; }
};

// The pixels as at most `maxColumns` x `maxRows` cells: one cell per
// pixel column and two pixel rows when the page fits; otherwise scaled
// down evenly in both directions, each half cell the average of the
// pixels it covers.
CellGrid SampleCells(const QpmPixels& pixels, int maxColumns, int maxRows);

// The escape sequences that turn `previous` into `next` on the screen,
// with the picture's top-left cell at (1, 1). With no previous picture,
// or one of another size, every cell is written.
std::string RenderChanges(const CellGrid& next, const CellGrid* previous);
