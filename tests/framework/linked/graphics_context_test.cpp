// The drawing toolkit on a memory bitmap: bevel pixels, fills, centred
// text and the DC left as it was found.
#include <gtest/gtest.h>
#include <qpm/graphics_context.h>
#include <qpm_platform.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class Canvas {
public:
    Canvas(int w, int h, COLORREF fill) : width(w), height(h) {
        dc = CreateCompatibleDC(nullptr);
        // Compatible with the screen: a bitmap compatible with a fresh
        // memory DC is monochrome on Windows.
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // One letter per pixel: D dark grey, L light grey, W white, # black, . the canvas colour.
    std::string Grid(COLORREF background) const {
        std::string out;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                COLORREF c = GetPixel(dc, x, y);
                out += c == background   ? '.'
                       : c == kDarkGrey  ? 'D'
                       : c == kLightGrey ? 'L'
                       : c == kWhite     ? 'W'
                       : c == kBlack     ? '#'
                                         : '?';
            }
            out += '\n';
        }
        return out;
    }
    int width, height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

struct Owner : Component {
    InstanceRecord record{};
    explicit Owner(COLORREF back, int32_t printing = 0) {
        record.backColor = back;
        record.printing = printing;
        instance = &record;
    }
};

constexpr COLORREF kBlue = RGB(0, 0, 200);

TEST(GraphicsContext, RaisedBevelWithOutlineLeavesTheCornersUndrawn) {
    Owner owner(kBlue);
    Canvas canvas(8, 6, kBlue);
    {
        GraphicsContext gc(&owner, canvas.dc);
        gc.DrawBevel(0, 0, 8, 6, 1, 1, 1, 0, kBackgroundColour);
    }
    EXPECT_EQ(canvas.Grid(kBlue),
              ".######.\n"
              "#WWWWWW#\n"
              "#W....D#\n"
              "#W....D#\n"
              "#DDDDDD#\n"
              ".######.\n");
}

TEST(GraphicsContext, SunkenOutlineLiesOnRightAndBottom) {
    Owner owner(kBlue);
    Canvas canvas(9, 7, kBlue);
    {
        GraphicsContext gc(&owner, canvas.dc);
        gc.DrawBevel(0, 0, 8, 6, 1, 0, 1, 0, kBackgroundColour);
    }
    EXPECT_EQ(canvas.Grid(kBlue),
              "#########\n"
              "#DDDDDD.#\n"
              "#D....W.#\n"
              "#D....W.#\n"
              "#WWWWWW.#\n"
              "#.......#\n"
              "#########\n");
}

TEST(GraphicsContext, FillWithTheBackgroundColourExceptWhilePrinting) {
    {
        Owner printing(kBlue, 1);
        Canvas canvas(6, 6, kBlue);
        GraphicsContext gc(&printing, canvas.dc);
        gc.DrawBevel(0, 0, 6, 6, 1, 0, 0, 1, kBackgroundColour);
        EXPECT_EQ(GetPixel(canvas.dc, 2, 2), kBlue) << "nothing filled while printing";
        EXPECT_EQ(GetPixel(canvas.dc, 5, 5), kLightGrey) << "the printing highlight";
    }
    {
        Component orphan;  // no InstanceRecord
        Canvas canvas(6, 6, kBlue);
        GraphicsContext gc(&orphan, canvas.dc);
        EXPECT_EQ(gc.BackgroundColour(), kLightGrey);
        gc.DrawBevel(0, 0, 6, 6, 1, 0, 0, 1, kBackgroundColour);
        EXPECT_EQ(GetPixel(canvas.dc, 2, 2), kLightGrey);
        EXPECT_EQ(GetPixel(canvas.dc, 5, 5), kWhite);
    }
    {
        Owner onWhite(kWhite);
        Canvas canvas(6, 6, kBlue);
        GraphicsContext gc(&onWhite, canvas.dc);
        gc.DrawBevel(0, 0, 6, 6, 1, 0, 0, 1, RGB(0, 255, 0));
        EXPECT_EQ(GetPixel(canvas.dc, 2, 2), RGB(0, 255, 0));
        EXPECT_EQ(GetPixel(canvas.dc, 5, 5), kWhite)
            << "an explicit fill keeps the white highlight";
    }
}

TEST(GraphicsContext, BackgroundColourFollowsTheRecord) {
    Owner owner(kBlue);
    GraphicsContext gc(&owner, nullptr);
    EXPECT_EQ(gc.BackgroundColour(), kBlue);
    owner.record.printing = 1;
    EXPECT_EQ(gc.BackgroundColour(), kWhite);
}

TEST(GraphicsContext, TooWideTextStartsLeftOfTheRectangleAndIsNotClipped) {
    Owner owner(kWhite);
    Canvas canvas(120, 30, kWhite);
    GraphicsContext gc(&owner, canvas.dc);
    ASSERT_TRUE(gc.SelectFont("Arial", 14, 0, 0, 0, 0));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, kBlack);
    const char* text = "WWWWWWWWWW";
    int32_t w = 0, h = 0;
    ASSERT_TRUE(gc.MeasureText(text, 10, &w, &h));
    ASSERT_GT(w, 40);
    gc.DrawTextCentred(40, 0, 80, 30, text, 0, -1);
    int leftOfRect = 0, rightOfRect = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (GetPixel(canvas.dc, x, y) != kWhite)
                (x < 40 ? leftOfRect : x >= 80 ? rightOfRect : x)++;
    EXPECT_GT(leftOfRect, 0);
    EXPECT_GT(rightOfRect, 0);
    const int expectedLeft = 40 + (40 - w) / 2;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < expectedLeft; ++x) ASSERT_EQ(GetPixel(canvas.dc, x, y), kWhite) << x;
}

TEST(GraphicsContext, WrappedTextIsCentredAsABlock) {
    Owner owner(kWhite);
    Canvas canvas(100, 120, kWhite);
    GraphicsContext gc(&owner, canvas.dc);
    ASSERT_TRUE(gc.SelectFont("Arial", 12, 0, 0, 0, 0));
    SetBkMode(canvas.dc, TRANSPARENT);
    RECT area{0, 0, 100, 120};
    gc.DrawTextCentredRect(area, "one two three four five six seven eight nine & ten", 1, -1);
    int top = 120, bottom = -1;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 100; ++x)
            if (GetPixel(canvas.dc, x, y) != kWhite)
                top = std::min(top, y), bottom = std::max(bottom, y);
    ASSERT_LT(top, bottom) << "several lines drawn";
    // The block's blank margins above and below differ by less than a line.
    EXPECT_LT(std::abs(top - (119 - bottom)), 16);
}

TEST(GraphicsContext, SelectFontNeedsADeviceContext) {
    Owner owner(kWhite);
    GraphicsContext gc(&owner, nullptr);
    EXPECT_FALSE(gc.SelectFont("Arial", 12, 0, 0, 0, 0));
}

// The height asked for is a character height: the font's lfHeight is its
// negation, which for the most negative height is the largest one.
TEST(GraphicsContext, SelectFontNegatesTheHeightWithoutOverflow) {
    const int32_t cases[][2] = {{14, -14}, {-14, 14}, {0, 0}, {INT32_MIN, INT32_MAX}};
    for (const auto& c : cases) {
        Owner owner(kWhite);
        Canvas canvas(4, 4, kWhite);
        GraphicsContext gc(&owner, canvas.dc);
        ASSERT_TRUE(gc.SelectFont("Arial", c[0], 0, 0, 0, 0)) << c[0];
        HGDIOBJ made = SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));  // a peek
        SelectObject(canvas.dc, made);
        LOGFONTA lf{};
        ASSERT_EQ(GetObjectA(made, sizeof lf, &lf), int(sizeof lf));
        EXPECT_EQ(lf.lfHeight, c[1]) << c[0];
    }
}

TEST(GraphicsContext, DestroyingRestoresTheFontItDisplaced) {
    Owner owner(kWhite);
    Canvas canvas(4, 4, kWhite);
    HFONT original = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    SelectObject(canvas.dc, original);
    HGDIOBJ made = nullptr;
    {
        GraphicsContext gc(&owner, canvas.dc);
        ASSERT_TRUE(gc.SelectFont("Arial", 12, 1, 1, 1, 1));
        made = SelectObject(canvas.dc, original);  // peek at what is selected now
        SelectObject(canvas.dc, made);
        LOGFONTA lf{};
        ASSERT_EQ(GetObjectA(made, sizeof lf, &lf), int(sizeof lf));
        EXPECT_EQ(lf.lfHeight, -12);
        EXPECT_EQ(lf.lfWeight, FW_BOLD);
        EXPECT_EQ(lf.lfItalic, 1);
        EXPECT_EQ(lf.lfUnderline, 1);
        EXPECT_EQ(lf.lfCharSet, 1);
        EXPECT_STREQ(lf.lfFaceName, "Arial");
    }
    EXPECT_EQ(SelectObject(canvas.dc, original), original) << "the original font is back";
    EXPECT_EQ(GetObjectType(made), 0u) << "the context's font is deleted";
}

}  // namespace
