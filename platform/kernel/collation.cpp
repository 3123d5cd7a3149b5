// lstrcmpA and lstrcmpiA: the linguistic "word sort" of code page 1252.
//
// Each string becomes a sort key of four levels, compared one level at a
// time over the whole string:
//   1. primary: symbols (in a fixed order), then digits, then letters;
//      accents, case and the hyphen/apostrophe do not count here;
//   2. accents, one per primary weight (none sorts first);
//   3. case, lower before upper (lstrcmpiA skips this level);
//   4. hyphens and apostrophes, by position: "co-op" sorts right after
//      "coop", and "a-b" after "ab".
// Ligatures expand (ae, oe, and sharp s = ss), so they compare equal to
// the letter pairs.
#include "kernel/case_map.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum Accent : uint8_t {
    kNoAccent = 0,
    kAcute,
    kGrave,
    kCircumflex,
    kDiaeresis,
    kTilde,
    kRing,
    kStroke,
    kCedilla,
    kCaron,
    kHook,
};

struct Element {
    uint16_t primary = 0;
    uint8_t accent = kNoAccent;
    bool upper = false;
};

// How one byte sorts: up to two elements, or a "special" weight that only
// the last level sees.
struct CharWeights {
    uint8_t count = 0;
    Element elements[2];
    uint8_t special = 0;
};

// Symbols in sort order; anything else that is not a letter or a digit
// follows them in byte order.
const char kSymbolOrder[] = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";
constexpr uint16_t kControlBase = 0x0010;
constexpr uint16_t kSymbolBase = 0x0040;
constexpr uint16_t kExtraSymbolBase = 0x0080;
constexpr uint16_t kDigitBase = 0x0200;
constexpr uint16_t kLetterBase = 0x0300;
constexpr char kThorn = '\xFE';

uint16_t LetterWeight(char base) {
    if (base == kThorn) return LetterWeight('t') + 1;  // thorn sorts right after t
    return kLetterBase + 2 * static_cast<uint16_t>(qpm::LowerChar(base) - 'a');
}

struct Latin {
    unsigned char byte;  // the upper-case letter
    const char* base;    // its base letters
    Accent accent;
};

// Upper-case accented letters and ligatures; their lower-case forms are
// derived through LowerChar.
const Latin kLatin[] = {
    {0x83, "f", kHook},       {0x8A, "S", kCaron},       {0x8C, "OE", kNoAccent},
    {0x8E, "Z", kCaron},      {0x9F, "Y", kDiaeresis},   {0xC0, "A", kGrave},
    {0xC1, "A", kAcute},      {0xC2, "A", kCircumflex},  {0xC3, "A", kTilde},
    {0xC4, "A", kDiaeresis},  {0xC5, "A", kRing},        {0xC6, "AE", kNoAccent},
    {0xC7, "C", kCedilla},    {0xC8, "E", kGrave},       {0xC9, "E", kAcute},
    {0xCA, "E", kCircumflex}, {0xCB, "E", kDiaeresis},   {0xCC, "I", kGrave},
    {0xCD, "I", kAcute},      {0xCE, "I", kCircumflex},  {0xCF, "I", kDiaeresis},
    {0xD0, "D", kStroke},     {0xD1, "N", kTilde},       {0xD2, "O", kGrave},
    {0xD3, "O", kAcute},      {0xD4, "O", kCircumflex},  {0xD5, "O", kTilde},
    {0xD6, "O", kDiaeresis},  {0xD8, "O", kStroke},      {0xD9, "U", kGrave},
    {0xDA, "U", kAcute},      {0xDB, "U", kCircumflex},  {0xDC, "U", kDiaeresis},
    {0xDD, "Y", kAcute},      {0xDE, "\xFE", kNoAccent},
};

CharWeights Letters(const char* base, Accent accent, bool upper) {
    CharWeights w;
    for (; *base && w.count < 2; ++base)
        w.elements[w.count++] = Element{LetterWeight(*base), accent, upper};
    return w;
}

CharWeights Single(uint16_t primary) {
    CharWeights w;
    w.count = 1;
    w.elements[0].primary = primary;
    return w;
}

CharWeights Special(uint8_t weight) {
    CharWeights w;
    w.special = weight;
    return w;
}

void AddAsciiWeights(std::array<CharWeights, 256>& table) {
    for (int c = 1; c < 0x20; ++c) table[c] = Single(kControlBase + c);
    table[0x7F] = Single(kControlBase + 0x20);
    for (size_t i = 0; kSymbolOrder[i]; ++i)
        table[static_cast<unsigned char>(kSymbolOrder[i])] = Single(kSymbolBase + i);
    for (int c = '0'; c <= '9'; ++c) table[c] = Single(kDigitBase + (c - '0'));
    for (int c = 'a'; c <= 'z'; ++c) {
        const char base[2] = {static_cast<char>(c), 0};
        table[c] = Letters(base, kNoAccent, false);
        table[c - 0x20] = Letters(base, kNoAccent, true);
    }
    table['\''] = Special(1);
    table['-'] = Special(2);
}

void AddLatinWeights(std::array<CharWeights, 256>& table) {
    for (int c = 0x80; c < 0x100; ++c) table[c] = Single(kExtraSymbolBase + (c - 0x80));
    table[0xAD] = Special(3);  // the soft hyphen is ignored like the hyphen
    for (const Latin& l : kLatin) {
        table[l.byte] = Letters(l.base, l.accent, true);
        table[qpm::LowerChar(l.byte)] = Letters(l.base, l.accent, false);
    }
    table[0xDF] = Letters("ss", kNoAccent, false);
    table[0xFF] = Letters("y", kDiaeresis, false);
}

const std::array<CharWeights, 256>& WeightTable() {
    static const std::array<CharWeights, 256> table = [] {
        std::array<CharWeights, 256> t{};
        AddAsciiWeights(t);
        AddLatinWeights(t);
        return t;
    }();
    return table;
}

struct SortKey {
    std::vector<uint16_t> primary;
    std::vector<uint8_t> accents;
    std::vector<uint8_t> cases;
    std::vector<uint32_t> specials;  // position << 8 | weight
};

SortKey MakeSortKey(const char* s) {
    SortKey key;
    const auto& table = WeightTable();
    for (; *s; ++s) {
        const CharWeights& w = table[static_cast<unsigned char>(*s)];
        if (w.special) key.specials.push_back(uint32_t(key.primary.size()) << 8 | w.special);
        for (int i = 0; i < w.count; ++i) {
            key.primary.push_back(w.elements[i].primary);
            key.accents.push_back(w.elements[i].accent);
            key.cases.push_back(w.elements[i].upper ? 1 : 0);
        }
    }
    return key;
}

template <class T>
int CompareLevel(const std::vector<T>& a, const std::vector<T>& b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

int Compare(LPCSTR a, LPCSTR b, bool ignoreCase) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);  // NULL sorts before everything
    if (strcmp(a, b) == 0) return 0;
    SortKey ka = MakeSortKey(a);
    SortKey kb = MakeSortKey(b);
    if (int r = CompareLevel(ka.primary, kb.primary)) return r;
    if (int r = CompareLevel(ka.accents, kb.accents)) return r;
    if (!ignoreCase)
        if (int r = CompareLevel(ka.cases, kb.cases)) return r;
    return CompareLevel(ka.specials, kb.specials);
}

}  // namespace

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return Compare(a, b, false); }

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) { return Compare(a, b, true); }
