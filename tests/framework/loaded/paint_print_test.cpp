// Painting directly and through the off-screen bitmap, and printing.
#include "framework/loaded/probe_fixture.h"

namespace {

COLORREF WindowPixel(HWND topLevel, int x, int y) {
    QpmPixels px{};
    if (!QpmGetWindowPixels(topLevel, &px) || x >= px.width || y >= px.height) return CLR_INVALID;
    const unsigned char* p = px.bgrx + y * px.stride + x * 4;
    return RGB(p[2], p[1], p[0]);
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    QpmPixels px{};
    if (!QpmGetBitmapPixels(bitmap, &px) || x >= px.width || y >= px.height) return CLR_INVALID;
    const unsigned char* p = px.bgrx + y * px.stride + x * 4;
    return RGB(p[2], p[1], p[0]);
}

class PaintTest : public ProbeTest {
protected:
    HWND CreateAt(bool offscreen) {
        probe->wantsOffscreen = offscreen ? 1 : 0;
        TestRecord r;
        r.record.width = 40;
        r.record.height = 20;
        r.record.backColor = RGB(0, 0, 128);
        HWND w = Create(r);
        QpmPumpMessages();  // the first paint
        return w;
    }
};

TEST_F(PaintTest, DirectPaintingDrawsIntoTheWindow) {
    HWND w = CreateAt(false);
    ASSERT_NE(w, nullptr);
    ASSERT_GE(probe->eventCount, 1);
    EXPECT_EQ(WindowPixel(host.window(), 5, 5), RGB(255, 0, 0));       // what Paint drew
    EXPECT_EQ(WindowPixel(host.window(), 30, 15), RGB(0, 0, 128));     // the background fill
    EXPECT_EQ(WindowPixel(host.window(), 45, 5), RGB(255, 255, 255));  // the host, outside
    EXPECT_EQ(probe->paintTextColor, RGB(255, 255, 0));
    EXPECT_EQ(probe->paintBkColor, RGB(0, 0, 128));
}

TEST_F(PaintTest, OffscreenPaintingGoesThroughTheBitmap) {
    HWND w = CreateAt(true);
    ASSERT_NE(w, nullptr);
    InstanceRecord* rec = Lock(w);
    HBITMAP bitmap = rec->offscreenBitmap;
    Unlock(w);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(BitmapPixel(bitmap, 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(BitmapPixel(bitmap, 30, 15), RGB(0, 0, 128));
    EXPECT_EQ(WindowPixel(host.window(), 5, 5), RGB(255, 0, 0));
    EXPECT_EQ(WindowPixel(host.window(), 30, 15), RGB(0, 0, 128));
}

// A window resized after creation is painted whole: the bitmap follows
// the client size, so nothing beyond the first size is left unpainted.
TEST_F(PaintTest, OffscreenBitmapFollowsTheWindowSize) {
    HWND w = CreateAt(true);
    ASSERT_NE(w, nullptr);
    MoveWindow(w, 0, 0, 90, 30, TRUE);
    QpmPumpMessages();
    InstanceRecord* rec = Lock(w);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(rec->offscreenBitmap, sizeof bm, &bm), int(sizeof bm));
    Unlock(w);
    EXPECT_EQ(bm.bmWidth, 90);
    EXPECT_EQ(bm.bmHeight, 30);
    EXPECT_EQ(WindowPixel(host.window(), 80, 25), RGB(0, 0, 128));
    EXPECT_EQ(WindowPixel(host.window(), 5, 5), RGB(255, 0, 0));
}

TEST_F(PaintTest, EraseBackgroundFillsWithTheBackColour) {
    HWND w = CreateAt(false);
    HDC dc = GetDC(w);
    RECT all{0, 0, 40, 20};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(SendMessageA(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(GetPixel(dc, 20, 10), RGB(0, 0, 128));
    ReleaseDC(w, dc);
}

TEST_F(PaintTest, PrintPaintsWithTheRecordsOriginAndRestoresIt) {
    HWND w = CreateAt(true);
    ClearEvents();
    HDC printer = QpmCreatePrinterDC(200, 100);
    SetWindowOrgEx(printer, 1, 2, nullptr);
    PrintRecord print{};
    print.hdc = printer;
    print.originX = -30;
    print.originY = -40;
    EXPECT_EQ(SendMessageA(w, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    EXPECT_EQ(Slots(), (std::vector<int32_t>{kSlotPrint, kSlotPaint}));
    EXPECT_EQ(probe->paintPrinting, 1);
    EXPECT_EQ(probe->paintOrigin.x, -30);
    EXPECT_EQ(probe->paintOrigin.y, -40);
    EXPECT_EQ(probe->paintTextColor, RGB(255, 255, 0));
    EXPECT_EQ(probe->paintBkColor, RGB(255, 255, 255));
    POINT origin{};
    GetWindowOrgEx(printer, &origin);
    EXPECT_EQ(origin.x, 1);
    EXPECT_EQ(origin.y, 2);
    // Paint's square lands at the record's offset on the page; no background
    // fill. GetPixel takes logical coordinates: device + the origin (1, 2).
    EXPECT_EQ(GetPixel(printer, 5 + 30 + 1, 5 + 40 + 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(printer, 25 + 30 + 1, 15 + 40 + 2), RGB(255, 255, 255));
    InstanceRecord* rec = Lock(w);
    EXPECT_EQ(rec->printing, 0);
    EXPECT_EQ(rec->printRecord.originX, -30);
    EXPECT_EQ(rec->printRecord.hdc, printer);
    Unlock(w);
    DeleteDC(printer);
}

TEST_F(PaintTest, AComponentThatPrintsItselfIsNotPainted) {
    HWND w = CreateAt(false);
    ClearEvents();
    probe->printResult = 1;
    HDC printer = QpmCreatePrinterDC(50, 50);
    PrintRecord print{};
    print.hdc = printer;
    EXPECT_EQ(SendMessageA(w, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    EXPECT_EQ(Slots(), (std::vector<int32_t>{kSlotPrint}));
    DeleteDC(printer);
}

}  // namespace
