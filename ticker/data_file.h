// The ticker's data file: its whole content, byte for byte, is the text.
#pragma once

#include <windows.h>

#include <cstdint>

// A movable block holding the file's bytes and two zero bytes after
// them, or null when the file cannot be read. *length gets the number of
// bytes read (not written when the file cannot be opened).
HGLOBAL ReadDataFile(const char* path, int32_t* length);
