// Where an installed module goes: a file in the installer library's own
// directory, named from the component type and a two-digit number.
#pragma once

#include <windows.h>

#include <cstddef>

// A path that names one file wherever the process runs: from a drive
// ("C:\", "C:/") or a root ("\", "/"). Anything else would be looked up
// along the library search path, which may find another file.
bool IsAbsolutePath(const char* path);

// The directory of `module`'s file, with its trailing separator. False
// when the module's path cannot be had whole or is not absolute.
bool ModuleDirectory(HMODULE module, char* directory, size_t size);

// Builds the first free name in `directory` (ending in a separator) for
// `type`: up to 6 of its letters (in upper case), digits, '_' and '-',
// then "32.DLL"; while that exists, the two digits count on from 32
// through 99 and 00 to 31. False when all 100 names exist or the path
// does not fit in `size`.
bool ChooseModulePath(const char* directory, const char* type, char* path, size_t size);

// What follows the last '\' or '/' of a path.
const char* FileNamePart(const char* path);
