// Bookkeeping of re-entrant window-procedure calls and the work put off
// until the outermost one returns.
#include "reentrant_calls.h"

#include <qpm/component.h>
#include <qpm/module.h>
#include <qpm/protocol.h>
#include <qpm_check.h>

#include "instance.h"

#include <map>

namespace {

struct CallState {
    int depth = 0;
    DeferredTeardown deferred;
};

std::map<HWND, CallState>& States() {
    static std::map<HWND, CallState> states;
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

WindowProcCall::WindowProcCall(HWND window) : window_(window) { ++States()[window].depth; }

WindowProcCall::~WindowProcCall() {
    auto it = States().find(window_);
    QPM_CHECK(it != States().end() && it->second.depth > 0,
              "a window-procedure call ends that was never counted");
    if (--it->second.depth > 0) return;
    // The work is taken out first; the entry stays, with only the parent,
    // while the component is deleted.
    DeferredTeardown work = it->second.deferred;
    it->second.deferred = DeferredTeardown{};
    it->second.deferred.parent = work.parent;
    FreeDeferred(work);
    States().erase(window_);
    // A stop that arrived while the component was busy runs now, as if
    // the host had sent it after the call it interrupted.
    if (work.stopRequested && IsWindow(window_)) QPMLibWndProc(window_, QPMM_STOP, 0, 0);
}

bool WindowProcCall::Nested() const {
    auto it = States().find(window_);
    return it != States().end() && it->second.depth > 1;
}

DeferredTeardown& WindowProcCall::Deferred() { return States()[window_].deferred; }

bool StopDeferred(HWND window) {
    auto it = States().find(window);
    return it != States().end() && it->second.deferred.stopRequested;
}

HWND ParentOfDestroyedWindow(HWND window) {
    auto it = States().find(window);
    return it == States().end() ? nullptr : it->second.deferred.parent;
}
