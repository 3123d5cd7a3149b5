// What the window half of the layer offers the drawing half.
#pragma once

#include "internal/visibility.h"

#include "internal/region.h"
#include "internal/surface.h"

#include <windows.h>

namespace qpm {

// Where a window's client area is drawn: the surface of its top-level
// window, the position of the client's (0, 0) in that surface, and the
// pixels the window may touch, in surface coordinates: its client
// rectangle clipped by every ancestor, less its visible children when it
// has WS_CLIPCHILDREN, less the visible siblings above it in Z order
// when it has WS_CLIPSIBLINGS.
struct WindowDrawTarget {
    SurfacePtr surface;
    POINT origin{0, 0};
    Region clip;
};

// False when hwnd is not a window. A hidden window gets an empty clip.
QPM_INTERNAL bool GetWindowDrawTarget(HWND hwnd, WindowDrawTarget* out);

}  // namespace qpm
