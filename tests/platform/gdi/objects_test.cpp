// GDI objects and DC state: stock objects, SelectObject and deferred
// DeleteObject, GetObjectA, DC defaults and attribute setters.
#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include <cstring>

#include "gdi_test_util.h"

namespace {

using gdi_test::MemoryDC;

TEST(StockObjects, ExistWithTheirTypesAndSurviveDeleteObject) {
    struct Row {
        int index;
        DWORD type;
    } rows[] = {{WHITE_BRUSH, OBJ_BRUSH},   {LTGRAY_BRUSH, OBJ_BRUSH},    {GRAY_BRUSH, OBJ_BRUSH},
                {DKGRAY_BRUSH, OBJ_BRUSH},  {BLACK_BRUSH, OBJ_BRUSH},     {NULL_BRUSH, OBJ_BRUSH},
                {WHITE_PEN, OBJ_PEN},       {BLACK_PEN, OBJ_PEN},         {NULL_PEN, OBJ_PEN},
                {OEM_FIXED_FONT, OBJ_FONT}, {ANSI_FIXED_FONT, OBJ_FONT},  {ANSI_VAR_FONT, OBJ_FONT},
                {SYSTEM_FONT, OBJ_FONT},    {DEFAULT_GUI_FONT, OBJ_FONT}, {DC_BRUSH, OBJ_BRUSH},
                {DC_PEN, OBJ_PEN}};
    for (const Row& row : rows) {
        HGDIOBJ object = GetStockObject(row.index);
        ASSERT_NE(object, nullptr) << "index " << row.index;
        EXPECT_EQ(GetStockObject(row.index), object) << "index " << row.index;
        EXPECT_EQ(GetObjectType(object), row.type) << "index " << row.index;
        EXPECT_EQ(DeleteObject(object), TRUE) << "index " << row.index;
        EXPECT_EQ(GetObjectType(object), row.type) << "still alive, index " << row.index;
    }
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(21), nullptr);
}

TEST(StockObjects, BrushesPaintTheirColours) {
    MemoryDC m(6, 1);
    int brushes[] = {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH};
    COLORREF colours[] = {0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000};
    for (int i = 0; i < 5; ++i) {
        RECT r{i, 0, i + 1, 1};
        FillRect(m.dc(), &r, static_cast<HBRUSH>(GetStockObject(brushes[i])));
        EXPECT_EQ(GetPixel(m.dc(), i, 0), colours[i]) << "brush " << brushes[i];
    }
    RECT last{5, 0, 6, 1};
    EXPECT_EQ(FillRect(m.dc(), &last, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 1);
    EXPECT_EQ(GetPixel(m.dc(), 5, 0), 0xFFFFFFu);  // the null brush paints nothing
}

// Without SetDCBrushColor/SetDCPenColor the DC's brush is white and its pen black.
TEST(StockObjects, DcBrushAndPenDrawWhiteAndBlack) {
    MemoryDC m(4, 3, 0x808080);
    RECT corner{0, 0, 2, 1};
    EXPECT_EQ(FillRect(m.dc(), &corner, static_cast<HBRUSH>(GetStockObject(DC_BRUSH))), 1);
    EXPECT_EQ(GetPixel(m.dc(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(m.dc(), 2, 0), 0x808080u);
    m.Fill(0x808080);
    HGDIOBJ oldBrush = SelectObject(m.dc(), GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(m.dc(), GetStockObject(DC_PEN));
    EXPECT_TRUE(Rectangle(m.dc(), 0, 0, 4, 3));
    EXPECT_EQ(GetPixel(m.dc(), 0, 0), 0x000000u);  // the outline
    EXPECT_EQ(GetPixel(m.dc(), 1, 1), 0xFFFFFFu);  // the inside
    SelectObject(m.dc(), oldBrush);
    SelectObject(m.dc(), oldPen);
}

TEST(DcDefaults, MatchAFreshMemoryDC) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_MEMDC));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), 0xFFFFFFu);
    EXPECT_EQ(GetTextColor(dc), 0u);
    EXPECT_EQ(GetTextAlign(dc), 0u);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    POINT org{7, 7};
    EXPECT_TRUE(GetWindowOrgEx(dc, &org));
    EXPECT_EQ(org.x, 0);
    EXPECT_EQ(org.y, 0);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));  // the handle is dead now
    EXPECT_EQ(GetBkMode(dc), 0);
}

TEST(DcAttributes, SettersReturnThePreviousValue) {
    MemoryDC m(1, 1);
    HDC dc = m.dc();
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkMode(dc, 7), 0);  // invalid: refused, mode unchanged
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(SetTextColor(dc, 0x123456), 0u);
    EXPECT_EQ(SetTextColor(dc, 0x000001), 0x123456u);
    EXPECT_EQ(SetBkColor(dc, 0x0000FF), 0xFFFFFFu);
    EXPECT_EQ(GetBkColor(dc), 0x0000FFu);
    EXPECT_EQ(SetTextAlign(dc, TA_TOP | TA_LEFT), 0u);
    POINT old{9, 9};
    EXPECT_TRUE(SetWindowOrgEx(dc, 2, 1, &old));
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
    EXPECT_TRUE(SetWindowOrgEx(dc, 5, 6, &old));
    EXPECT_EQ(old.x, 2);
    EXPECT_EQ(old.y, 1);
    EXPECT_TRUE(SetViewportOrgEx(dc, 3, 4, &old));
    EXPECT_EQ(old.x, 0);
    EXPECT_EQ(old.y, 0);
}

TEST(SelectObject, OnAFreshDCReturnsTheDefaults) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0x0000FF);
    HBRUSH brush = CreateSolidBrush(0x00FF00);
    LOGFONTA log = gdi_test::Font("Arial", -12);
    HFONT font = CreateFontIndirectA(&log);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 3);
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    ASSERT_NE(defaultBitmap, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(defaultBitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(SelectObject(dc, pen), pen);  // already selected: itself
    EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(0x12345)), nullptr);
    EXPECT_EQ(SelectObject(dc, defaultBitmap), bitmap);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
    for (HGDIOBJ object : {HGDIOBJ(pen), HGDIOBJ(brush), HGDIOBJ(font), HGDIOBJ(bitmap)})
        EXPECT_TRUE(DeleteObject(object));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(SelectObject, ABitmapLivesInOneDCOnly) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 2, 2);
    HGDIOBJ old = SelectObject(first, bitmap);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    // The stock default bitmap is shared by every fresh memory DC.
    HGDIOBJ secondDefault = SelectObject(second, old);
    EXPECT_EQ(secondDefault, old);
    SelectObject(first, old);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);  // free again
    SelectObject(second, old);
    DeleteObject(bitmap);
    DeleteDC(first);
    DeleteDC(second);
}

TEST(SelectObject, PrinterAndBogusDCsTakeNoBitmap) {
    QPM_REQUIRES_HOST_EXTENSION("printer DC (a memory DC stands in on Windows)");
    HDC printer = QpmCreatePrinterDC(10, 10);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(GetObjectType(printer), DWORD(OBJ_DC));
    HBITMAP bitmap = CreateCompatibleBitmap(printer, 2, 2);
    EXPECT_EQ(SelectObject(printer, bitmap), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(0x4242), GetStockObject(BLACK_PEN)), nullptr);
    DeleteObject(bitmap);
    EXPECT_TRUE(DeleteDC(printer));
}

// DeleteObject of a selected object succeeds but only marks it: a pen,
// brush or font dies when replaced, a bitmap when its DC is deleted.
TEST(DeleteObject, OfASelectedObjectWaitsForItsRelease) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH brush = CreateSolidBrush(0);
    LOGFONTA log = gdi_test::Font("Arial", -12);
    HFONT font = CreateFontIndirectA(&log);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 2, 2);
    HGDIOBJ objects[] = {pen, brush, font, bitmap};
    DWORD types[] = {OBJ_PEN, OBJ_BRUSH, OBJ_FONT, OBJ_BITMAP};
    for (HGDIOBJ object : objects) SelectObject(dc, object);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(DeleteObject(objects[i]), TRUE);
        EXPECT_EQ(GetObjectType(objects[i]), types[i]) << "still selected";
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(bitmap), DWORD(OBJ_BITMAP));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(DeleteObject, RefusesNullAndDeadHandles) {
    EXPECT_EQ(DeleteObject(nullptr), FALSE);
    HBRUSH brush = CreateSolidBrush(0x123456);
    EXPECT_EQ(DeleteObject(brush), TRUE);
    EXPECT_EQ(DeleteObject(brush), FALSE);
    EXPECT_EQ(GetObjectType(brush), 0u);
    HBRUSH next = CreateSolidBrush(0);  // may reuse the slot, never the handle
    EXPECT_NE(next, brush);
    EXPECT_EQ(GetObjectType(brush), 0u);
    DeleteObject(next);
}

TEST(DeleteObject, APenSelectedIntoTwoDCsDiesWithItsLastSelection) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    SelectObject(a, pen);
    SelectObject(b, pen);
    EXPECT_TRUE(DeleteObject(pen));
    DeleteDC(a);
    EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
    DeleteDC(b);
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(GetObjectA, DescribesBitmapsAndFonts) {
    MemoryDC m(1, 1);
    HBITMAP bitmap = CreateCompatibleBitmap(m.dc(), 5, 3);
    EXPECT_EQ(GetObjectA(bitmap, 0, nullptr), int(sizeof(BITMAP)));
    BITMAP info{};
    ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmWidthBytes, 20);
    EXPECT_EQ(info.bmPlanes, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(GetObjectA(bitmap, sizeof info - 1, &info), 0);
    DeleteObject(bitmap);

    LOGFONTA log = gdi_test::Font("Arial", -12, FW_BOLD);
    log.lfItalic = 1;
    HFONT font = CreateFontIndirectA(&log);
    LOGFONTA back{};
    ASSERT_EQ(GetObjectA(font, sizeof back, &back), int(sizeof back));
    EXPECT_EQ(std::memcmp(&back, &log, sizeof log), 0);
    EXPECT_EQ(GetObjectA(font, 4, &back), 4);  // as much as fits
    DeleteObject(font);
    EXPECT_EQ(GetObjectA(font, sizeof back, &back), 0);
}

// A negative width or height stands for its absolute value.
TEST(CreateCompatibleBitmap, NegativeSizesCountAsTheirAbsoluteValue) {
    HDC screen = GetDC(nullptr);
    struct {
        int width, height;
        LONG bmWidth, bmHeight;
    } cases[] = {{-1, 5, 1, 5}, {5, -1, 5, 1}, {-3, -2, 3, 2}, {-100000, 5, 100000, 5}};
    for (const auto& c : cases) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, c.width, c.height);
        BITMAP info{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof info, &info), int(sizeof info))
            << c.width << "x" << c.height;
        EXPECT_EQ(info.bmWidth, c.bmWidth) << c.width << "x" << c.height;
        EXPECT_EQ(info.bmHeight, c.bmHeight) << c.width << "x" << c.height;
        EXPECT_EQ(info.bmBitsPixel, 32) << c.width << "x" << c.height;
        DeleteObject(bitmap);
    }
    SetLastError(0xDEAD);
    EXPECT_EQ(CreateCompatibleBitmap(screen, 1 << 20, 1 << 20), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, 5), nullptr);
    ReleaseDC(nullptr, screen);
}

// The layer's bitmaps are always 32 bits per pixel; GDI makes a bitmap
// compatible with a fresh memory DC, or of zero size, monochrome.
TEST(CreateCompatibleBitmap, AlwaysThirtyTwoBitsAndZeroSizeIsOnePixel) {
    QPM_DIFFERS_FROM_WIN32(
        "a bitmap compatible with a fresh memory DC, or of zero size, is monochrome on Windows");
    MemoryDC m(1, 1);
    HBITMAP empty = CreateCompatibleBitmap(m.dc(), 0, 0);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(empty, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 32);
    DeleteObject(empty);
    HDC fresh = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(fresh, 2, 2);
    ASSERT_EQ(GetObjectA(colour, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 32);
    DeleteObject(colour);
    DeleteDC(fresh);
}

TEST(UnrealizeObject, AcceptsAnyObjectButNull) {
    HBRUSH brush = CreateSolidBrush(0);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    EXPECT_TRUE(UnrealizeObject(brush));
    EXPECT_TRUE(UnrealizeObject(pen));
    EXPECT_TRUE(UnrealizeObject(GetStockObject(GRAY_BRUSH)));
    EXPECT_FALSE(UnrealizeObject(nullptr));
    DeleteObject(brush);
    DeleteObject(pen);
}

// A style GDI does not know makes a solid pen; PS_NULL draws nothing.
TEST(CreatePen, UnknownStylesDrawSolid) {
    struct {
        int style;
        COLORREF drawn;
    } cases[] = {{42, 0x0000FF},    {7, 0x0000FF},        {-1, 0x0000FF},
                 {0x100, 0x0000FF}, {PS_SOLID, 0x0000FF}, {PS_NULL, 0xFFFFFF}};
    for (const auto& c : cases) {
        MemoryDC m(8, 3);
        HPEN pen = CreatePen(c.style, 1, 0x0000FF);
        ASSERT_EQ(GetObjectType(pen), DWORD(OBJ_PEN)) << "style " << c.style;
        HGDIOBJ old = SelectObject(m.dc(), pen);
        MoveToEx(m.dc(), 0, 1, nullptr);
        EXPECT_TRUE(LineTo(m.dc(), 8, 1));
        EXPECT_EQ(GetPixel(m.dc(), 0, 1), c.drawn) << "style " << c.style;
        EXPECT_EQ(GetPixel(m.dc(), 7, 1), c.drawn) << "style " << c.style;
        SelectObject(m.dc(), old);
        DeleteObject(pen);
    }
}

TEST(CreateFontIndirectA, RefusesANullDescription) {
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

}  // namespace
