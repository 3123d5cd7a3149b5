// libpng into a StagedFile.
#include "output/png_file.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "output/staged_file.h"

namespace {

void WriteBytes(png_structp png, png_bytep data, png_size_t size) {
    static_cast<StagedFile*>(png_get_io_ptr(png))->Write(data, size);
}

void Flush(png_structp) {}

// libpng reports errors by longjmp: nothing here owns C++ objects that
// the jump could skip (the row comes from the caller).
bool WriteRows(StagedFile* file, const QpmPixels& pixels, std::vector<png_byte>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, file, &WriteBytes, &Flush);
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height; ++y) {
        const unsigned char* bgrx = pixels.bgrx + ptrdiff_t(y) * pixels.stride;
        for (size_t x = 0; x < size_t(pixels.width); ++x) {
            row[x * 3] = bgrx[x * 4 + 2];
            row[x * 3 + 1] = bgrx[x * 4 + 1];
            row[x * 3 + 2] = bgrx[x * 4];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePngFile(const QpmPixels& pixels, const std::string& path, std::string* error) {
    if (pixels.bgrx == nullptr || pixels.width <= 0 || pixels.height <= 0) {
        *error = "the page has no pixels (" + std::to_string(pixels.width) + " x " +
                 std::to_string(pixels.height) + ") to write to " + path;
        return false;
    }
    StagedFile file(path);
    if (!file.Open(error)) return false;
    std::vector<png_byte> row(size_t(pixels.width) * 3);
    if (!WriteRows(&file, pixels, row) && !file.failed()) {
        *error = "cannot write " + path + ": the PNG encoder failed";
        return false;
    }
    return file.Commit(error);
}
