// The host's own windows: the page window (top-level, WS_POPUP |
// WS_VISIBLE | WS_CLIPCHILDREN), which draws the page's text and idles
// the components, and one site window per component inside it.
#pragma once

#include <windows.h>

struct Host;
struct ComponentSlot;

// Creates the page window (1 x 1 until the page is laid out).
bool CreatePageWindow(Host& host);
// Lays the page out from the slots' sizes and moves every site and the
// page window to fit; used first and after a component's resize.
void RelayoutPage(Host& host);
// The site of a slot, placed where the layout puts it.
HWND CreateSite(Host& host, ComponentSlot& slot);
