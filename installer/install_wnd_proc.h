// QPMInstallWndProc: the installer window's procedure once it hosts the
// component it installed. Host messages (1025 to 1043) go down to that
// component, its requests (1044 to 1113) up to the host; 1056 is the
// component confirming its installation, answered here.
#pragma once

#include <qpm/module.h>

#include <windows.h>

extern "C" QPM_EXPORT LRESULT CALLBACK QPMInstallWndProc(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam);
