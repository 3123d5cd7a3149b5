// Single pixels, host read-back (bitmaps, DCs, printers), surface
// versions and PNG output.
#include <gtest/gtest.h>
#include <png.h>
#include <qpm_platform.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gdi_test_util.h"

namespace {

using gdi_test::MemoryDC;

TEST(Pixels, SetPixelKeepsTheExactColour) {
    MemoryDC m(8, 8);
    EXPECT_EQ(SetPixel(m.dc(), 1, 1, 0x123456), 0x123456u);
    EXPECT_EQ(GetPixel(m.dc(), 1, 1), 0x123456u);
    EXPECT_EQ(GetPixel(m.dc(), -1, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(m.dc(), 8, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(m.dc(), 0, 8, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(Pixels, BitmapReadBackIsBlueGreenRedX) {
    MemoryDC m(3, 2);
    SetPixel(m.dc(), 2, 1, RGB(0x11, 0x22, 0x33));
    QpmPixels view{};
    ASSERT_TRUE(QpmGetBitmapPixels(m.bitmap(), &view));
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.stride, 12);
    const unsigned char* p = view.bgrx + view.stride + 2 * 4;
    EXPECT_EQ(p[0], 0x33);
    EXPECT_EQ(p[1], 0x22);
    EXPECT_EQ(p[2], 0x11);
    QpmPixels viaDc{};
    ASSERT_TRUE(QpmGetDCPixels(m.dc(), &viaDc));
    EXPECT_EQ(viaDc.bgrx, view.bgrx);
    EXPECT_FALSE(QpmGetBitmapPixels(nullptr, &view));
    EXPECT_FALSE(QpmGetDCPixels(nullptr, &view));
}

TEST(PrinterDC, IsAWhitePageFreedByDeleteDC) {
    EXPECT_EQ(QpmCreatePrinterDC(0, 10), nullptr);
    HDC printer = QpmCreatePrinterDC(30, 20);
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(GetPixel(printer, 29, 19), 0xFFFFFFu);
    EXPECT_EQ(GetPixel(printer, 30, 0), CLR_INVALID);
    RECT r{5, 5, 10, 10};
    FillRect(printer, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(printer, 5, 5), 0u);
    QpmPixels page{};
    ASSERT_TRUE(QpmGetDCPixels(printer, &page));
    EXPECT_EQ(page.width, 30);
    EXPECT_EQ(page.height, 20);
    EXPECT_EQ(GetDeviceCaps(printer, BITSPIXEL), 32);
    EXPECT_TRUE(DeleteDC(printer));
    EXPECT_FALSE(QpmGetDCPixels(printer, &page));
}

std::vector<unsigned char> ReadPngRgb(const std::string& path, int* w, int* h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<unsigned char> rgb;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
    *w = int(image.width);
    *h = int(image.height);
    return rgb;
}

TEST(WritePng, WritesRgbThatReadsBack) {
    MemoryDC m(5, 4);
    SetPixel(m.dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(m.dc(), 4, 3, RGB(0, 0, 255));
    SetPixel(m.dc(), 2, 1, RGB(10, 200, 30));
    QpmPixels view{};
    ASSERT_TRUE(QpmGetBitmapPixels(m.bitmap(), &view));
    std::string path = testing::TempDir() + "qpm_gdi_write_test.png";
    ASSERT_TRUE(QpmWritePng(&view, path.c_str()));
    int w = 0, h = 0;
    std::vector<unsigned char> rgb = ReadPngRgb(path, &w, &h);
    ASSERT_EQ(rgb.size(), 5u * 4u * 3u);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 4);
    auto at = [&](int x, int y) {
        const unsigned char* p = &rgb[size_t(y * w + x) * 3];
        return RGB(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(at(4, 3), RGB(0, 0, 255));
    EXPECT_EQ(at(2, 1), RGB(10, 200, 30));
    EXPECT_EQ(at(1, 1), RGB(255, 255, 255));
    std::remove(path.c_str());
}

TEST(WritePng, FailsCleanly) {
    MemoryDC m(2, 2);
    QpmPixels view{};
    QpmGetBitmapPixels(m.bitmap(), &view);
    EXPECT_FALSE(QpmWritePng(nullptr, "/tmp/x.png"));
    EXPECT_FALSE(QpmWritePng(&view, nullptr));
    EXPECT_FALSE(QpmWritePng(&view, "/nonexistent-dir/qpm/x.png"));
    QpmPixels empty{};
    EXPECT_FALSE(QpmWritePng(&empty, "/tmp/x.png"));
}

}  // namespace
