// Reading the ticker's data file in 2048-byte pieces.
#include "data_file.h"

#include <cstdio>

#include "message_ticker.h"

namespace {

constexpr UINT kReadPiece = 2048;

// The reason a file is refused, for whoever watches (OutputDebugStringA).
void Refuse(const char* path, const char* why) {
    char message[600];
    snprintf(message, sizeof message, "ticker: data file %.400s %s", path, why);
    OutputDebugStringA(message);
}

}  // namespace

HGLOBAL ReadDataFile(const char* path, int32_t* length) {
    OFSTRUCT info{};
    HFILE file = OpenFile(path, &info, OF_READ);
    if (file == HFILE_ERROR) return nullptr;
    const LONG size = _llseek(file, 0, FILE_END);
    if (size < 0 || size > MessageTicker::kLargestText) {
        char why[96];
        // Windows hands a size from 2 to 4 GB back negative.
        if (size != HFILE_ERROR || GetLastError() == ERROR_FILE_TOO_LARGE)
            snprintf(why, sizeof why, "is larger than %d bytes, the most a ticker holds",
                     int(MessageTicker::kLargestText));
        else
            snprintf(why, sizeof why, "has no size to read (not a regular file?)");
        Refuse(path, why);
        _lclose(file);
        return nullptr;
    }
    *length = size;
    _llseek(file, 0, FILE_BEGIN);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size_t(size) + 2);
    if (block == nullptr) {
        _lclose(file);
        return nullptr;
    }
    char* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr) {
        GlobalFree(block);
        _lclose(file);
        return nullptr;
    }
    LONG position = 0;
    while (position < size) {
        UINT want = UINT(size - position) < kReadPiece ? UINT(size - position) : kReadPiece;
        UINT got = _lread(file, bytes + position, want);
        if (got == UINT(HFILE_ERROR)) {
            GlobalUnlock(block);
            GlobalFree(block);
            _lclose(file);
            return nullptr;
        }
        // A file that shrank since it was measured ends where it ends now.
        if (got == 0) break;
        position += LONG(got);
    }
    *length = position;
    bytes[position] = '\0';
    GlobalUnlock(block);
    _lclose(file);
    return block;
}
