// Cells from a printed row of symbols, and the bytes that redraw the
// cells that changed.
#include "output/terminal_cells.h"

#include <cstdlib>

namespace {

// Unchanged cells between two changed ones are drawn again when that is
// about as short as moving the cursor over them.
constexpr size_t kLongestGapDrawn = 4;

std::vector<int> Parameters(const std::string& text) {
    std::vector<int> values;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(';', start);
        values.push_back(atoi(text.substr(start, end - start).c_str()));  // "" is 0
        if (end == std::string::npos) return values;
        start = end + 1;
    }
}

// An extended colour at `at` (38 or 48, then 5;n or 2;r;g;b) into `colour`.
bool ExtendedColour(const std::vector<int>& p, size_t* at, std::string* colour) {
    const size_t i = *at;
    if (i + 2 < p.size() && p[i + 1] == 5) {
        *colour = std::to_string(p[i]) + ";5;" + std::to_string(p[i + 2]);
        *at = i + 2;
        return true;
    }
    if (i + 4 < p.size() && p[i + 1] == 2) {
        *colour = std::to_string(p[i]) + ";2;" + std::to_string(p[i + 2]) + ";" +
                  std::to_string(p[i + 3]) + ";" + std::to_string(p[i + 4]);
        *at = i + 4;
        return true;
    }
    return false;
}

// Applies one SGR escape's parameters; false for one this does not know.
bool Apply(const std::string& parameters, Rendition* r) {
    const std::vector<int> p = Parameters(parameters);
    for (size_t i = 0; i < p.size(); ++i) {
        const int n = p[i];
        if (n == 0) {
            *r = Rendition();
        } else if (n >= 1 && n <= 9) {
            r->attributes |= 1u << n;
        } else if (n == 22) {
            r->attributes &= ~((1u << 1) | (1u << 2));
        } else if (n >= 23 && n <= 29 && n != 26) {
            r->attributes &= ~(1u << (n - 20));
        } else if ((n >= 30 && n <= 37) || (n >= 90 && n <= 97)) {
            r->foreground = std::to_string(n);
        } else if ((n >= 40 && n <= 47) || (n >= 100 && n <= 107)) {
            r->background = std::to_string(n);
        } else if (n == 39) {
            r->foreground.clear();
        } else if (n == 49) {
            r->background.clear();
        } else if (n == 38 || n == 48) {
            if (!ExtendedColour(p, &i, n == 38 ? &r->foreground : &r->background)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// The length of the UTF-8 character starting with `lead`; 0 if none does.
size_t CharacterLength(unsigned char lead) {
    if (lead >= 0x20 && lead < 0x7f) return 1;
    if ((lead & 0xe0) == 0xc0) return 2;
    if ((lead & 0xf0) == 0xe0) return 3;
    if ((lead & 0xf8) == 0xf0) return 4;
    return 0;
}

}  // namespace

std::string RenditionEscape(const Rendition& to) {
    std::string escape = "\x1b[0";
    for (int n = 1; n <= 9; ++n)
        if (to.attributes & (1u << n)) escape += ";" + std::to_string(n);
    if (!to.foreground.empty()) escape += ";" + to.foreground;
    if (!to.background.empty()) escape += ";" + to.background;
    return escape + "m";
}

std::string RenditionEscape(const Rendition& from, const Rendition& to) {
    if (from.attributes != to.attributes) return RenditionEscape(to);
    std::string parameters;
    if (from.foreground != to.foreground) parameters = to.foreground.empty() ? "39" : to.foreground;
    if (from.background != to.background)
        parameters +=
            (parameters.empty() ? "" : ";") + (to.background.empty() ? "49" : to.background);
    return parameters.empty() ? "" : "\x1b[" + parameters + "m";
}

std::string MoveTo(int row, int column) {
    return "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "H";
}

bool SplitCells(const std::string& printed, std::vector<TerminalCell>* cells) {
    cells->clear();
    Rendition rendition;
    for (size_t at = 0; at < printed.size();) {
        if (printed[at] == '\x1b') {
            if (at + 1 >= printed.size() || printed[at + 1] != '[') return false;
            const size_t final = printed.find_first_not_of("0123456789;", at + 2);
            if (final == std::string::npos || printed[final] != 'm') return false;
            if (!Apply(printed.substr(at + 2, final - at - 2), &rendition)) return false;
            at = final + 1;
            continue;
        }
        const size_t length = CharacterLength(static_cast<unsigned char>(printed[at]));
        if (length == 0 || at + length > printed.size()) return false;
        cells->push_back(TerminalCell{rendition, printed.substr(at, length)});
        at += length;
    }
    return true;
}

std::string RedrawChangedCells(int row, const std::vector<TerminalCell>& before,
                               const std::vector<TerminalCell>& after) {
    const bool all = before.size() != after.size();
    const auto changed = [&](size_t i) { return all || before[i] != after[i]; };
    std::string out;
    for (size_t start = 0; start < after.size();) {
        if (!changed(start)) {
            ++start;
            continue;
        }
        // The run goes on over short gaps of unchanged cells.
        size_t end = start + 1;
        for (size_t next = end; next < after.size();) {
            if (changed(next)) {
                end = ++next;
                continue;
            }
            size_t gapEnd = next;
            while (gapEnd < after.size() && !changed(gapEnd)) ++gapEnd;
            if (gapEnd == after.size() || gapEnd - next > kLongestGapDrawn) break;
            next = gapEnd;
        }
        out += MoveTo(row, int(start) + 1);
        out += RenditionEscape(after[start].rendition);
        for (size_t i = start; i < end; ++i) {
            if (i > start) out += RenditionEscape(after[i - 1].rendition, after[i].rendition);
            out += after[i].glyph;
        }
        start = end;
    }
    if (!out.empty()) out += "\x1b[0m";
    return out;
}
