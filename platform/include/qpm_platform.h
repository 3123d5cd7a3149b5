/*
 * qpm_platform.h - host-only extensions of the Win32 layer.
 *
 * What no Windows program needs but a host or a test does: the tick
 * source (real or a manual clock), message-loop integration for a host
 * that waits on its own file descriptors, the Windows directory, the
 * handler that answers MessageBoxA, fault injection, pixel read-back,
 * PNG output, a printer DC and the debug trace. Component code never
 * includes this header; it exists only on the POSIX layer.
 */
#ifndef QPM_PLATFORM_EXTENSIONS_H
#define QPM_PLATFORM_EXTENSIONS_H

#include <windows.h>

QPM_BEGIN_C

/* ---------------------------------------------------------- tick source
 * By default GetTickCount is the real monotonic clock in milliseconds.
 * A manual clock starts at `start` (anywhere, including just below the
 * 32-bit wrap) and moves only when a test advances it. */
WINBASEAPI void QpmUseManualClock(DWORD start);
WINBASEAPI void QpmUseRealClock(void);
WINBASEAPI BOOL QpmClockIsManual(void);
/* Moves the manual clock forward by `ms`, stepping to each due timer in
 * turn and dispatching its WM_TIMER (or calling its TIMERPROC) at that
 * moment, so a 150 ms timer fires ten times in 1500 ms. Posted messages
 * and paints are not touched; use QpmPumpMessages for those. */
WINBASEAPI void QpmAdvanceClock(DWORD ms);

/* ------------------------------------------------------- message loop
 * GetMessageA calls the wait handler when it has nothing to deliver,
 * with the milliseconds until the next timer is due (INFINITE when there
 * is none). A host waits there on its own descriptors (sockets, the
 * terminal, X11) and may post messages; without a handler the layer
 * sleeps until the next timer. Under the manual clock GetMessageA never
 * sleeps: with nothing to deliver and no handler it returns FALSE as if
 * WM_QUIT had arrived, so a test cannot hang. */
typedef void (*QpmWaitHandler)(DWORD timeoutMs, void* context);
WINUSERAPI void QpmSetWaitHandler(QpmWaitHandler handler, void* context);
/* Dispatches everything ready now (posted messages, paints, due timers
 * under the real clock) without waiting; returns how many were handled. */
WINUSERAPI UINT QpmPumpMessages(void);

/* ----------------------------------------------------- Windows directory
 * Where a bare profile name such as "DRX.REG" and win.ini live. Default:
 * $XDG_DATA_HOME/qpm/windows (or ~/.local/share/qpm/windows), created on
 * first use. */
WINBASEAPI void QpmSetWindowsDirectory(LPCSTR path);

/* ---------------------------------------------------------- message box
 * The handler answers MessageBoxA (IDYES, IDNO, IDCANCEL, ...; 0 for
 * failure). It may run a nested message loop, as the real modal box does.
 * Without a handler MessageBoxA fails and returns 0. */
typedef int (*QpmMessageBoxHandler)(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                    void* context);
WINUSERAPI void QpmSetMessageBoxHandler(QpmMessageBoxHandler handler, void* context);

/* ------------------------------------------------------ fault injection
 * QpmFailNth(kind, n): the n-th next call of that kind fails as if the
 * system had refused it (1 = the very next call); 0 cancels. Kinds:
 * GlobalAlloc/GlobalReAlloc (and every other allocation of global memory),
 * file creation (_lcreat, OpenFile with OF_CREATE, GetTempFileNameA,
 * profile writes), LoadLibraryA. */
typedef enum QpmFault {
    QPM_FAULT_GLOBALALLOC = 0,
    QPM_FAULT_FILECREATE = 1,
    QPM_FAULT_LOADLIBRARY = 2,
    QPM_FAULT_KINDS = 3
} QpmFault;
WINBASEAPI void QpmFailNth(QpmFault kind, int n);
WINBASEAPI void QpmResetFaults(void);

/* --------------------------------------------------------------- pixels
 * A view of 32-bit pixels, bytes B, G, R, X per pixel, rows `stride`
 * bytes apart. Valid until the next drawing, resize or deletion. */
typedef struct QpmPixels {
    int width;
    int height;
    int stride;
    const unsigned char* bgrx;
} QpmPixels;
/* The surface of a top-level window (a child's pixels are inside it). */
WINGDIAPI BOOL QpmGetWindowPixels(HWND topLevel, QpmPixels* out);
/* Counts every change of a top-level window's surface; a display redraws
 * when it differs from what it showed last. */
WINGDIAPI DWORD QpmGetWindowSurfaceVersion(HWND topLevel);
WINGDIAPI BOOL QpmGetBitmapPixels(HBITMAP bitmap, QpmPixels* out);
/* What a DC draws on: its window's surface or its selected bitmap. */
WINGDIAPI BOOL QpmGetDCPixels(HDC hdc, QpmPixels* out);
WINGDIAPI BOOL QpmWritePng(const QpmPixels* pixels, LPCSTR path);
/* A printer: a DC on a white bitmap of the given size. DeleteDC frees it. */
WINGDIAPI HDC QpmCreatePrinterDC(int width, int height);

/* ---------------------------------------------------------------- trace
 * QPM_TRACE=msg,gdi,mem,file,module,profile (or "all") switches areas on;
 * lines go to stderr and name messages rather than number them. */
WINBASEAPI BOOL QpmTraceEnabled(LPCSTR area);
WINBASEAPI void QpmTrace(LPCSTR area, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
/* "WM_PAINT", "QPMM_START", "QPMR_OPENSTREAM", or "0x1234" when unknown.
 * The returned pointer stays valid until the next call. */
WINBASEAPI LPCSTR QpmMessageName(UINT message);

QPM_END_C

#endif /* QPM_PLATFORM_EXTENSIONS_H */
