// The component window of a plug-in instance: made inside the browser's
// window by the instance's first NPP_SetWindow, from the record NPP_New
// prepared, and resized by the later ones.
#include <qpm/module.h>
#include <qpm/plugin_bridge.h>
#include <qpm/protocol.h>

#include "plugin_callbacks.h"
#include "plugin_globals.h"

namespace {

constexpr UINT kIdlePeriodMs = 100;

void MarkPluginWindow(HWND window, NPP instance) {
    InstanceRecord* record = LockRecord(window);
    if (record == nullptr) return;
    record->pluginMode = 1;
    record->pluginInstance = instance;
    record->closingStream = nullptr;
    UnlockRecord(window);
}

void FreeRecord(InstanceRecord* record) {
    ReleaseInstanceStrings(record);
    GlobalFree(record);
}

// Makes, marks and starts the component window from `record`, which the
// caller frees afterwards. NPERR_NO_ERROR when the component started.
NPError StartComponent(NPP instance, NPWindow* window, InstanceRecord* record) {
    record->width = int32_t(window->width);
    record->height = int32_t(window->height);
    HWND component = QPMInit(static_cast<HWND>(window->window), record);
    if (component == nullptr) return NPERR_GENERIC_ERROR;
    instance->pdata = component;
    MarkPluginWindow(component, instance);
    const LRESULT started =
        SendMessageA(component, QPMM_START, 0, reinterpret_cast<LPARAM>(record));
    if (started == 0 || !IsWindow(component)) {
        instance->pdata = nullptr;
        if (IsWindow(component)) DestroyWindow(component);
        return NPERR_GENERIC_ERROR;
    }
    // No host idles a plug-in: its own timer runs the stream sweep.
    SetTimer(component, kIdleTimerId, kIdlePeriodMs, nullptr);
    return NPERR_NO_ERROR;
}

}  // namespace

NPError NP_LOADDS NPP_SetWindow(NPP instance, NPWindow* window) {
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    if (window == nullptr) return NPERR_GENERIC_ERROR;
    if (HWND component = static_cast<HWND>(instance->pdata)) {
        if (IsWindow(component))
            MoveWindow(component, 0, 0, int(window->width), int(window->height), TRUE);
        return NPERR_NO_ERROR;
    }
    if (waitingRecord == nullptr) return NPERR_GENERIC_ERROR;
    // No window to be a child of: refused, and the record keeps waiting.
    if (window->window == nullptr) return NPERR_GENERIC_ERROR;
    // Taken out of the global first: a browser called back while the
    // component starts may prepare another instance meanwhile.
    InstanceRecord* record = waitingRecord;
    waitingRecord = nullptr;
    const NPError result = StartComponent(instance, window, record);
    FreeRecord(record);
    return result;
}
