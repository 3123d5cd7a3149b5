// A component library's entry points, and what each library supplies to
// the framework: the name part of its window class and two hooks.
#pragma once

#include <qpm/protocol.h>
#include <qpm/records.h>

#include <windows.h>

// Exported by name from every component library. Everything else in a
// component library is hidden, so two libraries in one process never
// see each other's framework.
#if defined(_WIN32)
#define QPM_EXPORT
#else
#define QPM_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
QPM_EXPORT void WINAPI QPMSetInstance(HINSTANCE instance);
QPM_EXPORT WORD WINAPI QPMGetVersion(WORD lowest, WORD highest);
QPM_EXPORT int32_t WINAPI QPMCalcSize(InitRecord* record);
QPM_EXPORT HWND WINAPI QPMInit(HWND parent, InitRecord* record);
// Exported as "_QPMLibWndProc@16" on Windows; GetProcAddress finds it
// under that name on this layer too.
QPM_EXPORT LRESULT CALLBACK QPMLibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
}

// Supplied by each component library.
extern const char ComponentName[];               // e.g. "MessageTicker"
Component* CreateComponent(InitRecord* record);  // a new component, or null
int32_t CalcComponentSize(InitRecord* record);   // writes width/height, returns 1 (0 = none)

// The module instance handle given by the first QPMSetInstance (or null).
HINSTANCE ModuleInstance();
// "WYVQPM_" followed by ComponentName.
const char* ComponentClassName();
// Registers the component window class; 1 whatever RegisterClassA says.
int32_t RegisterComponentClass();
