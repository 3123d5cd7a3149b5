// DrawTextA's layout: prefix characters, line breaks and word wrapping.
#pragma once

#include "gdi/font_cache.h"

#include <string>
#include <vector>

namespace qpm {

struct TextLayoutLine {
    int begin = 0;  // [begin, end) of LaidOutText::shown
    int end = 0;
    int width = 0;     // what DT_CALCRECT counts, blanks at a break included
    int inkWidth = 0;  // what is drawn and aligned, without those blanks
};

struct LaidOutText {
    std::string shown;             // the text with prefix '&'s removed
    std::vector<bool> underlined;  // per byte of `shown`: a prefix character
    std::vector<TextLayoutLine> lines;
    bool expandTabs = false;
    int tabWidth = 0;
};

// Lays out `count` bytes for DrawTextA's `format` in a rectangle
// `maxWidth` pixels wide: LF, CR LF and CR break lines (unless
// DT_SINGLELINE); DT_WORDBREAK wraps at blanks without ever splitting a
// word; unless DT_NOPREFIX, '&' underlines the next byte and "&&" is '&'.
LaidOutText LayOutText(const FontInstance& font, const char* text, int count, UINT format,
                       int maxWidth);

// The advance of each byte of a line, tabs expanded when asked for.
std::vector<INT> LineAdvances(const FontInstance& font, const LaidOutText& text,
                              const TextLayoutLine& line);

}  // namespace qpm
