// Reading the installer's attributes: the platform list "QPMPLATFORMS",
// the source list "QPMSRC" beside it, and a type taken from "SRC".
//
// Both lists are split at commas; commas and white space before an item
// are skipped, so runs of them make no empty items. Items are numbered
// from 0, and the source for a platform is the source item with the
// platform item's number.
#pragma once

#include <cstddef>
#include <cstdint>

// The number of the first item that is the platform "Win32" (its first
// five characters, any case, then the end, a comma or white space), or -1.
int32_t FindWin32Platform(const char* platforms);

// Replaces the source list by its item number `index`, cut at the first
// comma or white space. False, leaving the list alone, when there is no
// such item.
bool TakeSource(char* sources, int32_t index);

// The type a "SRC" value names: the text after its last '.', or empty
// when a '/' or '\' comes after that '.' or there is none.
void TypeFromSource(const char* source, char* type, size_t size);
