// Atomic file replacement through a sibling temporary file and rename().
#include "kernel/atomic_file.h"

#include "kernel/file_errors.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace qpm {

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool CopyAll(int in, int out) {
    char buffer[65536];
    for (;;) {
        ssize_t n = read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0;
        if (!WriteAll(out, buffer, size_t(n))) return false;
    }
}

// Runs `fill` on a fresh sibling file, then renames it over the target.
template <class Fill>
bool ReplaceWith(const std::string& target, mode_t mode, Fill&& fill) {
    std::string temp;
    int fd = CreateSiblingTemp(target, mode, &temp);
    if (fd < 0) return false;
    bool ok = fill(fd) && fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) ok = false, err = errno;
    if (ok && rename(temp.c_str(), target.c_str()) != 0) ok = false, err = errno;
    if (!ok) {
        unlink(temp.c_str());
        errno = err;
    }
    return ok;
}

}  // namespace

int CreateSiblingTemp(const std::string& target, mode_t mode, std::string* tempPath) {
    static unsigned counter = 0;
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string base = "." + FileNamePart(target) + "." + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = dir + base + std::to_string(++counter) + ".new";
        int fd = open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteFileAtomically(const std::string& target, const std::string& bytes, mode_t mode) {
    return ReplaceWith(target, mode,
                       [&](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool CopyFileAtomically(int in, const std::string& target, mode_t mode) {
    return ReplaceWith(target, mode, [&](int fd) { return CopyAll(in, fd); });
}

}  // namespace qpm
