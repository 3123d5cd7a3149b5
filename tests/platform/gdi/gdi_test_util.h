// Helpers for drawing tests: a memory DC on a fresh bitmap, pixel grids
// as string art, and comparisons that print expected and actual grids
// side by side.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/host_extensions.h"

namespace gdi_test {

// A memory DC with a w x h bitmap selected, filled with `fill`.
class MemoryDC {
public:
    MemoryDC(int w, int h, COLORREF fill = 0xFFFFFF) : width_(w), height_(h) {
        dc_ = CreateCompatibleDC(nullptr);
        // Compatible with the screen: a bitmap compatible with a fresh
        // memory DC is monochrome on Windows.
        HDC screen = GetDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~MemoryDC() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Fill(COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, width_, height_};
        POINT org;
        SetWindowOrgEx(dc_, 0, 0, &org);
        FillRect(dc_, &all, brush);
        SetWindowOrgEx(dc_, org.x, org.y, nullptr);
        DeleteObject(brush);
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Colour -> character for grids; anything else shows as '?'.
using Legend = std::map<COLORREF, char>;
inline Legend BlackWhite() { return {{0x000000, '#'}, {0xFFFFFF, '.'}}; }

inline std::vector<std::string> ReadGrid(HDC dc, int w, int h, const Legend& legend) {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) {
        std::string row;
        for (int x = 0; x < w; ++x) {
            auto found = legend.find(GetPixel(dc, x, y));
            row += found == legend.end() ? '?' : found->second;
        }
        rows.push_back(row);
    }
    return rows;
}

// Compares the DC's pixels (logical coordinates from 0,0) with the grid.
inline ::testing::AssertionResult GridIs(HDC dc, const std::vector<std::string>& expected,
                                         const Legend& legend = BlackWhite()) {
    int w = expected.empty() ? 0 : int(expected[0].size());
    std::vector<std::string> actual = ReadGrid(dc, w, int(expected.size()), legend);
    if (actual == expected) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "\n  expected" << std::string(size_t(std::max(0, w - 6)), ' ') << "   actual\n";
    for (size_t y = 0; y < expected.size(); ++y)
        out << "  " << expected[y] << "   " << actual[y]
            << (expected[y] == actual[y] ? "" : "   <- y=" + std::to_string(y)) << "\n";
    return ::testing::AssertionFailure() << out.str();
}

// Pixels of the DC (w x h from 0,0) that are not `background`.
inline std::vector<POINT> PixelsNot(HDC dc, int w, int h, COLORREF background) {
    std::vector<POINT> set;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (GetPixel(dc, x, y) != background) set.push_back(POINT{x, y});
    return set;
}

inline std::string Describe(std::vector<POINT> points) {
    std::sort(points.begin(), points.end(),
              [](POINT a, POINT b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    std::ostringstream out;
    for (POINT p : points) out << "(" << p.x << "," << p.y << ")";
    return out.str();
}

// A LOGFONTA with a face name, height and weight.
inline LOGFONTA Font(const char* face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWeight = weight;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) log.lfFaceName[i] = face[i];
    return log;
}

}  // namespace gdi_test

namespace gdi_test {

// The bounding box of the pixels that are not `background` (empty when
// there are none).
inline RECT InkBox(HDC dc, int w, int h, COLORREF background) {
    RECT box{w, h, 0, 0};
    for (POINT p : PixelsNot(dc, w, h, background)) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x + 1);
        box.bottom = std::max(box.bottom, p.y + 1);
    }
    if (box.right <= box.left) box = RECT{0, 0, 0, 0};
    return box;
}

// A memory DC with a font selected, deleted with it.
class TextDC : public MemoryDC {
public:
    TextDC(int w, int h, const LOGFONTA& log, COLORREF fill = 0xFFFFFF) : MemoryDC(w, h, fill) {
        font_ = CreateFontIndirectA(&log);
        old_ = SelectObject(dc(), font_);
    }
    ~TextDC() {
        SelectObject(dc(), old_);
        DeleteObject(font_);
    }
    SIZE Extent(const char* text) const {
        SIZE size{-1, -1};
        GetTextExtentPoint32A(dc(), text, int(std::char_traits<char>::length(text)), &size);
        return size;
    }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc(), &tm);
        return tm;
    }

private:
    HFONT font_;
    HGDIOBJ old_;
};

}  // namespace gdi_test

namespace gdi_test {

inline std::string RectText(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

}  // namespace gdi_test
