// Whole-file operations: DeleteFileA, MoveFileA, MoveFileExA, CopyFileA,
// GetFileAttributesA. A file held open through an HFILE cannot be
// deleted, moved or overwritten, as on Windows.
#include "internal/kernel_internal.h"
#include "kernel/atomic_file.h"
#include "kernel/file_errors.h"
#include "kernel/file_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

BOOL FailErrno(int err, const std::string& path) {
    qpm::SetLastErrorFromErrno(err, path);
    return FALSE;
}

// Copies `from` over `to` through a sibling file and rename().
bool CopyThroughTemp(const std::string& from, const std::string& to, int* err) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return *err = errno, false;
    struct stat st;
    bool ok = fstat(in, &st) == 0 && qpm::CopyFileAtomically(in, to, st.st_mode & 07777);
    *err = errno;
    close(in);
    return ok;
}

// rename(), falling back to copy and delete across file systems.
BOOL Rename(const std::string& from, const std::string& to, const struct stat& source) {
    if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
    int err = errno;
    if (err != EXDEV || !S_ISREG(source.st_mode)) return FailErrno(err, to);
    if (!CopyThroughTemp(from, to, &err)) return FailErrno(err, to);
    unlink(from.c_str());
    return TRUE;
}

// Checks a move's target; FALSE with the error when it may not be replaced.
BOOL TargetReplaceable(const std::string& to, DWORD flags) {
    struct stat target;
    if (lstat(to.c_str(), &target) != 0) return TRUE;
    if (!(flags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
    if (S_ISDIR(target.st_mode) || qpm::IsFileOpen(target.st_dev, target.st_ino))
        return Fail(ERROR_ACCESS_DENIED);
    return TRUE;
}

}  // namespace

// Each of these starts with the gathered writes in their files, so that
// it sees every file as written so far (see kernel/file_table.h).
BOOL WINAPI DeleteFileA(LPCSTR path) {
    qpm::FlushGatheredWrites();
    std::string hostPath = qpm::HostPath(path);
    struct stat st;
    if (hostPath.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (lstat(hostPath.c_str(), &st) != 0) return FailErrno(errno, hostPath);
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (qpm::IsFileOpen(st.st_dev, st.st_ino)) return Fail(ERROR_SHARING_VIOLATION);
    if (unlink(hostPath.c_str()) != 0) return FailErrno(errno, hostPath);
    QPM_TRACE("file", "deleted %s", hostPath.c_str());
    return TRUE;
}

BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    qpm::FlushGatheredWrites();
    if (!from || !to) return Fail(ERROR_INVALID_PARAMETER);
    std::string source = qpm::HostPath(from), target = qpm::HostPath(to);
    struct stat st;
    if (source.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (lstat(source.c_str(), &st) != 0) return FailErrno(errno, source);
    if (qpm::IsFileOpen(st.st_dev, st.st_ino)) return Fail(ERROR_SHARING_VIOLATION);
    if (!TargetReplaceable(target, flags)) return FALSE;
    if (!Rename(source, target, st)) return FALSE;
    QPM_TRACE("file", "moved %s to %s", source.c_str(), target.c_str());
    return TRUE;
}

BOOL WINAPI MoveFileA(LPCSTR from, LPCSTR to) { return MoveFileExA(from, to, 0); }

BOOL WINAPI CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    qpm::FlushGatheredWrites();
    if (!from || !to) return Fail(ERROR_INVALID_PARAMETER);
    std::string source = qpm::HostPath(from), target = qpm::HostPath(to);
    struct stat st, existing;
    if (source.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    if (stat(source.c_str(), &st) != 0) return FailErrno(errno, source);
    if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (qpm::SharingConflict(st.st_dev, st.st_ino, qpm::FileAccess{true, false}, {}))
        return Fail(ERROR_SHARING_VIOLATION);
    if (stat(target.c_str(), &existing) == 0) {
        if (failIfExists) return Fail(ERROR_FILE_EXISTS);
        if (S_ISDIR(existing.st_mode)) return Fail(ERROR_ACCESS_DENIED);
        if (qpm::IsFileOpen(existing.st_dev, existing.st_ino)) return Fail(ERROR_SHARING_VIOLATION);
    }
    int err = 0;
    if (!CopyThroughTemp(source, target, &err)) return FailErrno(err, target);
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR path) {
    std::string hostPath = qpm::HostPath(path);
    struct stat st;
    if (hostPath.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (stat(hostPath.c_str(), &st) != 0) {
        qpm::SetLastErrorFromErrno(errno, hostPath);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}
