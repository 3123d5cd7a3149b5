// Plug-in instances: NPP_New prepares the creation record of the
// instance's component window, which NPP_SetWindow makes; NPP_Destroy
// stops the component. Also the helpers that reach a component window.
#include <qpm/plugin_bridge.h>
#include <qpm/protocol.h>

#include "plugin_callbacks.h"
#include "plugin_globals.h"

namespace {

// The creation record of a plug-in instance: the tag's arguments, a
// fixed size until NPP_SetWindow gives the real one, grey and black.
InitRecord InstanceInitRecord(int16_t argc, char* argn[], char* argv[]) {
    InitRecord record{};
    record.size = sizeof(InitRecord);
    // A count above 32767 arrives negative: the set-up copies no pairs then.
    record.attrCount = argc;
    record.attrNames = argn;
    record.attrValues = argv;
    record.width = 400;
    record.height = 200;
    record.backColor = RGB(0xC0, 0xC0, 0xC0);
    record.textColor = RGB(0, 0, 0);
    record.fixedSize = 1;
    return record;
}

}  // namespace

void ReleaseWaitingRecord() {
    InstanceRecord* record = waitingRecord;
    if (record == nullptr) return;
    waitingRecord = nullptr;
    ReleaseInstanceStrings(record);
    GlobalFree(record);
}

HWND LiveWindow(NPP instance) {
    HWND window = static_cast<HWND>(instance->pdata);
    return window != nullptr && IsWindow(window) ? window : nullptr;
}

InstanceRecord* LockRecord(HWND window) {
    HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    return block ? static_cast<InstanceRecord*>(GlobalLock(block)) : nullptr;
}

void UnlockRecord(HWND window) {
    GlobalUnlock(reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0)));
}

NPError NP_LOADDS NPP_New(NPMIMEType, NPP instance, uint16_t mode, int16_t argc, char* argn[],
                          char* argv[], NPSavedData*) {
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    if (mode != NP_EMBED && mode != NP_FULL) return NPERR_GENERIC_ERROR;
    auto* record = static_cast<InstanceRecord*>(GlobalAlloc(GPTR, sizeof(InstanceRecord)));
    if (record == nullptr) return NPERR_GENERIC_ERROR;
    InitRecord init = InstanceInitRecord(argc, argn, argv);
    SetUpDetachedInstance(record, &init);
    // A record still waiting is replaced, and freed.
    ReleaseWaitingRecord();
    waitingRecord = record;
    instance->pdata = nullptr;
    return NPERR_NO_ERROR;
}

NPError NP_LOADDS NPP_Destroy(NPP instance, NPSavedData** saved) {
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    // The instance lets go of its window first: callbacks the browser
    // makes while the component stops find no window.
    HWND window = LiveWindow(instance);
    instance->pdata = nullptr;
    if (window != nullptr) {
        SendMessageA(window, QPMM_STOP, 0, 0);
        // A component busy in a call stops when that call returns, after
        // the browser has freed the instance: it must not reach it then.
        if (IsWindow(window)) {
            if (InstanceRecord* record = LockRecord(window)) {
                record->pluginInstance = nullptr;
                UnlockRecord(window);
            }
        }
    }
    ReleaseWaitingRecord();
    if (saved) *saved = nullptr;
    return NPERR_NO_ERROR;
}
