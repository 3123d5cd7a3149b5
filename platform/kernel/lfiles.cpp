// The old handle-based file functions: _lcreat, _lopen, _lread, _lwrite,
// _hread, _hwrite, _llseek, _lclose.
#include "internal/kernel_internal.h"
#include "kernel/file_errors.h"
#include "kernel/file_table.h"

#include <unistd.h>
#include <cerrno>

namespace {

constexpr int kReadOnlyAttribute = 1;

// The entry of a handle that may do `read` or write; nullptr with the last
// error set otherwise.
qpm::OpenFileEntry* Usable(HFILE file, bool read) {
    qpm::OpenFileEntry* entry = qpm::FindOpenFile(file);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (read ? !entry->access.read : !entry->access.write) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return entry;
}

// Everything but a small write starts with the gathered writes in their
// files; a handle whose gathered write failed reports that first.
bool FlushedAndFine(qpm::OpenFileEntry* entry) {
    qpm::FlushGatheredWrites();
    if (DWORD error = qpm::TakeDeferredError(entry)) {
        SetLastError(error);
        return false;
    }
    return true;
}

// Reads until `count` bytes or the end of the file; -1 on error.
LONG ReadFully(qpm::OpenFileEntry* entry, char* buffer, LONG count) {
    LONG done = 0;
    while (done < count) {
        ssize_t n = read(entry->fd, buffer + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            qpm::SetLastErrorFromErrno(errno, entry->path);
            return -1;
        }
        if (n == 0) break;
        done += LONG(n);
    }
    return done;
}

// A write of zero bytes sets the end of the file at the current position.
LONG TruncateHere(qpm::OpenFileEntry* entry) {
    off_t here = lseek(entry->fd, 0, SEEK_CUR);
    if (here < 0 || ftruncate(entry->fd, here) != 0) {
        qpm::SetLastErrorFromErrno(errno, entry->path);
        return -1;
    }
    return 0;
}

}  // namespace

HFILE WINAPI _lcreat(LPCSTR path, int attribute) {
    if (!path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return HFILE_ERROR;
    }
    int permissions = (attribute & kReadOnlyAttribute) ? 0444 : 0666;
    return qpm::OpenHostFile(qpm::HostPath(path), OF_READWRITE, true, permissions);
}

HFILE WINAPI _lopen(LPCSTR path, int mode) {
    if (!path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return HFILE_ERROR;
    }
    return qpm::OpenHostFile(qpm::HostPath(path), UINT(mode), false);
}

LONG WINAPI _hread(HFILE file, LPVOID buffer, LONG count) {
    qpm::OpenFileEntry* entry = Usable(file, true);
    if (!entry) return HFILE_ERROR;
    if (count < 0 || (count > 0 && !buffer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (!FlushedAndFine(entry)) return HFILE_ERROR;
    return ReadFully(entry, static_cast<char*>(buffer), count);
}

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count) {
    return UINT(_hread(file, buffer, LONG(count)));
}

LONG WINAPI _hwrite(HFILE file, LPCCH buffer, LONG count) {
    qpm::OpenFileEntry* entry = Usable(file, false);
    if (!entry) return HFILE_ERROR;
    if (count == 0) return FlushedAndFine(entry) ? TruncateHere(entry) : HFILE_ERROR;
    if (count < 0 || !buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    return qpm::GatherWrite(entry, buffer, count);
}

UINT WINAPI _lwrite(HFILE file, LPCCH buffer, UINT count) {
    return UINT(_hwrite(file, buffer, LONG(count)));
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin) {
    qpm::OpenFileEntry* entry = qpm::FindOpenFile(file);
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < FILE_BEGIN || origin > FILE_END) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    if (!FlushedAndFine(entry)) return HFILE_ERROR;
    const off_t before = lseek(entry->fd, 0, SEEK_CUR);
    off_t at = lseek(entry->fd, offset, kWhence[origin]);
    if (at < 0) {
        // The only way lseek fails on a regular file is a negative result.
        SetLastError(errno == EINVAL ? ERROR_NEGATIVE_SEEK : qpm::Win32ErrorFromErrno(errno, ""));
        return HFILE_ERROR;
    }
    if (at > 0x7FFFFFFF) {
        // A position a LONG cannot hold would come back wrapped (a file of
        // 4 GB and a few bytes would measure a few bytes): fail instead,
        // where the file was.
        lseek(entry->fd, before, SEEK_SET);
        SetLastError(ERROR_FILE_TOO_LARGE);
        return HFILE_ERROR;
    }
    return LONG(at);
}

// The handle goes even when its last gathered bytes cannot be written;
// the caller learns of it from the result.
HFILE WINAPI _lclose(HFILE file) {
    DWORD writeError = 0;
    if (!qpm::CloseOpenFile(file, &writeError)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return HFILE_ERROR;
    }
    if (writeError == 0) return 0;
    SetLastError(writeError);
    return HFILE_ERROR;
}
