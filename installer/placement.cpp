// Moving or copying the downloaded module to its place.
#include "placement.h"

#include <windows.h>

#include <cstring>

#include "module_path.h"

namespace {

constexpr UINT kCopyPiece = 16384;

// Both paths on one drive ("C:..." and "c:..."): a rename moves the file.
bool SameDrive(const char* a, const char* b) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return a[0] != '\0' && upper(a[0]) == upper(b[0]) && a[1] == ':' && b[1] == ':';
}

// Copies every byte of `from` into `to`; false at the first failed
// read or short write. The _l functions answer HFILE_ERROR as an
// unsigned count, so it is tested for explicitly.
bool CopyBytes(HFILE from, HFILE to) {
    static char piece[kCopyPiece];
    for (;;) {
        UINT got = _lread(from, piece, kCopyPiece);
        if (got == UINT(HFILE_ERROR)) return false;
        if (got == 0) return true;
        if (_lwrite(to, piece, got) != got) return false;
    }
}

bool CopyBeside(const char* from, const char* to) {
    char directory[MAX_PATH + 1];
    size_t length = size_t(FileNamePart(to) - to);
    if (length == 0 || length >= sizeof directory) return false;
    memcpy(directory, to, length);
    directory[length] = '\0';
    char sibling[MAX_PATH + 1];
    if (GetTempFileNameA(directory, "QPM", 0, sibling) == 0) return false;

    bool whole = false;
    HFILE source = _lopen(from, OF_READ | OF_SHARE_DENY_WRITE);
    if (source != HFILE_ERROR) {
        HFILE target = _lcreat(sibling, 0);
        if (target != HFILE_ERROR) {
            whole = CopyBytes(source, target);
            if (_lclose(target) == HFILE_ERROR) whole = false;
        }
        _lclose(source);
    }
    if (whole && MoveFileExA(sibling, to, MOVEFILE_REPLACE_EXISTING)) return true;
    DeleteFileA(sibling);
    return false;
}

}  // namespace

bool PlaceModule(const char* from, const char* to) {
    if (SameDrive(from, to)) return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
    return CopyBeside(from, to);
}
