// The page's picture as the bytes a terminal draws it from, made with
// chafa. Where the terminal understands a graphics protocol (kitty,
// sixel, iTerm2) the picture keeps the page's own pixels, one for one
// while the page fits the screen; elsewhere it is drawn in character
// symbols and colours, as many as the screen holds. Which protocol a
// terminal understands chafa tells from the environment ($TERM,
// $TERM_PROGRAM, ...), unless the user named one.
#pragma once

#include <qpm_platform.h>

#include <string>
#include <vector>

#include "output/terminal_cells.h"
#include "output/terminal_graphics.h"

struct ChafaTermInfo;
struct ChafaSymbolMap;

// The cells a picture may cover, from the top-left of the screen, and
// the size of one cell in pixels when the terminal tells it (else 0).
struct TerminalArea {
    int columns = 0, rows = 0;
    int cellWidth = 0, cellHeight = 0;
};

class TerminalPicture {
public:
    // `graphics` is what to draw with; kAuto asks chafa what the
    // terminal described by `environment` (NAME=VALUE entries) understands.
    TerminalPicture(TerminalGraphics graphics, const char* const* environment);
    ~TerminalPicture();
    TerminalPicture(const TerminalPicture&) = delete;
    TerminalPicture& operator=(const TerminalPicture&) = delete;

    // What it draws with: never kAuto.
    TerminalGraphics graphics() const { return graphics_; }

    // The bytes that turn what was drawn last into this picture: the
    // cells of symbols that changed, or the whole image of a protocol.
    // `clearedScreen` is set when the picture's size changed, so the
    // bytes clear the whole screen first.
    std::string Render(const QpmPixels& pixels, const TerminalArea& area, bool* clearedScreen);
    // The screen was cleared: the next Render draws everything.
    void Forget();

    // The size of the cells assumed when the terminal does not tell.
    static constexpr int kDefaultCellWidth = 10, kDefaultCellHeight = 20;
    // The pixel rows of one sixel band.
    static constexpr int kSixelBand = 6;

private:
    std::vector<std::string> RenderSymbols(const QpmPixels& pixels, const TerminalArea& area);
    std::vector<std::string> RenderImage(const QpmPixels& pixels, const TerminalArea& area);

    TerminalGraphics graphics_;
    ChafaTermInfo* termInfo_ = nullptr;
    ChafaSymbolMap* symbols_ = nullptr;
    int canvasMode_ = 0;              // a ChafaCanvasMode: the colours symbols may have
    std::vector<std::string> shown_;  // the rows drawn last (one for an image)
    std::vector<std::vector<TerminalCell>> shownCells_;  // their cells (symbols)
    int shownColumns_ = 0, shownRows_ = 0;
};
