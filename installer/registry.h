// DRX.REG: the private profile file, in the Windows directory, that
// records installed component types.
//
//   [DRX-Win32]             type=full path of its module library
//   [DRX-Win32-Installing]  type=Y while its component has not confirmed
//
// Keys are the type names as the installer holds them; the profile
// functions compare them without regard to case.
#pragma once

#include <windows.h>

// The module recorded for `type`, when the value is usable: a value that
// fills the buffer may have been cut, and one that is not an absolute
// path would be looked up along the library search path, so both count
// as no value. `size` is the buffer's.
bool ReadInstalledModule(const char* type, char* path, DWORD size);

bool RecordInstalledModule(const char* type, const char* path);
void ForgetInstalledModule(const char* type);

void MarkInstalling(const char* type);
void ClearInstalling(const char* type);
