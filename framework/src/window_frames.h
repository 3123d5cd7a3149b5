// Nesting of the window procedure, per component window.
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

// What is left to do for a window once its outermost frame ends.
struct DeferredTeardown {
    bool stopRequested = false;     // a 1027 arrived inside another call
    Component* component = nullptr; // to delete
    HBITMAP bitmap = nullptr;       // the off-screen bitmap to delete
    char* stringBlock = nullptr;    // the locked string block to free
    HGLOBAL record = nullptr;       // the record's block to free
};

// One call of the window procedure for one window.
class WindowFrame {
public:
    explicit WindowFrame(HWND window);
    ~WindowFrame();

    // True when another call of the window procedure for this window is
    // still running further up the stack.
    bool Nested() const;
    // The deferred work of this window (created on first use).
    DeferredTeardown& Deferred();

private:
    HWND window_;
    WindowFrame(const WindowFrame&) = delete;
    WindowFrame& operator=(const WindowFrame&) = delete;
};
