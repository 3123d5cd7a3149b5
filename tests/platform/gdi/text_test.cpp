// Text through FreeType and fontconfig: measurement, metrics, face
// substitution, placement, background modes, clipping and code page.
// The exact numbers depend on the installed fonts, so these tests check
// relations that hold wherever fonts-liberation2 is installed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "gdi_test_util.h"

namespace {

using gdi_test::Font;
using gdi_test::InkBox;
using gdi_test::PixelsNot;
using gdi_test::TextDC;

const LOGFONTA kArial12 = Font("Arial", -12);

TEST(TextExtent, SumsAdvanceWidthsAtTheCellHeight) {
    TextDC t(10, 10, kArial12);
    SIZE hello = t.Extent("Hello");
    EXPECT_GT(hello.cx, t.Extent("Hell").cx);
    EXPECT_LT(hello.cx, t.Extent("Hello world").cx);
    EXPECT_EQ(hello.cy, t.Metrics().tmHeight);
    // No kerning: a pair measures what its letters measure apart.
    EXPECT_EQ(t.Extent("AV").cx, t.Extent("A").cx + t.Extent("V").cx);
    EXPECT_EQ(t.Extent("To").cx, t.Extent("T").cx + t.Extent("o").cx);
    SIZE empty{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(t.dc(), "", 0, &empty));
    EXPECT_EQ(empty.cx, 0);
    EXPECT_EQ(empty.cy, 0);
    EXPECT_FALSE(GetTextExtentPoint32A(t.dc(), "x", -1, &empty));
    EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "x", 1, &empty));
}

TEST(TextMetrics, NegativeHeightIsTheEmPositiveHeightTheCell) {
    QPM_DIFFERS_FROM_WIN32("the font Wine finds for Arial rounds its cell otherwise");
    TextDC em(4, 4, kArial12);
    TEXTMETRICA tm = em.Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 12);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    for (LONG cell : {10, 16, 20, 33}) {
        TextDC t(4, 4, Font("Arial", cell));
        EXPECT_EQ(t.Metrics().tmHeight, cell) << "lfHeight " << cell;
    }
    TextDC byDefault(4, 4, Font("Arial", 0));
    EXPECT_EQ(byDefault.Metrics().tmHeight, 16);
}

TEST(TextFace, ArialIsSubstitutedByAMetricCompatibleFace) {
    TextDC t(4, 4, kArial12);
    char face[LF_FACESIZE];
    int copied = GetTextFaceA(t.dc(), sizeof face, face);
    EXPECT_STREQ(face, "Liberation Sans");
    EXPECT_EQ(copied, int(std::strlen(face)));
    EXPECT_EQ(GetTextFaceA(t.dc(), 0, nullptr), copied + 1);
    char small[4];
    EXPECT_EQ(GetTextFaceA(t.dc(), sizeof small, small), 3);
    EXPECT_STREQ(small, "Lib");

    TextDC bold(4, 4, Font("Arial", -12, FW_BOLD));
    GetTextFaceA(bold.dc(), sizeof face, face);
    EXPECT_STREQ(face, "Liberation Sans");
    EXPECT_GT(bold.Extent("Hello world").cx, t.Extent("Hello world").cx);
    EXPECT_EQ(bold.Metrics().tmWeight, FW_BOLD);
}

TEST(TextFace, EmptyAndUnknownNamesGetTheDefaultFace) {
    TextDC empty(4, 4, Font("", -12));
    TextDC unknown(4, 4, Font("No Such Face Anywhere", -12));
    char a[LF_FACESIZE] = "", b[LF_FACESIZE] = "";
    EXPECT_GT(GetTextFaceA(empty.dc(), sizeof a, a), 0);
    EXPECT_GT(GetTextFaceA(unknown.dc(), sizeof b, b), 0);
    EXPECT_STREQ(a, b);
}

TEST(StockFonts, MeasureWithTheirOwnCells) {
    gdi_test::MemoryDC m(4, 4);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(m.dc(), "Hello", 5, &size));  // SYSTEM_FONT
    EXPECT_EQ(size.cy, 16);
    EXPECT_GT(size.cx, 0);
    SelectObject(m.dc(), GetStockObject(DEFAULT_GUI_FONT));
    SIZE gui{};
    GetTextExtentPoint32A(m.dc(), "Hello", 5, &gui);
    EXPECT_LT(gui.cy, size.cy);
    EXPECT_LT(gui.cx, size.cx);
    SelectObject(m.dc(), GetStockObject(SYSTEM_FONT));
}

// (x, y) is the top-left of the cell: ink stays inside the cell.
TEST(TextOut, PlacesTheCellTopLeftAtThePoint) {
    TextDC t(80, 30, kArial12);
    SetBkMode(t.dc(), TRANSPARENT);
    EXPECT_TRUE(TextOutA(t.dc(), 5, 7, "Hello", 5));
    SIZE size = t.Extent("Hello");
    RECT ink = InkBox(t.dc(), 80, 30, 0xFFFFFF);
    EXPECT_GE(ink.left, 5);
    EXPECT_GE(ink.top, 7);
    EXPECT_LE(ink.right, 5 + size.cx);
    EXPECT_LE(ink.bottom, 7 + size.cy);
    TEXTMETRICA tm = t.Metrics();
    EXPECT_EQ(ink.bottom, 7 + tm.tmAscent);  // "Hello" sits on the baseline
    EXPECT_FALSE(TextOutA(t.dc(), 0, 0, "x", -1));
    EXPECT_TRUE(TextOutA(t.dc(), 0, 0, "", 0));
}

TEST(TextOut, TransparentKeepsTheBackgroundOpaqueFillsTheCell) {
    const COLORREF green = 0x00FF00, red = 0x0000FF;
    TextDC t(90, 20, kArial12, green);
    SetBkColor(t.dc(), red);
    SetBkMode(t.dc(), TRANSPARENT);
    TextOutA(t.dc(), 2, 2, "Hello World", 11);
    size_t changed = PixelsNot(t.dc(), 90, 20, green).size();
    EXPECT_GT(changed, 0u);
    for (POINT p : PixelsNot(t.dc(), 90, 20, green)) {
        COLORREF c = GetPixel(t.dc(), p.x, p.y);
        ASSERT_EQ(c & 0xFF00FF, 0u)
            << "only a mix of black text over green at " << p.x << "," << p.y;
    }

    TextDC o(90, 20, kArial12, green);
    SetBkColor(o.dc(), red);
    TextOutA(o.dc(), 2, 2, "Hello World", 11);  // OPAQUE is the default
    SIZE cell = o.Extent("Hello World");
    EXPECT_EQ(PixelsNot(o.dc(), 90, 20, green).size(), size_t(cell.cx * cell.cy));
    RECT box = InkBox(o.dc(), 90, 20, green);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 2 + cell.cx);
    EXPECT_EQ(box.bottom, 2 + cell.cy);
    EXPECT_EQ(GetPixel(o.dc(), 2, 2), red);
}

TEST(TextOut, IsAntiAliased) {
    QPM_DIFFERS_FROM_WIN32("a fresh Wine prefix draws text without font smoothing");
    TextDC t(90, 20, kArial12);
    SetBkMode(t.dc(), TRANSPARENT);
    TextOutA(t.dc(), 2, 2, "Hello World", 11);
    int greys = 0, black = 0;
    for (POINT p : PixelsNot(t.dc(), 90, 20, 0xFFFFFF)) {
        COLORREF c = GetPixel(t.dc(), p.x, p.y);
        ASSERT_EQ(GetRValue(c), GetGValue(c));
        ASSERT_EQ(GetGValue(c), GetBValue(c));
        (c == 0 ? black : greys)++;
    }
    EXPECT_GT(greys, 20);
    EXPECT_GT(black, 0);
}

struct ClipCase {
    UINT options;
    bool fillsRect;
    bool drawsOutside;
};

// ExtTextOutA with clip rectangle (2,2,30,9), "Hello World" at (2,2).
TEST(ExtTextOut, ClippedAndOpaqueOptions) {
    const ClipCase cases[] = {{ETO_CLIPPED, false, false},
                              {0, false, true},
                              {ETO_OPAQUE, true, true},
                              {ETO_OPAQUE | ETO_CLIPPED, true, false}};
    const RECT clip{2, 2, 30, 9};
    for (const ClipCase& c : cases) {
        TextDC t(100, 20, kArial12);
        SetBkMode(t.dc(), TRANSPARENT);
        SetBkColor(t.dc(), 0x0000FF);
        EXPECT_TRUE(ExtTextOutA(t.dc(), 2, 2, c.options, &clip, "Hello World", 11, nullptr));
        int outside = 0, inside = 0, filled = 0;
        for (POINT p : PixelsNot(t.dc(), 100, 20, 0xFFFFFF)) {
            bool in = p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom;
            (in ? inside : outside)++;
        }
        for (int y = clip.top; y < clip.bottom; ++y)
            for (int x = clip.left; x < clip.right; ++x)
                filled += GetPixel(t.dc(), x, y) != 0xFFFFFF;
        SCOPED_TRACE("options " + std::to_string(c.options));
        EXPECT_GT(inside, 0);
        EXPECT_EQ(outside > 0, c.drawsOutside);
        EXPECT_EQ(filled == (clip.right - clip.left) * (clip.bottom - clip.top), c.fillsRect);
        if (c.fillsRect) {
            EXPECT_EQ(GetPixel(t.dc(), 29, 2), 0x0000FFu);  // above the capitals
        }
    }
}

TEST(ExtTextOut, ClippedOpaqueModeClipsTheCellToo) {
    TextDC t(100, 20, kArial12);
    SetBkColor(t.dc(), 0x0000FF);
    RECT clip{2, 2, 30, 9};
    ExtTextOutA(t.dc(), 2, 2, ETO_CLIPPED, &clip, "Hello World", 11, nullptr);
    RECT box = InkBox(t.dc(), 100, 20, 0xFFFFFF);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.top, 2);
    EXPECT_EQ(box.right, 30);
    EXPECT_EQ(box.bottom, 9);
}

// A NULL string draws no text, whatever the count.
TEST(ExtTextOut, OpaqueWithoutTextOnlyFills) {
    TextDC t(20, 10, kArial12);
    SetBkColor(t.dc(), 0x0000FF);
    RECT r{1, 1, 4, 3};
    EXPECT_TRUE(ExtTextOutA(t.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr));
    EXPECT_EQ(PixelsNot(t.dc(), 20, 10, 0xFFFFFF).size(), 6u);
    t.Fill(0xFFFFFF);
    EXPECT_TRUE(ExtTextOutA(t.dc(), 0, 0, 0, nullptr, "", 0, nullptr));
    EXPECT_TRUE(ExtTextOutA(t.dc(), 0, 0, 0, nullptr, nullptr, 3, nullptr));
    EXPECT_TRUE(TextOutA(t.dc(), 0, 0, nullptr, 3));
    EXPECT_TRUE(PixelsNot(t.dc(), 20, 10, 0xFFFFFF).empty());
    EXPECT_TRUE(ExtTextOutA(t.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 3, nullptr));
    EXPECT_EQ(PixelsNot(t.dc(), 20, 10, 0xFFFFFF).size(), 6u);
}

// A run far longer than the surface draws exactly what its start does:
// what lies past the right edge is neither drawn nor, in the layer,
// measured glyph by glyph.
TEST(ExtTextOut, ARunLongerThanTheSurfaceDrawsWhatItsStartDoes) {
    const std::string text = [] {
        std::string s;
        while (s.size() < 1000000) s += "Moving text, ";
        return s;
    }();
    const RECT clip{3, 2, 90, 15};
    const struct {
        UINT options;
        int x;
    } cases[] = {{0, 2}, {ETO_CLIPPED, 2}, {ETO_OPAQUE, -7}, {ETO_OPAQUE | ETO_CLIPPED, -7}};
    for (const auto& c : cases) {
        TextDC whole(100, 20, kArial12), start(100, 20, kArial12);
        SetBkColor(whole.dc(), 0x0000FF);
        SetBkColor(start.dc(), 0x0000FF);
        ExtTextOutA(whole.dc(), c.x, 2, c.options, &clip, text.data(), UINT(text.size()), nullptr);
        ExtTextOutA(start.dc(), c.x, 2, c.options, &clip, text.data(), 40, nullptr);
        int differing = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x)
                differing += GetPixel(whole.dc(), x, y) != GetPixel(start.dc(), x, y);
        EXPECT_EQ(differing, 0) << "options " << c.options << " at x " << c.x;
    }
}

TEST(ExtTextOut, SpacingArrayPlacesEachCharacter) {
    TextDC t(200, 20, kArial12);
    SetBkMode(t.dc(), TRANSPARENT);
    const INT dx[] = {40, 40};
    ExtTextOutA(t.dc(), 0, 0, 0, nullptr, "ll", 2, dx);
    // Two narrow strokes 40 pixels apart, nothing in between.
    RECT first = InkBox(t.dc(), 20, 20, 0xFFFFFF);
    RECT all = InkBox(t.dc(), 200, 20, 0xFFFFFF);
    EXPECT_GT(first.right, 0);
    EXPECT_EQ(all.right - first.right, 40);
    EXPECT_TRUE(PixelsNot(t.dc(), 200, 20, 0xFFFFFF).size() > 0);
}

TEST(Font, UnderlineDrawsABarUnderTheRun) {
    LOGFONTA log = kArial12;
    log.lfUnderline = 1;
    TextDC t(60, 20, log);
    SetBkMode(t.dc(), TRANSPARENT);
    TextOutA(t.dc(), 0, 0, "ab", 2);
    TEXTMETRICA tm = t.Metrics();
    SIZE size = t.Extent("ab");
    int fullRows = 0;
    for (int y = tm.tmAscent; y < tm.tmHeight; ++y) {
        int dark = 0;
        for (int x = 0; x < size.cx; ++x) dark += GetPixel(t.dc(), x, y) == 0;
        fullRows += dark == size.cx;
    }
    EXPECT_GE(fullRows, 1);
    EXPECT_EQ(tm.tmUnderlined, 0xFF);
}

// Draws one byte in black on white and returns its pixels.
std::vector<COLORREF> Glyph(const char* byte) {
    TextDC t(30, 20, kArial12);
    TextOutA(t.dc(), 5, 2, byte, 1);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) pixels.push_back(GetPixel(t.dc(), x, y));
    return pixels;
}

size_t Ink(const std::vector<COLORREF>& pixels) {
    size_t n = 0;
    for (COLORREF c : pixels) n += c != 0xFFFFFF;
    return n;
}

// Bytes are Windows-1252: 0xE9 is e-acute, 0x80 the euro sign. Neither
// may come out as the missing-glyph box that an unmapped byte (0x81,
// a C1 control) gives.
TEST(CodePage, HighBytesAreWindows1252Characters) {
    std::vector<COLORREF> missing = Glyph("\x81");
    std::vector<COLORREF> eAcute = Glyph("\xE9");
    std::vector<COLORREF> e = Glyph("e");
    EXPECT_GT(Ink(missing), 0u);
    EXPECT_NE(eAcute, missing);
    EXPECT_GT(Ink(eAcute), Ink(e));  // e plus an accent
    // The accent lies above the top of the plain e.
    size_t firstRowOfE = 0, firstRowOfEAcute = 0;
    for (size_t i = 0; i < e.size(); ++i)
        if (e[i] != 0xFFFFFF) {
            firstRowOfE = i / 30;
            break;
        }
    for (size_t i = 0; i < eAcute.size(); ++i)
        if (eAcute[i] != 0xFFFFFF) {
            firstRowOfEAcute = i / 30;
            break;
        }
    EXPECT_LT(firstRowOfEAcute + 1, firstRowOfE);
    for (const char* byte : {"\x80", "\x8A", "\x93", "\x9F"})
        EXPECT_NE(Glyph(byte), missing) << "byte " << int(static_cast<unsigned char>(*byte));
}

// Components make a font on every paint: each must come out the same.
TEST(Font, RepeatedCreationGivesTheSameFont) {
    gdi_test::MemoryDC m(60, 20);
    SIZE first{};
    for (int i = 0; i < 50; ++i) {
        HFONT font = CreateFontIndirectA(&kArial12);
        HGDIOBJ old = SelectObject(m.dc(), font);
        SIZE size{};
        GetTextExtentPoint32A(m.dc(), "Hello", 5, &size);
        if (i == 0) first = size;
        EXPECT_EQ(size.cx, first.cx);
        TextOutA(m.dc(), 0, 0, "Hello", 5);
        SelectObject(m.dc(), old);
        EXPECT_TRUE(DeleteObject(font));
    }
}

}  // namespace
