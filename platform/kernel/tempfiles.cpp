// GetTempPathA and GetTempFileNameA.
//
// The temporary folder is the one a host chose (QpmSetTempDirectory),
// else $TMPDIR, else /tmp.
//
// Names are <dir>/<first 3 chars of prefix><hex number>.tmp, the number
// in lower-case hex without padding. Asked for a number (unique == 0),
// the function picks the next one of a time-seeded counter and creates
// the file, so the name is reserved; given one, it only builds the name.
#include "internal/kernel_internal.h"
#include "kernel/file_errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Set by QpmSetTempDirectory; empty: $TMPDIR decides.
std::string chosenTempDirectory;

std::string TempDirectory() {
    const char* dir = !chosenTempDirectory.empty() ? chosenTempDirectory.c_str() : getenv("TMPDIR");
    std::string path = dir && *dir ? dir : "/tmp";
    if (path.back() != '/') path += '/';
    return path;
}

// Where the search for a free number starts: the clock, so that runs do
// not all try the same names first.
UINT NextCandidate() {
    static UINT next = [] {
        timespec ts;
        clock_gettime(CLOCK_REALTIME, &ts);
        return UINT(ts.tv_sec * 1000 + ts.tv_nsec / 1000000) ^ UINT(getpid());
    }();
    UINT n = next++ & 0xFFFF;
    return n ? n : NextCandidate();
}

std::string TempName(std::string dir, LPCSTR prefix, UINT number) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    char hex[8];
    snprintf(hex, sizeof hex, "%x", number);
    return dir + std::string(prefix ? prefix : "", prefix ? strnlen(prefix, 3) : 0) + hex + ".tmp";
}

UINT Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

bool Store(const std::string& name, LPSTR buffer) {
    if (name.size() >= MAX_PATH) return false;
    memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

// Creates the first free name; returns its number, or 0 with the error set.
UINT CreateUnique(const std::string& dir, LPCSTR prefix, LPSTR buffer) {
    if (qpm::InjectedFailure(QPM_FAULT_FILECREATE)) return Fail(ERROR_ACCESS_DENIED);
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        UINT number = NextCandidate();
        std::string name = TempName(dir, prefix, number);
        if (name.size() >= MAX_PATH) return Fail(qpm::kErrorBufferOverflow);
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            qpm::SetLastErrorFromErrno(errno, name);
            return 0;
        }
        close(fd);
        Store(name, buffer);
        QPM_TRACE("file", "temp file %s", name.c_str());
        return number;
    }
    return Fail(ERROR_FILE_EXISTS);
}

}  // namespace

DWORD WINAPI GetTempPathA(DWORD size, LPSTR buffer) {
    std::string path = TempDirectory();
    if (!buffer || size <= path.size()) return DWORD(path.size() + 1);
    memcpy(buffer, path.c_str(), path.size() + 1);
    return DWORD(path.size());
}

UINT WINAPI GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR buffer) {
    if (!path || !buffer) return Fail(ERROR_INVALID_PARAMETER);
    std::string dir = qpm::HostPath(path);
    struct stat st;
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(ERROR_DIRECTORY);
    if (unique == 0) return CreateUnique(dir, prefix, buffer);
    UINT number = unique & 0xFFFF;
    if (!Store(TempName(dir, prefix, number), buffer)) return Fail(qpm::kErrorBufferOverflow);
    return number;
}

void QpmSetTempDirectory(LPCSTR path) { chosenTempDirectory = path ? qpm::HostPath(path) : ""; }
