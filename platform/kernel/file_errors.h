// Translating POSIX file errors into Win32 error codes.
#pragma once

#include <windows.h>

#include <string>

namespace qpm {

// Win32 codes the public header does not name.
constexpr DWORD kErrorWriteProtect = 19;
constexpr DWORD kErrorNotSameDevice = 17;
constexpr DWORD kErrorGenFailure = 31;
constexpr DWORD kErrorBufferOverflow = 111;
constexpr DWORD kErrorDiskFull = 112;
constexpr DWORD kErrorDirNotEmpty = 145;
constexpr DWORD kErrorFilenameTooLong = 206;

// The error for errno `err` from a call on `hostPath`. ENOENT becomes
// ERROR_PATH_NOT_FOUND when a directory on the way is missing and
// ERROR_FILE_NOT_FOUND when only the last component is.
DWORD Win32ErrorFromErrno(int err, const std::string& hostPath);

// SetLastError(Win32ErrorFromErrno(err, hostPath)).
void SetLastErrorFromErrno(int err, const std::string& hostPath);

// The directory that would hold hostPath exists.
bool ParentDirectoryExists(const std::string& hostPath);

// hostPath made absolute against the current directory, "./" removed.
std::string AbsolutePath(const std::string& hostPath);

// The last path component ("a/b.ini" -> "b.ini").
std::string FileNamePart(const std::string& hostPath);

}  // namespace qpm
