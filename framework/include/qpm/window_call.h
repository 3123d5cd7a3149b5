// For a window procedure that takes the place of QPMLibWndProc on a
// component window (the installer's, once it hosts the component it
// installed).
//
// The framework puts off stopping or tearing down a component while a
// call of its window procedure for that window is still running further
// up the stack. A replacement procedure counts each of its own calls
// with a ComponentWindowCall, so that a stop or a destroy that arrives
// inside one of them waits in the same way until the outermost call has
// returned.
#pragma once

#include <windows.h>

class WindowProcCall;

class ComponentWindowCall {
public:
    explicit ComponentWindowCall(HWND window);
    ~ComponentWindowCall();

    // True when another call for this window (of either procedure) is
    // still running further up the stack.
    bool Nested() const;

private:
    WindowProcCall* call_;
    ComponentWindowCall(const ComponentWindowCall&) = delete;
    ComponentWindowCall& operator=(const ComponentWindowCall&) = delete;
};
