// Re-entrant calls of the window procedure, per component window.
//
// A component's request to its host is a SendMessageA that may make the
// host send messages back to the component window before it returns.
// Work that would pull the ground from under a call still running
// further up (stopping the component, deleting it, freeing the record)
// is therefore put off until the outermost call of the window procedure
// for that window returns.
#pragma once

#include <qpm/records.h>

#include <windows.h>

// What is left to do for a window once its outermost call ends.
struct DeferredTeardown {
    bool stopRequested = false;      // a 1027 arrived inside another call
    Component* component = nullptr;  // to delete
    HBITMAP bitmap = nullptr;        // the off-screen bitmap to delete
    char* stringBlock = nullptr;     // the locked string block to free
    HGLOBAL record = nullptr;        // the record's block to free
    HWND parent = nullptr;           // the host of a window destroyed meanwhile
};

// One call of the window procedure for one window, counted so that a
// re-entrant call (made while another for the window still runs) is known.
class WindowProcCall {
public:
    explicit WindowProcCall(HWND window);
    ~WindowProcCall();

    // True when another call of the window procedure for this window is
    // still running further up the stack.
    bool Nested() const;
    // The deferred work of this window (created on first use).
    DeferredTeardown& Deferred();

private:
    HWND window_;
    WindowProcCall(const WindowProcCall&) = delete;
    WindowProcCall& operator=(const WindowProcCall&) = delete;
};

// True when a stop (1027) for the window waits for its outermost call.
bool StopDeferred(HWND window);

// The host of a component window that was destroyed while a call for it
// still ran, until the outermost call has returned and the deferred
// teardown is done (the component's streams still send it their close
// requests); null for every other window.
HWND ParentOfDestroyedWindow(HWND window);
