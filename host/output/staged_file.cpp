// Output files renamed into place when complete.
#include "output/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

bool WriteAll(int fd, const uint8_t* data, size_t size, off_t offset, bool positioned) {
    while (size > 0) {
        const ssize_t n = positioned ? pwrite(fd, data, size, offset) : write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
        offset += n;
    }
    return true;
}

// The permissions a plain new file would get (mkstemp makes 0600).
mode_t CreationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Only a regular file (or a symbolic link, which the rename replaces
// without following it) is replaced: renaming over a device or a FIFO
// would put a file where something else was.
bool IsReplaceable(const std::string& path, std::string* why) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return true;  // a new file
        *why = strerror(errno);
        return false;
    }
    // A symbolic link is replaced itself, never followed.
    if (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) return true;
    *why = S_ISDIR(info.st_mode)    ? "it is a directory"
           : S_ISFIFO(info.st_mode) ? "it is a FIFO, not a regular file"
                                    : "it is a device or socket, not a regular file";
    return false;
}

}  // namespace

StagedFile::~StagedFile() {
    if (fd_ >= 0) close(fd_);
    if (!committed_ && !freshPath_.empty()) unlink(freshPath_.c_str());
}

bool StagedFile::Open(std::string* error) {
    std::string why;
    if (!IsReplaceable(path_, &why)) {
        *error = "cannot write " + path_ + ": " + why;
        return false;
    }
    const size_t slash = path_.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path_.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    std::string pattern = folder + "." + base + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        *error = "cannot write " + path_ + ": " + strerror(errno);
        return false;
    }
    freshPath_ = name.data();
    fchmod(fd_, CreationMode());
    return true;
}

bool StagedFile::Failed(int code) {
    if (errorCode_ == 0) errorCode_ = code;
    return false;
}

bool StagedFile::Write(const void* data, size_t size) {
    if (fd_ < 0 || errorCode_ != 0) return false;
    if (!WriteAll(fd_, static_cast<const uint8_t*>(data), size, 0, false)) return Failed(errno);
    size_ += size;
    return true;
}

bool StagedFile::WriteAt(uint64_t offset, const void* data, size_t size) {
    if (fd_ < 0 || errorCode_ != 0) return false;
    if (offset + size > size_) return Failed(EINVAL);
    if (!WriteAll(fd_, static_cast<const uint8_t*>(data), size, off_t(offset), true))
        return Failed(errno);
    return true;
}

std::string StagedFile::Error() const {
    return "cannot write " + path_ + ": " + strerror(errorCode_ ? errorCode_ : EBADF);
}

bool StagedFile::Commit(std::string* error) {
    if (fd_ < 0) {
        *error = Error();
        return false;
    }
    if (close(fd_) != 0) Failed(errno);
    fd_ = -1;
    // Something may have taken the target's place while the file was written.
    std::string why;
    if (errorCode_ == 0 && !IsReplaceable(path_, &why)) {
        *error = "cannot write " + path_ + ": " + why;
        return false;
    }
    if (errorCode_ == 0 && rename(freshPath_.c_str(), path_.c_str()) != 0) Failed(errno);
    if (errorCode_ != 0) {
        *error = Error();
        return false;
    }
    committed_ = true;
    return true;
}
