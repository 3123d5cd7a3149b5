// Gathered writes: many small writes through a handle become one large
// write to the file, made before anything else touches a file.
//
// Only one handle gathers at a time: a write through another handle puts
// the first one's bytes in the file before it goes on, so writes reach
// files in the order they were made even when two handles share a file.
#include "kernel/file_errors.h"
#include "kernel/file_table.h"

#include <unistd.h>
#include <cerrno>
#include <cstdlib>

namespace qpm {
namespace {

// Writes smaller than this are gathered, up to this much per handle.
constexpr size_t kGatherLimit = size_t(256) * 1024;

OpenFileEntry* gathering = nullptr;  // the handle holding gathered bytes, if any

void FlushAtExit() { FlushGatheredWrites(); }

}  // namespace

LONG WriteFully(OpenFileEntry* entry, const char* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = write(entry->fd, buffer + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastErrorFromErrno(n < 0 ? errno : ENOSPC, entry->path);
            return -1;
        }
        done += size_t(n);
    }
    return LONG(done);
}

void FlushGatheredWrites() {
    OpenFileEntry* entry = gathering;
    if (entry == nullptr) return;
    gathering = nullptr;
    const DWORD saved = GetLastError();  // a flush is no call of the caller's
    if (WriteFully(entry, entry->gathered.data(), entry->gathered.size()) < 0 &&
        entry->deferredError == 0)
        entry->deferredError = GetLastError();
    entry->gathered.clear();
    SetLastError(saved);
}

DWORD TakeDeferredError(OpenFileEntry* entry) {
    DWORD error = entry->deferredError;
    entry->deferredError = 0;
    return error;
}

LONG GatherWrite(OpenFileEntry* entry, const char* buffer, LONG count) {
    const size_t size = size_t(count);
    if (gathering != entry || entry->gathered.size() + size > kGatherLimit) FlushGatheredWrites();
    if (DWORD error = TakeDeferredError(entry)) {
        SetLastError(error);
        return -1;
    }
    if (size >= kGatherLimit) return WriteFully(entry, buffer, size);
    static const bool flushAtExit = std::atexit(&FlushAtExit) == 0;
    (void)flushAtExit;
    entry->gathered.append(buffer, size);
    gathering = entry;
    return count;
}

}  // namespace qpm
