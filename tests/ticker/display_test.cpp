// What the ticker draws: the sunken bevel, nothing while it waits, text
// only inside the text area, and the text's vertical position.
#include <cstring>

#include "ticker/ticker_fixture.h"

namespace {

constexpr COLORREF kD = 0x808080, kL = 0xC0C0C0, kW = 0xFFFFFF;

COLORREF Pixel(const QpmPixels& px, int x, int y) {
    const unsigned char* p = px.bgrx + y * px.stride + x * 4;
    return RGB(p[2], p[1], p[0]);
}

// Renders a grid of the top-left w x h pixels with one letter per colour.
std::string Grid(const QpmPixels& px, int w, int h, COLORREF background) {
    std::string out;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            COLORREF c = Pixel(px, x, y);
            out += c == kD ? 'D' : c == background ? '.' : c == kL ? 'L' : c == kW ? 'W' : '?';
        }
        out += '\n';
    }
    return out;
}

class Display : public TickerTest {
protected:
    QpmPixels Screen() {
        QpmPumpMessages();
        QpmPixels px{};
        EXPECT_TRUE(QpmGetWindowPixels(host.window(), &px));
        return px;
    }
};

// The two-pixel sunken bevel: dark at the top and left, the highlight at
// the bottom and right; a space as text so only the bevel shows.
const char kSunkenOnWhite[] =
    "DDDDDDDDDDDDDDDDDDDD\n"
    "DDDDDDDDDDDDDDDDDDDL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DD................LL\n"
    "DLLLLLLLLLLLLLLLLLLL\n"
    "LLLLLLLLLLLLLLLLLLLL\n";

TEST_F(Display, SunkenBevelOnWhite) {
    ASSERT_EQ(Start({{"TEXT", " "}, {"SHOWBORDER", ""}}, 20, 12), 1);
    EXPECT_EQ(Grid(Screen(), 20, 12, kW), kSunkenOnWhite);
}

TEST_F(Display, OnGreyTheHighlightIsWhite) {
    backColor = kL;
    ASSERT_EQ(Start({{"TEXT", " "}, {"SHOWBORDER", ""}}, 20, 12), 1);
    std::string expected = kSunkenOnWhite;
    for (char& c : expected) c = c == 'L' ? 'W' : c;
    EXPECT_EQ(Grid(Screen(), 20, 12, kL), expected);
}

TEST_F(Display, WhilePrintingTheHighlightIsLightGrey) {
    backColor = RGB(0, 64, 0);
    ASSERT_EQ(Start({{"TEXT", " "}, {"SHOWBORDER", ""}}, 20, 12), 1);
    HDC printer = QpmCreatePrinterDC(20, 12);
    PrintRecord print{};
    print.hdc = printer;
    EXPECT_EQ(SendMessageA(window, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    QpmPixels px{};
    ASSERT_TRUE(QpmGetDCPixels(printer, &px));
    EXPECT_EQ(Grid(px, 20, 12, kW), kSunkenOnWhite);
    DeleteDC(printer);
}

// Waiting for a host's stream, or in plug-in mode without "TEXT" for the
// browser's: only the background shows, no bevel.
TEST_F(Display, NothingIsDrawnWhileWaitingForTheText) {
    for (bool pluginMode : {false, true}) {
        backColor = RGB(10, 20, 30);
        host.AnswerValue(QPMR_OPENSTREAM, 4);
        ASSERT_NE(Create({{"SRC", "http://h/x"}, {"SHOWBORDER", ""}}, 40, 16), nullptr);
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        static_cast<InstanceRecord*>(GlobalLock(block))->pluginMode = pluginMode ? 1 : 0;
        GlobalUnlock(block);
        ASSERT_EQ(SendMessageA(window, QPMM_START, 0, 0), 1);
        EXPECT_FALSE(Ticker()->active);
        SendMessageA(window, WM_TIMER, 1, 0);  // a tick would repaint
        QpmPixels px = Screen();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(Pixel(px, x, y), RGB(10, 20, 30)) << x << "," << y << " " << pluginMode;
        DestroyWindow(window);
    }
}

TEST_F(Display, TextStaysInsideTheTextArea) {
    ASSERT_EQ(Start({{"TEXT", std::string(40, 'W')}, {"SHOWBORDER", ""}, {"SIZE", "14"}}, 100, 20),
              1);
    for (int i = 0; i < 6; ++i) Tick();
    Screen();                              // nothing pending any more
    const int offset = Ticker()->offsetX;  // 84 - 6 * 8 = 36
    ASSERT_EQ(offset, 36);
    SendMessageA(window, WM_TIMER, 1, 0);  // paints the state above, then moves on
    QpmPixels px{};
    ASSERT_TRUE(QpmGetWindowPixels(host.window(), &px));
    int inside = 0;
    for (int y = 2; y < 18; ++y) {
        for (int x = 2; x < 98; ++x) {
            COLORREF c = Pixel(px, x, y);
            const bool inArea = x >= 4 + offset && x < 96;
            if (!inArea) {
                ASSERT_EQ(c, kW) << "text outside its area at " << x << "," << y;
            }
            if (inArea && c != kW) ++inside;
        }
    }
    EXPECT_GT(inside, 50) << "the text is drawn in its area";
}

// The text's cell is centred vertically: the ticker's picture equals a
// reference drawn at the expected position with the same font.
class TextPosition : public Display {
protected:
    // The font size whose cell height is `cell`, or 0.
    int SizeWithCellHeight(int cell) {
        HDC dc = CreateCompatibleDC(nullptr);
        int found = 0;
        for (int size = 6; size < 30 && !found; ++size) {
            LOGFONTA lf{};
            lf.lfHeight = -size;
            lf.lfWeight = FW_NORMAL;
            strcpy(lf.lfFaceName, "Arial");
            HFONT font = CreateFontIndirectA(&lf);
            HGDIOBJ old = SelectObject(dc, font);
            SIZE extent{};
            GetTextExtentPoint32A(dc, "Ag", 2, &extent);
            if (extent.cy == cell) found = size;
            SelectObject(dc, old);
            DeleteObject(font);
        }
        DeleteDC(dc);
        return found;
    }

    void ExpectTextAt(int size, int clientHeight, int expectedY) {
        ASSERT_EQ(Start({{"TEXT", "Ag|"}, {"SIZE", std::to_string(size)}}, 8, clientHeight), 1);
        QpmPixels px = Screen();
        HDC dc = CreateCompatibleDC(nullptr);
        // Compatible with the screen: a bitmap compatible with a fresh
        // memory DC is monochrome on Windows.
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, clientHeight);
        ReleaseDC(nullptr, screen);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, 8, clientHeight};
        HBRUSH white = CreateSolidBrush(kW);
        FillRect(dc, &all, white);
        DeleteObject(white);
        LOGFONTA lf{};
        lf.lfHeight = -size;
        lf.lfWeight = FW_NORMAL;
        strcpy(lf.lfFaceName, "Arial");
        HFONT font = CreateFontIndirectA(&lf);
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetTextColor(dc, textColor);
        SetBkMode(dc, TRANSPARENT);
        ExtTextOutA(dc, 0, expectedY, ETO_CLIPPED, &all, "Ag|", 3, nullptr);
        QpmPixels ref{};
        ASSERT_TRUE(QpmGetDCPixels(dc, &ref));
        int differing = 0, inked = 0;
        for (int y = 0; y < clientHeight; ++y)
            for (int x = 0; x < 8; ++x) {
                differing += Pixel(px, x, y) != Pixel(ref, x, y);
                inked += Pixel(ref, x, y) != kW;
            }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(inked, 0);
        SelectObject(dc, oldFont);
        DeleteObject(font);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

TEST_F(TextPosition, CellOfSixteenInTwentyPixelsStartsAtTwo) {
    int size = SizeWithCellHeight(16);
    ASSERT_NE(size, 0) << "no font size gives a 16-pixel cell";
    ExpectTextAt(size, 20, 2);
}

TEST_F(TextPosition, ACellTallerThanTheWindowStartsAtTheTop) {
    int size = SizeWithCellHeight(16);
    ASSERT_NE(size, 0);
    ExpectTextAt(size, 15, 0);  // (15 - 16) / 2 truncates to 0
}

TEST_F(Display, WritesAPictureOfARunningTicker) {
    backColor = RGB(16, 32, 96);
    textColor = RGB(255, 220, 0);
    ASSERT_EQ(Start({{"TEXT", "Breaking: the ticker scrolls with real fonts"},
                     {"SHOWBORDER", ""},
                     {"SIZE", "16"},
                     {"FONT", "Arial"}},
                    300, 26),
              1);
    for (int i = 0; i < 30; ++i) Tick();
    QpmPixels px = Screen();
    std::string path = tempDir + "/ticker.png";
    ASSERT_TRUE(QpmWritePng(&px, path.c_str()));
    files.push_back(path);
    if (const char* keep = getenv("QPM_KEEP_PNG")) {
        std::string copy = std::string("cp ") + path + " " + keep;
        EXPECT_EQ(system(copy.c_str()), 0);
    }
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char magic[8] = {};
    EXPECT_EQ(fread(magic, 1, 8, f), 8u);
    fclose(f);
    EXPECT_EQ(memcmp(magic, "\x89PNG\r\n\x1a\n", 8), 0);
}

}  // namespace
