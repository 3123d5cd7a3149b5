// Colours as pages write them: "#rrggbb", "#rgb", "rrggbb" or a name.
#pragma once

#include <windows.h>

#include <string>

// Sets `out` (0x00BBGGRR) and returns true when `text` names a colour.
bool ParseColour(const std::string& text, COLORREF* out);
