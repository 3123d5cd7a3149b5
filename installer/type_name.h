// The component type name: it comes from the page, becomes a key of
// DRX.REG and appears in the user's question, so it is checked before it
// is used and shown in a form that cannot pass for something else.
#pragma once

#include <cstddef>

// The most characters of a type the question shows.
constexpr size_t kShownTypeLength = 64;
// Room for the shown form: the characters, "..." when cut, and a NUL.
constexpr size_t kShownTypeSize = kShownTypeLength + 4;

// False for a name that could add lines, keys or sections to a profile
// file: a control character, '=', a leading '[', or nothing but blanks.
bool IsSafeTypeName(const char* type);

// The type as the user sees it: control characters become '?', and a
// type longer than kShownTypeLength is cut and ends in "...".
void ShownTypeName(const char* type, char shown[kShownTypeSize]);
