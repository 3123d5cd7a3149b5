// The files open through HFILE handles, and the Windows sharing rules
// between them.
//
// POSIX lets anyone delete, rename or write a file that is open; Windows
// does not, and code written for it relies on that (a download being
// written cannot be deleted under the writer). So every open file is
// recorded with its device and inode, what it may do (read, write) and
// what it denies others, and the file functions consult this table.
#pragma once

#include <windows.h>

#include <sys/types.h>
#include <string>

namespace qpm {

struct FileAccess {
    bool read = false;
    bool write = false;
};

struct OpenFileEntry {
    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
    FileAccess access;  // what this handle may do
    FileAccess denied;  // what it forbids other opens of the file
    std::string path;
    std::string gathered;     // written through the handle, not yet in the file
    DWORD deferredError = 0;  // a gathered write that failed, told at the next call
};

// Access and sharing from an OF_* mode (OF_READ/OF_WRITE/OF_READWRITE,
// OF_SHARE_*).
FileAccess AccessFromMode(UINT mode);
FileAccess DeniedFromMode(UINT mode);

// The entry of a live handle, or nullptr.
OpenFileEntry* FindOpenFile(HFILE file);

// True when opening the file (device, inode) with `access` and `denied`
// clashes with a handle that is open now.
bool SharingConflict(dev_t device, ino_t inode, FileAccess access, FileAccess denied);

// True when any handle has the file open.
bool IsFileOpen(dev_t device, ino_t inode);

// Opens hostPath for the old file functions, honouring the sharing rules.
// With `create` the file is created or truncated (read and write access,
// sharing nothing denied) and the creation may be refused by fault
// injection. Returns HFILE_ERROR with the last error set on failure.
HFILE OpenHostFile(const std::string& hostPath, UINT mode, bool create, int permissions = 0666);

// Closes the handle; false when it is not open. Its gathered writes go
// to the file first: `*writeError` is the error of one that failed, or 0.
bool CloseOpenFile(HFILE file, DWORD* writeError);

// Writes through a handle are gathered (kernel/write_behind.cpp): small
// writes, the old file functions' usual size, wait in the handle's buffer
// and reach the file in large pieces, one system call for many. Every
// other file operation of the layer first puts gathered bytes in the
// file (FlushGatheredWrites), so through the layer a file always reads
// as if each write had gone straight to it, in the order they were made.

// Writes `count` (> 0) bytes at the handle's position: `count`, or -1
// with the last error set.
LONG GatherWrite(OpenFileEntry* entry, const char* buffer, LONG count);
// Puts every handle's gathered bytes in its file. A write that fails is
// kept as that handle's deferred error.
void FlushGatheredWrites();
// The handle's deferred error, taken (0 when there is none).
DWORD TakeDeferredError(OpenFileEntry* entry);
// Writes all `count` bytes to the descriptor; -1 with the last error set.
LONG WriteFully(OpenFileEntry* entry, const char* buffer, size_t count);

}  // namespace qpm
