// QpmWritePng: pixels to an 8-bit RGB PNG. The file is written under a
// fresh temporary name beside the target and renamed, so a reader never
// sees half an image.
#include "internal/kernel_internal.h"
#include "kernel/atomic_file.h"

#include <png.h>
#include <qpm_platform.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Sink {
    QpmByteSink write;
    void* context;
};

// A refused write leaves by libpng's jump, without its error message:
// the caller tells the reason its own way.
void WriteBytes(png_structp png, png_bytep data, png_size_t size) {
    const Sink* sink = static_cast<const Sink*>(png_get_io_ptr(png));
    if (!sink->write(sink->context, data, size)) png_longjmp(png, 1);
}

void Flush(png_structp) {}

// libpng reports errors by longjmp; nothing here owns C++ objects that
// the jump could skip: the row buffer is passed in from the caller.
bool EncodeRows(Sink* sink, const QpmPixels& pixels, std::vector<unsigned char>& row) {
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
    png_set_write_fn(png, sink, &WriteBytes, &Flush);
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

bool UsablePixels(const QpmPixels* pixels) {
    return pixels && pixels->bgrx && pixels->width > 0 && pixels->height > 0 &&
           pixels->stride >= pixels->width * 4;
}

BOOL WriteToFile(void* file, const void* data, size_t size) {
    return std::fwrite(data, 1, size, static_cast<FILE*>(file)) == size;
}

}  // namespace

BOOL QpmEncodePng(const QpmPixels* pixels, QpmByteSink write, void* context) {
    if (!UsablePixels(pixels) || !write) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<unsigned char> row(size_t(pixels->width) * 3);
    Sink sink{write, context};
    return EncodeRows(&sink, *pixels, row);
}

BOOL QpmWritePng(const QpmPixels* pixels, LPCSTR path) {
    if (!UsablePixels(pixels) || !path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string target = qpm::HostPath(path);
    // Only a regular file (or a symbolic link, itself) is replaced, never
    // a device or a FIFO.
    struct stat info {};
    if (lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A fresh name, created exclusively: nothing planted there is followed.
    std::string temporary;
    const int fd = qpm::CreateSiblingTemp(target, 0666, &temporary);
    FILE* file = fd >= 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        if (fd >= 0) {
            close(fd);
            unlink(temporary.c_str());
        }
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    bool written = QpmEncodePng(pixels, &WriteToFile, file) != FALSE;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    QPM_TRACE("gdi", "wrote %dx%d PNG %s", pixels->width, pixels->height, target.c_str());
    return TRUE;
}
