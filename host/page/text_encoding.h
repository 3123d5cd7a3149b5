// Page text arrives as UTF-8 (gumbo decodes entities into it); the Win32
// layer and the components speak Windows-1252 bytes.
#pragma once

#include <string>

// Characters without a Windows-1252 byte become '?'; bytes that are not
// valid UTF-8 are taken as Windows-1252 already.
std::string Utf8ToWindows1252(const std::string& utf8);
