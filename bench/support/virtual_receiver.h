// The peer of the message benchmarks: what a window procedure does for a
// message, as a plain virtual call. The object is made in another
// translation unit, so the compiler cannot see which function the call
// reaches and has to make it (within one unit it would inline the call,
// or drop the loop around it altogether).
#pragma once

#include <windows.h>

struct Receiver {
    virtual ~Receiver() = default;
    virtual LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// A receiver that answers WM_USER with wParam + 1, as the benchmark's
// window procedure does.
Receiver& CountingReceiver();
