// Colour values of page and element attributes.
#include "page/colour.h"

#include <strings.h>

namespace {

struct NamedColour {
    const char* name;
    COLORREF value;
};

// The HTML 4 colour names, and a few more that pages commonly use.
const NamedColour kNames[] = {
    {"black", RGB(0, 0, 0)},
    {"silver", RGB(192, 192, 192)},
    {"gray", RGB(128, 128, 128)},
    {"grey", RGB(128, 128, 128)},
    {"white", RGB(255, 255, 255)},
    {"maroon", RGB(128, 0, 0)},
    {"red", RGB(255, 0, 0)},
    {"purple", RGB(128, 0, 128)},
    {"fuchsia", RGB(255, 0, 255)},
    {"magenta", RGB(255, 0, 255)},
    {"green", RGB(0, 128, 0)},
    {"lime", RGB(0, 255, 0)},
    {"olive", RGB(128, 128, 0)},
    {"yellow", RGB(255, 255, 0)},
    {"navy", RGB(0, 0, 128)},
    {"blue", RGB(0, 0, 255)},
    {"teal", RGB(0, 128, 128)},
    {"aqua", RGB(0, 255, 255)},
    {"cyan", RGB(0, 255, 255)},
    {"orange", RGB(255, 165, 0)},
    {"darkgray", RGB(169, 169, 169)},
    {"darkgrey", RGB(169, 169, 169)},
    {"lightgray", RGB(211, 211, 211)},
    {"lightgrey", RGB(211, 211, 211)},
    {"lightyellow", RGB(255, 255, 224)},
    {"beige", RGB(245, 245, 220)},
    {"ivory", RGB(255, 255, 240)},
    {"brown", RGB(165, 42, 42)},
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "rgb" or "rrggbb", digit by digit: no conversion that could throw or
// overflow on a value of any length.
bool ParseHexDigits(const std::string& hex, COLORREF* out) {
    if (hex.size() != 3 && hex.size() != 6) return false;
    unsigned digits[6] = {};
    for (size_t i = 0; i < hex.size(); ++i) {
        const int value = HexValue(hex[i]);
        if (value < 0) return false;
        digits[i] = unsigned(value);
    }
    if (hex.size() == 3)
        *out = RGB(digits[0] * 17, digits[1] * 17, digits[2] * 17);
    else
        *out =
            RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    return true;
}

std::string Trimmed(const std::string& s) {
    size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    size_t last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

}  // namespace

bool ParseColour(const std::string& text, COLORREF* out) {
    const std::string value = Trimmed(text);
    if (value.empty()) return false;
    for (const NamedColour& named : kNames) {
        if (strcasecmp(named.name, value.c_str()) == 0) {
            *out = named.value;
            return true;
        }
    }
    if (value[0] == '#') return ParseHexDigits(value.substr(1), out);
    // Old pages often leave the '#' out; only six digits are taken then.
    return value.size() == 6 && ParseHexDigits(value, out);
}
