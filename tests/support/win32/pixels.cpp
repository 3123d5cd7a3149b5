// Pixel read-back and a printer-like DC for the Windows builds of the
// tests, with plain GDI: everything is copied into a 32-bit top-down DIB
// section and read from there.
#include <qpm_platform.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// One reusable copy per reader, so each result stays valid until the
// same reader is called again.
struct Snapshot {
    std::vector<unsigned char> bytes;

    BOOL Fill(HDC source, int x, int y, int width, int height, QpmPixels* out);
};

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: the top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Copies (x, y, width, height) of `source` through a DIB section.
BOOL Snapshot::Fill(HDC source, int x, int y, int width, int height, QpmPixels* out) {
    if (!source || !out || width <= 0 || height <= 0) return FALSE;
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC copy = CreateCompatibleDC(source);
    BOOL ok = dib && copy && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(copy, dib);
        ok = BitBlt(copy, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        bytes.assign(static_cast<unsigned char*>(bits),
                     static_cast<unsigned char*>(bits) + size_t(width) * height * 4);
        SelectObject(copy, old);
    }
    if (copy) DeleteDC(copy);
    if (dib) DeleteObject(dib);
    if (!ok) return FALSE;
    *out = QpmPixels{width, height, width * 4, bytes.data()};
    return TRUE;
}

// The printer DCs made so far, with the bitmaps they draw on.
std::vector<std::pair<HDC, HBITMAP>>& PrinterBitmaps() {
    static std::vector<std::pair<HDC, HBITMAP>> list;
    return list;
}

// Frees the bitmaps of printer DCs that have been deleted (or all at exit).
void ReleasePrinterBitmaps(bool all) {
    auto& list = PrinterBitmaps();
    for (auto it = list.begin(); it != list.end();) {
        if (all || GetObjectType(it->first) != OBJ_MEMDC) {
            DeleteObject(it->second);
            it = list.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace

BOOL QpmGetWindowPixels(HWND topLevel, QpmPixels* out) {
    static Snapshot snapshot;
    RECT client{};
    if (!IsWindow(topLevel) || !GetClientRect(topLevel, &client)) return FALSE;
    // Without DCX_CLIPCHILDREN the children's pixels are part of the read.
    HDC dc = GetDCEx(topLevel, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    BOOL ok = snapshot.Fill(dc, 0, 0, client.right, client.bottom, out);
    ReleaseDC(topLevel, dc);
    return ok;
}

BOOL QpmGetBitmapPixels(HBITMAP bitmap, QpmPixels* out) {
    static Snapshot snapshot;
    BITMAP bm{};
    if (!out || GetObjectA(bitmap, sizeof bm, &bm) != int(sizeof bm)) return FALSE;
    BITMAPINFO info = TopDown32(bm.bmWidth, bm.bmHeight);
    snapshot.bytes.assign(size_t(bm.bmWidth) * bm.bmHeight * 4, 0);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), snapshot.bytes.data(), &info,
                         DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != bm.bmHeight) return FALSE;
    *out = QpmPixels{bm.bmWidth, bm.bmHeight, bm.bmWidth * 4, snapshot.bytes.data()};
    return TRUE;
}

BOOL QpmGetDCPixels(HDC hdc, QpmPixels* out) {
    static Snapshot snapshot;
    int width = 0, height = 0;
    if (GetObjectType(hdc) == OBJ_MEMDC) {
        BITMAP bm{};
        HGDIOBJ bitmap = GetCurrentObject(hdc, OBJ_BITMAP);
        if (GetObjectA(bitmap, sizeof bm, &bm) != int(sizeof bm)) return FALSE;
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else {
        RECT client{};
        if (!GetClientRect(WindowFromDC(hdc), &client)) return FALSE;
        width = client.right;
        height = client.bottom;
    }
    // Read in device pixels, whatever origin the DC has been given.
    POINT origin{};
    GetWindowOrgEx(hdc, &origin);
    POINT viewport{};
    GetViewportOrgEx(hdc, &viewport);
    return snapshot.Fill(hdc, origin.x - viewport.x, origin.y - viewport.y, width, height, out);
}

HDC QpmCreatePrinterDC(int width, int height) {
    static const bool registered = (atexit([] { ReleasePrinterBitmaps(true); }), true);
    (void)registered;
    ReleasePrinterBitmaps(false);
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info = TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP page = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = page ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc) {
        if (page) DeleteObject(page);
        return nullptr;
    }
    memset(bits, 0xFF, size_t(width) * height * 4);  // a white page
    SelectObject(dc, page);
    PrinterBitmaps().emplace_back(dc, page);
    return dc;
}
