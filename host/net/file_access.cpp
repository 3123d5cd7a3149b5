// The folders a page may read from.
#include "net/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool RealPath(const std::string& path, std::string* out) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return false;
    *out = real;
    free(real);
    return true;
}

bool Inside(const std::string& path, const std::string& folder) {
    if (folder == "/") return true;
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace

const char* FileKindName(unsigned mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    return "not a regular file";
}

bool FileAccessRule::Allow(const std::string& folder, std::string* error) {
    std::string real;
    struct stat info {};
    if (!RealPath(folder, &real) || stat(real.c_str(), &info) != 0) {
        *error = folder + ": " + strerror(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *error = folder + ": not a directory";
        return false;
    }
    folders_.push_back(real);
    return true;
}

bool FileAccessRule::Outside(const std::string& path, std::string* why) const {
    std::string real;
    if (!RealPath(path, &real)) return false;
    for (const std::string& folder : folders_)
        if (Inside(real, folder)) return false;
    *why = "it is outside the page's folder";
    if (!folders_.empty()) *why += " " + folders_.front();
    *why += " (--allow-files DIR lets a page read from DIR)";
    return true;
}

bool FileAccessRule::Refused(const std::string& path, std::string* why) const {
    if (Outside(path, why)) return true;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return false;
    *why = std::string("it is ") + FileKindName(info.st_mode) + ", not a regular file";
    return true;
}

bool FileAccessRule::CheckReadable(const std::string& path, std::string* why) const {
    std::string real;
    if (!RealPath(path, &real)) {
        *why = strerror(errno);
        return false;
    }
    if (Outside(real, why)) return false;
    struct stat info {};
    if (stat(real.c_str(), &info) != 0) {
        *why = strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *why = std::string("it is ") + FileKindName(info.st_mode) + ", not a regular file";
        return false;
    }
    const int fd = open(real.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        *why = strerror(errno);
        return false;
    }
    close(fd);
    return true;
}
