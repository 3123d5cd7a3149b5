// Tearing a component window down on WM_DESTROY.
#include <qpm/component.h>

#include "instance.h"
#include "window_proc.h"

namespace {

// The component sees WM_DESTROY. It is detached from the record first,
// so messages provoked by its requests from here on reach nothing dying.
LRESULT NotifyComponent(InstanceRecord* record, Component* component, WPARAM wParam,
                        LPARAM lParam) {
    if (component == nullptr) return DefWindowProcA(record->window, WM_DESTROY, wParam, lParam);
    component->instance = record;
    return component->HandleMessage(WM_DESTROY, wParam, lParam);
}

void ForgetPluginInstance(InstanceRecord* record) {
#if QPM_WITH_PLUGIN
    // The plug-in instance keeps this window's handle in its first field.
    if (record->pluginInstance) *static_cast<HWND*>(record->pluginInstance) = nullptr;
    if (record->pluginMode) KillTimer(record->window, kIdleTimerId);
#else
    (void)record;
#endif
}

}  // namespace

LRESULT TearDown(WindowProcCall& call, InstanceRecord* record, HGLOBAL block, WPARAM wParam,
                 LPARAM lParam) {
    Component* component = record->component;
    record->component = nullptr;
    LRESULT result = NotifyComponent(record, component, wParam, lParam);

    if (call.Nested()) {
        // A call further up the stack still runs inside the component or
        // holds the record: delete and free when it has returned.
        DeferredTeardown& later = call.Deferred();
        later.component = component;
        later.bitmap = record->offscreenBitmap;
        later.stringBlock = record->stringBlock;
        later.record = block;
        later.parent = GetParent(record->window);
        record->offscreenBitmap = nullptr;
        record->stringBlock = nullptr;
        ForgetPluginInstance(record);
        SetWindowLongPtrA(record->window, 0, 0);
        return result;
    }

    if (component) {
        component->instance = record;
        delete component;
    }
    if (record->offscreenBitmap) DeleteObject(record->offscreenBitmap);
    record->offscreenBitmap = nullptr;
    ForgetPluginInstance(record);
    ReleaseStringBlock(record);
    HWND window = record->window;
    GlobalUnlock(block);
    GlobalFree(block);
    SetWindowLongPtrA(window, 0, 0);
    return result;
}

void FreeOrphanBlock(HWND window) {
    HGLOBAL block = InstanceBlock(window);
    if (block == nullptr) return;
    GlobalUnlock(block);
    GlobalFree(block);
    SetWindowLongPtrA(window, 0, 0);
}
