/*
 * qpm_platform.h for the Windows builds of the test programs.
 *
 * On Linux this header is the Win32 layer's, with its host-only
 * extensions. A real Win32 has no such extensions, so the tests get this
 * stand-in instead, implemented with ordinary Win32 calls in
 * tests/support/win32_extensions.cpp. It provides what a real Win32 can
 * honestly give (message pumping, message names, pixel read-back, a
 * printer-like DC, PNG output) under the same names and types.
 *
 * The rest (the manual clock, fault injection, the Windows directory,
 * the message box and wait handlers) has no counterpart: those functions
 * exist only so that tests compile, and they fail the running test if
 * they are ever reached. A test that needs one starts with
 * QPM_REQUIRES_HOST_EXTENSION (host_extensions.h), which skips it here.
 */
#ifndef QPM_PLATFORM_EXTENSIONS_H
#define QPM_PLATFORM_EXTENSIONS_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------ tick source (absent)
 * GetTickCount is the system's. These fail the test that reaches them. */
void QpmUseManualClock(DWORD start);
void QpmUseRealClock(void);
BOOL QpmClockIsManual(void); /* FALSE: the real clock always runs */
void QpmAdvanceClock(DWORD ms);

/* ------------------------------------------------------- message loop
 * Dispatches every posted message and paint that is ready now, without
 * waiting; returns how many were handled. WM_TIMER is left in the queue:
 * the tests hold time still (on Linux the manual clock does that), so a
 * tick reaches a component only when a test sends it. */
UINT QpmPumpMessages(void);
typedef void (*QpmWaitHandler)(DWORD timeoutMs, void* context);
void QpmSetWaitHandler(QpmWaitHandler handler, void* context); /* absent; null accepted */

/* -------------------------------------------- Windows directory (absent) */
void QpmSetWindowsDirectory(LPCSTR path);

/* -------------------------------------------------- message box (absent) */
typedef int (*QpmMessageBoxHandler)(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                    void* context);
void QpmSetMessageBoxHandler(QpmMessageBoxHandler handler, void* context); /* null accepted */

/* ---------------------------------------------- fault injection (absent) */
typedef enum QpmFault {
    QPM_FAULT_GLOBALALLOC = 0,
    QPM_FAULT_FILECREATE = 1,
    QPM_FAULT_LOADLIBRARY = 2,
    QPM_FAULT_KINDS = 3
} QpmFault;
void QpmFailNth(QpmFault kind, int n);
void QpmResetFaults(void);

/* --------------------------------------------------------------- pixels
 * A copy of 32-bit pixels, bytes B, G, R, X per pixel, top row first,
 * rows `stride` bytes apart. Valid until the next call of the same
 * function (each keeps its own buffer). */
typedef struct QpmPixels {
    int width;
    int height;
    int stride;
    const unsigned char* bgrx;
} QpmPixels;
/* The client area of a top-level window, its children's pixels included. */
BOOL QpmGetWindowPixels(HWND topLevel, QpmPixels* out);
/* Absent: Windows does not count changes of a window's pixels. */
DWORD QpmGetWindowSurfaceVersion(HWND topLevel);
BOOL QpmGetBitmapPixels(HBITMAP bitmap, QpmPixels* out);
/* What a DC draws on: its selected bitmap (memory DC) or its window. */
BOOL QpmGetDCPixels(HDC hdc, QpmPixels* out);
BOOL QpmWritePng(const QpmPixels* pixels, LPCSTR path);
/* A memory DC on a white 32-bit bitmap standing in for a printer. Its
 * bitmap is released by the next QpmCreatePrinterDC after DeleteDC, or at
 * exit. */
HDC QpmCreatePrinterDC(int width, int height);

/* ---------------------------------------------------------------- trace
 * "WM_PAINT", "QPMM_START", "QPMR_OPENSTREAM", or "0x1234" when unknown.
 * The returned pointer stays valid until the next call. */
LPCSTR QpmMessageName(UINT message);

#ifdef __cplusplus
}
#endif

#endif /* QPM_PLATFORM_EXTENSIONS_H */
