// Bookkeeping of nested window-procedure calls and the work put off
// until the outermost one returns.
#include "window_frames.h"

#include <qpm/component.h>
#include <qpm/module.h>
#include <qpm/protocol.h>

#include "instance.h"

#include <map>

namespace {

struct FrameState {
    int depth = 0;
    DeferredTeardown deferred;
};

std::map<HWND, FrameState>& States() {
    static std::map<HWND, FrameState> states;
    return states;
}

void FreeDeferred(const DeferredTeardown& d) {
    delete d.component;
    if (d.bitmap) DeleteObject(d.bitmap);
    if (d.stringBlock) {
        HGLOBAL block = GlobalHandle(d.stringBlock);
        GlobalUnlock(block);
        GlobalFree(block);
    }
    if (d.record) GlobalFree(d.record);
}

}  // namespace

WindowFrame::WindowFrame(HWND window) : window_(window) { ++States()[window].depth; }

WindowFrame::~WindowFrame() {
    auto it = States().find(window_);
    if (it == States().end() || --it->second.depth > 0) return;
    DeferredTeardown work = it->second.deferred;
    States().erase(it);
    FreeDeferred(work);
    // A stop that arrived while the component was busy runs now, as if
    // the host had sent it after the call it interrupted.
    if (work.stopRequested && IsWindow(window_)) QPMLibWndProc(window_, QPMM_STOP, 0, 0);
}

bool WindowFrame::Nested() const {
    auto it = States().find(window_);
    return it != States().end() && it->second.depth > 1;
}

DeferredTeardown& WindowFrame::Deferred() { return States()[window_].deferred; }
