/*
 * qpm_platform.h - host-only extensions of the Win32 layer.
 *
 * What no Windows program needs but a host or a test does: the tick
 * source (real or a manual clock), message-loop integration for a host
 * that waits on its own file descriptors, the Windows directory, the
 * handler that answers MessageBoxA, fault injection, pixel read-back,
 * PNG output, a printer DC and the debug trace. Component code never
 * includes this header.
 *
 * The Windows builds of the test programs include this same header with
 * the system's <windows.h> (through tests/support/win32). There,
 * tests/support/win32 implements with plain Win32 calls what a real
 * Win32 can honestly give: message pumping, message names, pixel
 * read-back, a printer-like DC and PNG output. The rest (marked "layer
 * only" below) exists there only so that tests compile: reaching it
 * fails the running test, and a test that needs it starts with
 * QPM_REQUIRES_HOST_EXTENSION (tests/support/host_extensions.h).
 */
#ifndef QPM_PLATFORM_EXTENSIONS_H
#define QPM_PLATFORM_EXTENSIONS_H

#include <stddef.h>
#include <windows.h>

#if defined(_WIN32)
#define QPM_EXTENSION /* the tests' stand-ins, linked in statically */
#else
#define QPM_EXTENSION __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---------------------------------------------------------- tick source
 * Layer only. By default GetTickCount is the real monotonic clock in
 * milliseconds. A manual clock starts at `start` (anywhere, including
 * just below the 32-bit wrap) and moves only when a test advances it.
 * On Windows QpmClockIsManual is FALSE and QpmUseRealClock does nothing. */
QPM_EXTENSION void QpmUseManualClock(DWORD start);
QPM_EXTENSION void QpmUseRealClock(void);
QPM_EXTENSION BOOL QpmClockIsManual(void);
/* Moves the manual clock forward by `ms`, stepping to each due timer in
 * turn and dispatching its WM_TIMER (or calling its TIMERPROC) at that
 * moment, so a 150 ms timer fires ten times in 1500 ms. Posted messages
 * and paints are not touched; use QpmPumpMessages for those. */
QPM_EXTENSION void QpmAdvanceClock(DWORD ms);

/* ------------------------------------------------------- message loop
 * Layer only: GetMessageA calls the wait handler when it has nothing to
 * deliver, with the milliseconds until the next timer is due (INFINITE
 * when there is none). A host waits there on its own descriptors
 * (sockets, the terminal, X11) and may post messages; without a handler
 * the layer sleeps until the next timer. Under the manual clock
 * GetMessageA never sleeps: with nothing to deliver and no handler it
 * returns FALSE as if WM_QUIT had arrived, so a test cannot hang.
 * Clearing the handler (NULL) is accepted on Windows. */
typedef void (*QpmWaitHandler)(DWORD timeoutMs, void* context);
QPM_EXTENSION void QpmSetWaitHandler(QpmWaitHandler handler, void* context);
/* Dispatches everything ready now (posted messages, paints, and on the
 * layer under the real clock due timers) without waiting; returns how
 * many were handled. On Windows WM_TIMER is left in the queue: the tests
 * hold time still (on the layer the manual clock does that), so a tick
 * reaches a window only when a test delivers it. */
QPM_EXTENSION UINT QpmPumpMessages(void);

/* ----------------------------------------------------- Windows directory
 * Layer only. Where a bare profile name such as "DRX.REG" and win.ini
 * live. Default: $XDG_DATA_HOME/qpm/windows (or ~/.local/share/qpm/windows),
 * created on first use. */
QPM_EXTENSION void QpmSetWindowsDirectory(LPCSTR path);

/* ---------------------------------------------------- temporary folder
 * Layer only. The folder GetTempPathA answers (and so where programs
 * make their GetTempFileNameA files), instead of $TMPDIR (else /tmp): a
 * host gives its components a folder of their own. NULL or "" goes back
 * to $TMPDIR. */
QPM_EXTENSION void QpmSetTempDirectory(LPCSTR path);

/* ---------------------------------------------------------- message box
 * Layer only. The handler answers MessageBoxA (IDYES, IDNO, IDCANCEL,
 * ...; 0 for failure). It may run a nested message loop, as the real
 * modal box does. Without a handler MessageBoxA fails and returns 0.
 * Clearing the handler (NULL) is accepted on Windows. */
typedef int (*QpmMessageBoxHandler)(HWND owner, LPCSTR text, LPCSTR caption, UINT type,
                                    void* context);
QPM_EXTENSION void QpmSetMessageBoxHandler(QpmMessageBoxHandler handler, void* context);

/* --------------------------------------------------------- debug output
 * Layer only. The handler takes every OutputDebugStringA text, as a
 * debugger would on Windows (a host shows components' warnings with it).
 * Without a handler the text goes to stderr, ended by a line break.
 * Clearing the handler (NULL) is accepted on Windows. */
typedef void (*QpmDebugOutputHandler)(LPCSTR text, void* context);
QPM_EXTENSION void QpmSetDebugOutputHandler(QpmDebugOutputHandler handler, void* context);

/* ------------------------------------------------------ fault injection
 * Layer only. QpmFailNth(kind, n): the n-th next call of that kind fails
 * as if the system had refused it (1 = the very next call); 0 cancels.
 * Kinds: GlobalAlloc/GlobalReAlloc (and every other allocation of global
 * memory), file creation (_lcreat, OpenFile with OF_CREATE,
 * GetTempFileNameA, profile writes), LoadLibraryA. QpmResetFaults does
 * nothing on Windows. */
typedef enum QpmFault {
    QPM_FAULT_GLOBALALLOC = 0,
    QPM_FAULT_FILECREATE = 1,
    QPM_FAULT_LOADLIBRARY = 2,
    QPM_FAULT_KINDS = 3
} QpmFault;
QPM_EXTENSION void QpmFailNth(QpmFault kind, int n);
QPM_EXTENSION void QpmResetFaults(void);
/* Layer only. Whether the failure QpmFailNth armed for that kind has
 * happened: FALSE while fewer calls than asked have been made. A sweep
 * that fails the k-th call for k = 1, 2, ... ends at the first k whose
 * failure never happened: the run needs fewer calls than that. */
QPM_EXTENSION BOOL QpmFaultFired(QpmFault kind);

/* ------------------------------------------------------- live objects
 * Layer only. How many objects of a kind exist now, for leak checks: a
 * test counts before and after a run. Global memory counts blocks, files
 * open HFILEs, windows live windows, GDI objects pens, brushes, fonts,
 * bitmaps and regions with the DCs (stock objects included), modules the
 * libraries loaded by LoadLibraryA. */
typedef enum QpmObjectKind {
    QPM_OBJECTS_GLOBALMEMORY = 0,
    QPM_OBJECTS_FILES = 1,
    QPM_OBJECTS_WINDOWS = 2,
    QPM_OBJECTS_GDI = 3,
    QPM_OBJECTS_MODULES = 4,
    QPM_OBJECT_KINDS = 5
} QpmObjectKind;
QPM_EXTENSION UINT QpmCountObjects(QpmObjectKind kind);

/* --------------------------------------------------------------- pixels
 * A view of 32-bit pixels, bytes B, G, R, X per pixel, top row first,
 * rows `stride` bytes apart. Valid until the next drawing, resize or
 * deletion; on Windows a copy, valid until the next call of the same
 * function. */
typedef struct QpmPixels {
    int width;
    int height;
    int stride;
    const unsigned char* bgrx;
} QpmPixels;
/* The client area of a top-level window, its children's pixels included. */
QPM_EXTENSION BOOL QpmGetWindowPixels(HWND topLevel, QpmPixels* out);
/* Layer only. Counts every change of a top-level window's surface; a
 * display redraws when it differs from what it showed last. */
QPM_EXTENSION DWORD QpmGetWindowSurfaceVersion(HWND topLevel);
QPM_EXTENSION BOOL QpmGetBitmapPixels(HBITMAP bitmap, QpmPixels* out);
/* What a DC draws on: its window's surface or its selected bitmap. */
QPM_EXTENSION BOOL QpmGetDCPixels(HDC hdc, QpmPixels* out);
QPM_EXTENSION BOOL QpmWritePng(const QpmPixels* pixels, LPCSTR path);
/* Layer only. The same 8-bit RGB PNG, its bytes handed to `write` as
 * they are made, for a caller that writes them its own way; a FALSE from
 * `write` ends the encoding and the call answers FALSE. */
typedef BOOL (*QpmByteSink)(void* context, const void* data, size_t size);
QPM_EXTENSION BOOL QpmEncodePng(const QpmPixels* pixels, QpmByteSink write, void* context);
/* A printer: a DC on a white bitmap of the given size. DeleteDC frees it
 * (on Windows, where a memory DC stands in, the next QpmCreatePrinterDC
 * or the program's exit frees the bitmap). */
QPM_EXTENSION HDC QpmCreatePrinterDC(int width, int height);

/* ---------------------------------------------------------------- trace
 * QPM_TRACE=msg,gdi,mem,file,module,profile (or "all") switches areas on;
 * lines go to stderr and name messages rather than number them. On
 * Windows no area is ever on. */
QPM_EXTENSION BOOL QpmTraceEnabled(LPCSTR area);
QPM_EXTENSION void QpmTrace(LPCSTR area, LPCSTR format, ...) __attribute__((format(printf, 2, 3)));
/* "WM_PAINT", "QPMM_START", "QPMR_OPENSTREAM", "WM_USER+300", or
 * "0x1234" when unknown. The returned pointer stays valid until the next
 * call. */
QPM_EXTENSION LPCSTR QpmMessageName(UINT message);

#ifdef __cplusplus
}
#endif

#endif /* QPM_PLATFORM_EXTENSIONS_H */
