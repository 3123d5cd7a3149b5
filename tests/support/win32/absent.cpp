// The host-only extensions a real Win32 has no counterpart of. They exist
// so that the tests compile unchanged; reaching one means a test lacks
// QPM_REQUIRES_HOST_EXTENSION, and the test fails saying so.
#include <gtest/gtest.h>
#include <qpm_platform.h>

namespace {

void Absent(const char* function) {
    ADD_FAILURE() << function
                  << " is an extension of the Win32 layer that Windows lacks; the test must "
                     "skip on Windows with QPM_REQUIRES_HOST_EXTENSION";
}

}  // namespace

void QpmUseManualClock(DWORD) { Absent("QpmUseManualClock"); }
void QpmUseRealClock(void) {}  // the real clock is the only one here
BOOL QpmClockIsManual(void) { return FALSE; }
void QpmAdvanceClock(DWORD) { Absent("QpmAdvanceClock"); }
// Clearing a handler is what a test's tear-down does: there is none here.
void QpmSetWaitHandler(QpmWaitHandler handler, void*) {
    if (handler) Absent("QpmSetWaitHandler");
}
void QpmSetWindowsDirectory(LPCSTR) { Absent("QpmSetWindowsDirectory"); }
void QpmSetTempDirectory(LPCSTR path) {
    if (path && *path) Absent("QpmSetTempDirectory");
}
void QpmSetMessageBoxHandler(QpmMessageBoxHandler handler, void*) {
    if (handler) Absent("QpmSetMessageBoxHandler");
}
void QpmSetDebugOutputHandler(QpmDebugOutputHandler handler, void*) {
    if (handler) Absent("QpmSetDebugOutputHandler");
}
void QpmFailNth(QpmFault, int) { Absent("QpmFailNth"); }
DWORD QpmGetWindowSurfaceVersion(HWND) {
    Absent("QpmGetWindowSurfaceVersion");
    return 0;
}
void QpmResetFaults(void) {}  // nothing was injected
BOOL QpmFaultFired(QpmFault) {
    Absent("QpmFaultFired");
    return FALSE;
}
UINT QpmCountObjects(QpmObjectKind) {
    Absent("QpmCountObjects");
    return 0;
}
// No trace area is ever switched on here.
BOOL QpmTraceEnabled(LPCSTR) { return FALSE; }
void QpmTrace(LPCSTR, LPCSTR, ...) {}
