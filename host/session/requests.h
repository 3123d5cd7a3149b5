// The host's answers to its components' requests (1044 to 1113), which
// arrive at the site window of the component that sent them.
#pragma once

#include <windows.h>

struct Host;
struct ComponentSlot;

LRESULT HandleComponentRequest(Host& host, ComponentSlot& slot, UINT message, WPARAM wParam,
                               LPARAM lParam);
