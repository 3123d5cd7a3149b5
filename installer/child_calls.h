// Calls into the libraries of installed components, and freeing those
// libraries only when no such call is still on the stack.
//
// An installer hosts the component it installed: it calls into that
// library (QPMInit, the host messages it relays down) and the component
// calls back up through the installer's window (its requests). A host
// may stop the installer from inside any of these; freeing the library
// then would return into unloaded code. So every such call is counted
// here, and a library released inside one is freed when the outermost
// call returns, after its component's window is gone. The count is one
// for the whole process: all installers share the one UI thread.
#pragma once

#include <windows.h>

class ChildLibraryCall {
public:
    // kDown: the installer calls into an installed component (or may).
    // kUp: an installed component's request passes through the
    // installer; its code lies below this call on the stack.
    enum Direction { kDown, kUp };

    explicit ChildLibraryCall(Direction direction);
    ~ChildLibraryCall();

private:
    ChildLibraryCall(const ChildLibraryCall&) = delete;
    ChildLibraryCall& operator=(const ChildLibraryCall&) = delete;
};

// Frees `library` now or, inside a counted call, when the outermost call
// returns: first `window` is destroyed if it still exists, then the
// library is freed, then `fileToDelete` (if not null or empty) is
// deleted, since a loaded library's file cannot be.
void ReleaseChildLibrary(HMODULE library, HWND window, const char* fileToDelete);
