// Pixels to half-block cells, and cells to escape sequences.
#include "output/terminal_cells.h"

#include <algorithm>
#include <cmath>

namespace {

const char kUpperHalfBlock[] = "\xE2\x96\x80";  // U+2580 in UTF-8

Rgb PixelAt(const QpmPixels& pixels, int x, int y) {
    const unsigned char* p = pixels.bgrx + size_t(y) * pixels.stride + size_t(x) * 4;
    return Rgb{p[2], p[1], p[0]};
}

// The average colour of the pixels in [x0, x1) x [y0, y1).
Rgb AverageBox(const QpmPixels& pixels, int x0, int x1, int y0, int y1) {
    x1 = std::min(std::max(x1, x0 + 1), pixels.width);
    y1 = std::min(std::max(y1, y0 + 1), pixels.height);
    if (x0 >= pixels.width || y0 >= pixels.height) return Rgb{};
    unsigned long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            Rgb c = PixelAt(pixels, x, y);
            r += c.r, g += c.g, b += c.b, ++n;
        }
    }
    return Rgb{uint8_t(r / n), uint8_t(g / n), uint8_t(b / n)};
}

void AppendColour(std::string* out, int layer, const Rgb& c) {
    *out += "\x1b[" + std::to_string(layer) + ";2;" + std::to_string(c.r) + ";" +
            std::to_string(c.g) + ";" + std::to_string(c.b) + "m";
}

}  // namespace

CellGrid SampleCells(const QpmPixels& pixels, int maxColumns, int maxRows) {
    CellGrid grid;
    if (pixels.width <= 0 || pixels.height <= 0 || maxColumns <= 0 || maxRows <= 0) return grid;
    const double scale =
        std::max({1.0, double(pixels.width) / maxColumns, double(pixels.height) / (2.0 * maxRows)});
    grid.columns = std::min(maxColumns, int(std::ceil(pixels.width / scale)));
    const int pixelRows = int(std::ceil(pixels.height / scale));
    grid.rows = std::min(maxRows, (pixelRows + 1) / 2);
    grid.cells.resize(size_t(grid.columns) * grid.rows);
    auto edge = [scale](int i) { return int(std::floor(i * scale)); };
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < grid.columns; ++column) {
            Cell& cell = grid.cells[size_t(row) * grid.columns + column];
            const int x0 = edge(column), x1 = edge(column + 1);
            cell.top = AverageBox(pixels, x0, x1, edge(2 * row), edge(2 * row + 1));
            // A page of an odd pixel height has no lower half in its last row.
            cell.bottom = 2 * row + 1 < pixelRows
                              ? AverageBox(pixels, x0, x1, edge(2 * row + 1), edge(2 * row + 2))
                              : Rgb{};
        }
    }
    return grid;
}

std::string RenderChanges(const CellGrid& next, const CellGrid* previous) {
    const bool everything =
        previous == nullptr || previous->columns != next.columns || previous->rows != next.rows;
    std::string out;
    bool haveColours = false;
    Rgb foreground, background;
    int cursorRow = -1, cursorColumn = -1;  // where the next character would land
    for (int row = 0; row < next.rows; ++row) {
        for (int column = 0; column < next.columns; ++column) {
            const Cell& cell = next.at(column, row);
            if (!everything && previous->at(column, row) == cell) continue;
            if (row != cursorRow || column != cursorColumn)
                out += "\x1b[" + std::to_string(row + 1) + ";" + std::to_string(column + 1) + "H";
            if (!haveColours || cell.top != foreground) AppendColour(&out, 38, cell.top);
            if (!haveColours || cell.bottom != background) AppendColour(&out, 48, cell.bottom);
            haveColours = true;
            foreground = cell.top;
            background = cell.bottom;
            out += kUpperHalfBlock;
            cursorRow = row;
            cursorColumn = column + 1;
        }
    }
    if (haveColours) out += "\x1b[0m";
    return out;
}
