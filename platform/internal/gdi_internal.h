// What the drawing half of the layer offers the window half.
#pragma once

#include "internal/visibility.h"

#include "internal/region.h"

#include <windows.h>

namespace qpm {

// A DC on a window's client area (GetDC, BeginPaint). When `limit` is
// given, drawing is further clipped to it (client coordinates), as
// BeginPaint clips to the update region.
QPM_INTERNAL HDC CreateWindowDC(HWND hwnd, const RECT* limit);

// Frees a DC made by CreateWindowDC; false when hdc is not one, or was
// one whose window has been destroyed (it is freed all the same).
QPM_INTERNAL bool ReleaseWindowDC(HDC hdc);

// Called when a window is destroyed: DCs still held on it die, so every
// call on them fails (ReleaseDC included) instead of reaching a dead window.
QPM_INTERNAL void ForgetWindowDCs(HWND hwnd);

}  // namespace qpm
