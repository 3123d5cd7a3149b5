// A row of symbols as chafa prints it, taken apart into the terminal's
// cells: each cell's character and the colours and attributes it is
// drawn in. Two rows can then be compared cell by cell, and a run of
// cells drawn on its own from any column, without the escapes that came
// before it in the row. A ticker that moves its text changes the cells
// of its own width; the rest of the row stays on the screen as it is.
#pragma once

#include <string>
#include <vector>

// The colours and attributes SGR escapes have set.
struct Rendition {
    unsigned attributes = 0;  // bit n: SGR attribute n (1 bold ... 9 crossed out)
    std::string foreground,
        background;  // an escape's parameters ("38;2;r;g;b"); "" for the default

    bool operator==(const Rendition& other) const {
        return attributes == other.attributes && foreground == other.foreground &&
               background == other.background;
    }
    bool operator!=(const Rendition& other) const { return !(*this == other); }
};

struct TerminalCell {
    Rendition rendition;
    std::string glyph;  // the character, UTF-8
    bool operator==(const TerminalCell& other) const {
        return glyph == other.glyph && rendition == other.rendition;
    }
    bool operator!=(const TerminalCell& other) const { return !(*this == other); }
};

// The SGR escape that sets `to` after `from`: only the colours that
// differ while the attributes stay, else everything from a reset.
std::string RenditionEscape(const Rendition& from, const Rendition& to);
// The same from scratch, whatever was set before.
std::string RenditionEscape(const Rendition& to);

// The cursor to `row`, `column` (1-based).
std::string MoveTo(int row, int column);

// The cells of one printed row. False when the row holds anything but
// characters and SGR escapes (colours, attributes): such a row cannot be
// redrawn in parts.
bool SplitCells(const std::string& printed, std::vector<TerminalCell>* cells);

// The bytes that turn `before` into `after` on screen row `row`: each
// run of changed cells after a move of the cursor, and the attributes
// reset at the end; "" when nothing changed. All of `after` when the two
// differ in length (`before` empty: nothing of it is on the screen).
std::string RedrawChangedCells(int row, const std::vector<TerminalCell>& before,
                               const std::vector<TerminalCell>& after);
