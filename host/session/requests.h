// The host's answers to its components' requests (1044 to 1113), which
// arrive at the site window of the component that sent them.
#pragma once

#include <windows.h>

#include <string>

struct Host;
struct ComponentSlot;

LRESULT HandleComponentRequest(Host& host, ComponentSlot& slot, UINT message, WPARAM wParam,
                               LPARAM lParam);

// True (and said on stderr) when `url` names a local file the page may
// not read: outside its folders (session/host.h, fileAccess).
bool RefusedLocalFile(const Host& host, const ComponentSlot& slot, const std::string& url);
