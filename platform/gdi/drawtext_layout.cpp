// Line breaking for DrawTextA. A wrapped line ends after its last word
// that fits; the blanks after it count toward the line's width (when they
// fit) unless the text is centred or right-aligned, and the next line
// starts at the next word. A word wider than the rectangle gets a line
// of its own and is not split.
#include "gdi/drawtext_layout.h"

namespace qpm {
namespace {

constexpr int kTabChars = 8;

// The pen position after adding byte c at position `pen` of a line.
int Advance(const FontInstance& font, const LaidOutText& t, int pen, char c) {
    if (c == '\t' && t.expandTabs && t.tabWidth > 0) return (pen / t.tabWidth + 1) * t.tabWidth;
    return pen + font.Advance(static_cast<unsigned char>(c));
}

void StripPrefixes(const char* text, int count, LaidOutText* out) {
    for (int i = 0; i < count; ++i) {
        if (text[i] == '&') {
            if (++i >= count) break;  // a lone trailing '&' shows nothing
            out->shown += text[i];
            out->underlined.push_back(text[i] != '&');
            continue;
        }
        out->shown += text[i];
        out->underlined.push_back(false);
    }
}

struct WrapContext {
    const FontInstance& font;
    LaidOutText& text;
    int maxWidth;
    bool trimBreakBlanks;  // centred or right-aligned text
};

// Scans one wrapped line from `pos`; returns where the next one starts.
int WrapLine(const WrapContext& ctx, int pos, int end) {
    const std::string& s = ctx.text.shown;
    int pen = 0, i = pos, wordEnd = -1, wordEndPen = 0;
    while (i < end) {
        int next = Advance(ctx.font, ctx.text, pen, s[i]);
        if (s[i] != ' ' && next > ctx.maxWidth && wordEnd != -1) break;
        pen = next;
        ++i;
        if (s[i - 1] != ' ' && (i == end || s[i] == ' ')) {
            wordEnd = i;
            wordEndPen = pen;
        }
    }
    if (i == end) {
        ctx.text.lines.push_back(TextLayoutLine{pos, end, pen, pen});
        return end;
    }
    int width = wordEndPen;
    for (int b = wordEnd; !ctx.trimBreakBlanks && b < end && s[b] == ' '; ++b) {
        int next = Advance(ctx.font, ctx.text, width, ' ');
        if (next > ctx.maxWidth) break;
        width = next;
    }
    ctx.text.lines.push_back(TextLayoutLine{pos, wordEnd, width, wordEndPen});
    return wordEnd;
}

void WrapParagraph(const WrapContext& ctx, int begin, int end) {
    int pos = WrapLine(ctx, begin, end);
    while (pos < end) {
        while (pos < end && ctx.text.shown[pos] == ' ') ++pos;  // blanks at a break vanish
        if (pos == end) break;
        pos = WrapLine(ctx, pos, end);
    }
}

void WholeLine(const FontInstance& font, LaidOutText& text, int begin, int end) {
    int pen = 0;
    for (int i = begin; i < end; ++i) pen = Advance(font, text, pen, text.shown[i]);
    text.lines.push_back(TextLayoutLine{begin, end, pen, pen});
}

// Length of the line break at i (LF, CR LF or CR), 0 if none.
int BreakLength(const std::string& s, int i) {
    if (s[i] == '\n') return 1;
    if (s[i] == '\r') return i + 1 < int(s.size()) && s[i + 1] == '\n' ? 2 : 1;
    return 0;
}

}  // namespace

LaidOutText LayOutText(const FontInstance& font, const char* text, int count, UINT format,
                       int maxWidth) {
    LaidOutText out;
    if (format & DT_NOPREFIX) {
        out.shown.assign(text, size_t(count));
        out.underlined.assign(size_t(count), false);
    } else {
        StripPrefixes(text, count, &out);
    }
    out.expandTabs = (format & DT_EXPANDTABS) != 0;
    out.tabWidth = kTabChars * font.Metrics().aveCharWidth;
    int size = int(out.shown.size());
    if (format & DT_SINGLELINE) {
        WholeLine(font, out, 0, size);
        return out;
    }
    bool wrap = (format & DT_WORDBREAK) != 0;
    WrapContext ctx{font, out, maxWidth, (format & (DT_CENTER | DT_RIGHT)) != 0};
    // A break at the very end does not start another line.
    int begin = 0;
    while (begin < size || out.lines.empty()) {
        int end = begin, brk = 0;
        while (end < size && (brk = BreakLength(out.shown, end)) == 0) ++end;
        if (wrap)
            WrapParagraph(ctx, begin, end);
        else
            WholeLine(font, out, begin, end);
        begin = end + brk;
    }
    return out;
}

std::vector<INT> LineAdvances(const FontInstance& font, const LaidOutText& text,
                              const TextLayoutLine& line) {
    std::vector<INT> advances;
    int pen = 0;
    for (int i = line.begin; i < line.end; ++i) {
        int next = Advance(font, text, pen, text.shown[i]);
        advances.push_back(next - pen);
        pen = next;
    }
    return advances;
}

}  // namespace qpm
