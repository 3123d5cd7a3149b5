// errno -> Win32 error codes, and the path helpers they need.
#include "kernel/file_errors.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace qpm {

namespace {

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

DWORD MissingError(const std::string& hostPath) {
    if (hostPath.empty()) return ERROR_PATH_NOT_FOUND;
    return ParentDirectoryExists(hostPath) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool ParentDirectoryExists(const std::string& hostPath) {
    std::string path = WithoutTrailingSlashes(hostPath);
    size_t slash = path.rfind('/');
    std::string parent = slash == std::string::npos ? "." : path.substr(0, slash);
    if (parent.empty()) parent = "/";
    struct stat st;
    return stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DWORD Win32ErrorFromErrno(int err, const std::string& hostPath) {
    switch (err) {
        case ENOENT:
            return MissingError(hostPath);
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_FILE_EXISTS;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case EROFS:
            return kErrorWriteProtect;
        case ENAMETOOLONG:
            return kErrorFilenameTooLong;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case EXDEV:
            return kErrorNotSameDevice;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        default:
            return kErrorGenFailure;
    }
}

void SetLastErrorFromErrno(int err, const std::string& hostPath) {
    SetLastError(Win32ErrorFromErrno(err, hostPath));
}

std::string AbsolutePath(const std::string& hostPath) {
    std::string path = hostPath;
    while (path.compare(0, 2, "./") == 0) path.erase(0, 2);
    for (size_t at; (at = path.find("/./")) != std::string::npos;) path.erase(at, 2);
    if (!path.empty() && path[0] == '/') return path;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return path;
    std::string base = cwd;
    if (base.back() != '/') base += '/';
    return base + path;
}

std::string FileNamePart(const std::string& hostPath) {
    size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

}  // namespace qpm
