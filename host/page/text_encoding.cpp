// UTF-8 to Windows-1252.
#include "page/text_encoding.h"

#include <cstdint>

namespace {

// The characters Windows-1252 puts at 0x80..0x9F; 0 where it has none.
const uint16_t kHighControls[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(uint32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return char(code);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == code) return char(0x80 + i);
    return '?';
}

// Decodes one sequence at `s[i]`; returns its length, 0 when it is not UTF-8.
size_t DecodeUtf8(const std::string& s, size_t i, uint32_t* code) {
    const unsigned char lead = s[i];
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead >= 0xF8 || i + length > s.size()) return 0;
    uint32_t value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const unsigned char c = s[i + k];
        if ((c & 0xC0) != 0x80) return 0;
        value = (value << 6) | (c & 0x3F);
    }
    *code = value;
    return length;
}

}  // namespace

std::string Utf8ToWindows1252(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = utf8[i];
        uint32_t code = 0;
        size_t length = c < 0x80 ? 1 : DecodeUtf8(utf8, i, &code);
        if (c < 0x80) {
            out += char(c);
        } else if (length == 0) {
            out += char(c);
            length = 1;
        } else {
            out += ToWindows1252(code);
        }
        i += length;
    }
    return out;
}
