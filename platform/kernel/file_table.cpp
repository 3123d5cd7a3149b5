// The table of open HFILEs and the sharing checks between them.
#include "kernel/file_table.h"

#include "internal/handles.h"
#include "internal/kernel_internal.h"
#include "internal/object_counts.h"
#include "kernel/file_errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace qpm {

namespace {

HandleTable<OpenFileEntry>& Files() {
    static auto* files = new HandleTable<OpenFileEntry>(HandleTag::File);
    return *files;
}

bool Clashes(const OpenFileEntry& open, FileAccess access, FileAccess denied) {
    return (open.denied.read && access.read) || (open.denied.write && access.write) ||
           (denied.read && open.access.read) || (denied.write && open.access.write);
}

int OpenFlags(FileAccess access) {
    int flags = access.write ? (access.read ? O_RDWR : O_WRONLY) : O_RDONLY;
    return flags | O_CLOEXEC;
}

HFILE Fail(DWORD error) {
    SetLastError(error);
    return HFILE_ERROR;
}

HFILE FailErrno(int err, const std::string& path) {
    SetLastErrorFromErrno(err, path);
    return HFILE_ERROR;
}

// Checks what the new descriptor refers to, then records it.
HFILE Register(int fd, const std::string& path, FileAccess access, FileAccess denied) {
    struct stat st;
    if (fstat(fd, &st) != 0) {
        int err = errno;
        close(fd);
        return FailErrno(err, path);
    }
    if (S_ISDIR(st.st_mode) || SharingConflict(st.st_dev, st.st_ino, access, denied)) {
        close(fd);
        return Fail(S_ISDIR(st.st_mode) ? ERROR_ACCESS_DENIED : ERROR_SHARING_VIOLATION);
    }
    auto entry = std::make_unique<OpenFileEntry>();
    entry->fd = fd;
    entry->device = st.st_dev;
    entry->inode = st.st_ino;
    entry->access = access;
    entry->denied = denied;
    entry->path = path;
    auto handle = static_cast<HFILE>(Files().Add(std::move(entry)));
    QPM_TRACE("file", "open %s -> %d", path.c_str(), handle);
    return handle;
}

// Creating truncates, so the sharing check must come before the open.
HFILE CreateAndRegister(const std::string& path, int permissions) {
    const FileAccess readWrite{true, true};
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return Fail(ERROR_ACCESS_DENIED);
        if (SharingConflict(st.st_dev, st.st_ino, readWrite, FileAccess{}))
            return Fail(ERROR_SHARING_VIOLATION);
    }
    if (InjectedFailure(QPM_FAULT_FILECREATE)) return Fail(ERROR_ACCESS_DENIED);
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, permissions);
    if (fd < 0) return FailErrno(errno, path);
    // An empty file is left alone: truncating it changes nothing, but makes
    // some file systems (ext4) write the file out when it is closed.
    if ((fstat(fd, &st) != 0 || st.st_size != 0) && ftruncate(fd, 0) != 0) {
        int err = errno;
        close(fd);
        return FailErrno(err, path);
    }
    return Register(fd, path, readWrite, FileAccess{});
}

}  // namespace

FileAccess AccessFromMode(UINT mode) {
    switch (mode & 3) {
        case OF_WRITE:
            return FileAccess{false, true};
        case OF_READWRITE:
            return FileAccess{true, true};
        default:
            return FileAccess{true, false};
    }
}

FileAccess DeniedFromMode(UINT mode) {
    switch (mode & 0x70) {
        case OF_SHARE_EXCLUSIVE:
            return FileAccess{true, true};
        case OF_SHARE_DENY_WRITE:
            return FileAccess{false, true};
        case OF_SHARE_DENY_READ:
            return FileAccess{true, false};
        default:
            return FileAccess{};  // compatibility mode and deny-none share everything
    }
}

OpenFileEntry* FindOpenFile(HFILE file) {
    if (file <= 0) return nullptr;
    return Files().Get(static_cast<uintptr_t>(file));
}

bool SharingConflict(dev_t device, ino_t inode, FileAccess access, FileAccess denied) {
    bool clash = false;
    Files().ForEach([&](uintptr_t, const OpenFileEntry& open) {
        if (open.device == device && open.inode == inode && Clashes(open, access, denied))
            clash = true;
    });
    return clash;
}

bool IsFileOpen(dev_t device, ino_t inode) {
    bool found = false;
    Files().ForEach([&](uintptr_t, const OpenFileEntry& open) {
        if (open.device == device && open.inode == inode) found = true;
    });
    return found;
}

HFILE OpenHostFile(const std::string& hostPath, UINT mode, bool create, int permissions) {
    FlushGatheredWrites();
    if (create) return CreateAndRegister(hostPath, permissions);
    FileAccess access = AccessFromMode(mode);
    // Opening a FIFO waits for its other end; nothing here may wait, so
    // the open does not block, and reads do again once it is open.
    int fd = open(hostPath.c_str(), OpenFlags(access) | O_NONBLOCK);
    if (fd < 0) return FailErrno(errno, hostPath);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return Register(fd, hostPath, access, DeniedFromMode(mode));
}

bool CloseOpenFile(HFILE file, DWORD* writeError) {
    OpenFileEntry* open = FindOpenFile(file);
    if (!open) return false;
    FlushGatheredWrites();
    *writeError = TakeDeferredError(open);
    std::unique_ptr<OpenFileEntry> entry = Files().Remove(static_cast<uintptr_t>(file));
    close(entry->fd);
    QPM_TRACE("file", "close %d (%s)", file, entry->path.c_str());
    return true;
}

size_t CountOpenFiles() { return Files().Count(); }

}  // namespace qpm
