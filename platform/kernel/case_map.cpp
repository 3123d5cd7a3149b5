// Windows-1252 case mapping and CharUpperA / CharLowerA.
//
// Besides ASCII, 0xC0-0xDE pair with 0xE0-0xFE (except the signs 0xD7 x
// and 0xF7 /), S/s/OE/Z with caron pair at 0x8A/0x9A, 0x8C/0x9C,
// 0x8E/0x9E, and y with diaeresis 0xFF upper-cases to 0x9F. 0xDF (sharp
// s) has no upper-case letter in the code page.
#include "kernel/case_map.h"

#include <windows.h>

#include <cstdint>

namespace qpm {

unsigned char UpperChar(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 0x10;
    if (c == 0xFF) return 0x9F;
    return c;
}

unsigned char LowerChar(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
    if (c == 0x9F) return 0xFF;
    return c;
}

bool EqualIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperChar(static_cast<unsigned char>(a[i])) !=
            UpperChar(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace qpm

namespace {

// A "pointer" whose high word is zero carries a single character.
bool IsSingleChar(LPSTR s) { return (reinterpret_cast<uintptr_t>(s) >> 16) == 0; }

template <class Map>
LPSTR MapString(LPSTR s, Map map) {
    if (IsSingleChar(s)) {
        auto c = static_cast<unsigned char>(reinterpret_cast<uintptr_t>(s) & 0xFF);
        uintptr_t mapped = map(c);
        return reinterpret_cast<LPSTR>(mapped);  // NOLINT(performance-no-int-to-ptr)
    }
    for (char* p = s; *p; ++p) *p = static_cast<char>(map(static_cast<unsigned char>(*p)));
    return s;
}

}  // namespace

LPSTR WINAPI CharUpperA(LPSTR string) { return MapString(string, qpm::UpperChar); }

LPSTR WINAPI CharLowerA(LPSTR string) { return MapString(string, qpm::LowerChar); }
