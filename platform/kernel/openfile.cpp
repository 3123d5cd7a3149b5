// OpenFile: open, create or test a file, reporting in an OFSTRUCT.
#include "internal/kernel_internal.h"
#include "kernel/file_errors.h"
#include "kernel/file_table.h"

#include <sys/stat.h>
#include <cstring>

namespace {

void FillInfo(LPOFSTRUCT info, const std::string& fullPath) {
    memset(info, 0, sizeof *info);
    info->cBytes = sizeof *info;
    info->fFixedDisk = 1;
    size_t n = fullPath.size() < OFS_MAXPATHNAME - 1 ? fullPath.size() : OFS_MAXPATHNAME - 1;
    memcpy(info->szPathName, fullPath.data(), n);
}

HFILE Failed(LPOFSTRUCT info) {
    info->nErrCode = static_cast<WORD>(GetLastError());
    return HFILE_ERROR;
}

// Opening or testing searches for the file: whatever part of the path is
// missing, the search finds no file.
HFILE NotFound(LPOFSTRUCT info) {
    if (GetLastError() == ERROR_PATH_NOT_FOUND) SetLastError(ERROR_FILE_NOT_FOUND);
    return Failed(info);
}

// OF_EXIST: does the file exist (as a file)? 1 when it does.
HFILE TestExistence(const std::string& hostPath) {
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0) {
        qpm::SetLastErrorFromErrno(errno, hostPath);
        return HFILE_ERROR;
    }
    if (S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return HFILE_ERROR;
    }
    return 1;
}

}  // namespace

HFILE WINAPI OpenFile(LPCSTR path, LPOFSTRUCT info, UINT style) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return HFILE_ERROR;
    }
    std::string hostPath = qpm::HostPath(path);
    FillInfo(info, qpm::AbsolutePath(hostPath));
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return Failed(info);
    }
    HFILE file;
    if (style & OF_CREATE) {
        file = qpm::OpenHostFile(hostPath, OF_READWRITE, true);
        if (file != HFILE_ERROR && (style & OF_EXIST)) {
            DWORD ignored = 0;  // nothing was written through it
            qpm::CloseOpenFile(file, &ignored);
            file = 1;
        }
        return file == HFILE_ERROR ? Failed(info) : file;
    }
    file = style & OF_EXIST ? TestExistence(hostPath) : qpm::OpenHostFile(hostPath, style, false);
    return file == HFILE_ERROR ? NotFound(info) : file;
}
