// The browser's streams as the component's data streams: a new stream
// is delivered (message 1115), each chunk pushed (1114), the end told
// (1035). The adapter takes every chunk whole.
#include <qpm/protocol.h>

#include "plugin_callbacks.h"
#include "plugin_globals.h"

namespace {

constexpr int32_t kWriteReadyBytes = 2048;

}  // namespace

NPError NP_LOADDS NPP_NewStream(NPP instance, NPMIMEType, NPStream* stream, NPBool,
                                uint16_t* streamType) {
    if (streamType) *streamType = NP_NORMAL;
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    if (stream == nullptr) return NPERR_INVALID_PARAM;
    HWND window = LiveWindow(instance);
    if (window == nullptr) return NPERR_GENERIC_ERROR;
    const LRESULT taken =
        SendMessageA(window, QPMM_DELIVERSTREAM, 0, reinterpret_cast<LPARAM>(stream));
    return taken != 0 ? NPERR_NO_ERROR : NPERR_GENERIC_ERROR;
}

int32_t NP_LOADDS NPP_WriteReady(NPP, NPStream*) { return kWriteReadyBytes; }

int32_t NP_LOADDS NPP_Write(NPP instance, NPStream* stream, int32_t offset, int32_t length,
                            void* buffer) {
    // A negative answer is the published way to refuse a write.
    if (instance == nullptr || stream == nullptr || length < 0) return -1;
    if (buffer == nullptr && length > 0) return -1;
    if (HWND window = LiveWindow(instance)) {
        StreamDataRecord chunk{reinterpret_cast<LONG_PTR>(stream), static_cast<const char*>(buffer),
                               length, offset};
        SendMessageA(window, QPMM_STREAMDATA, 0, reinterpret_cast<LPARAM>(&chunk));
    }
    return length;
}

NPError NP_LOADDS NPP_DestroyStream(NPP instance, NPStream* stream, NPReason) {
    if (instance == nullptr) return NPERR_INVALID_INSTANCE_ERROR;
    if (stream == nullptr) return NPERR_INVALID_PARAM;
    HWND window = LiveWindow(instance);
    InstanceRecord* record = window ? LockRecord(window) : nullptr;
    if (record == nullptr) return NPERR_NO_ERROR;
    // Whatever the reason, the component's stream ends as a complete one.
    // While it ends, closing it asks nothing of the browser.
    void* outer = record->closingStream;
    record->closingStream = stream;
    UnlockRecord(window);
    SendMessageA(window, QPMM_STREAMEND, 0, reinterpret_cast<LPARAM>(stream));
    if (IsWindow(window) && (record = LockRecord(window)) != nullptr) {
        record->closingStream = outer;
        UnlockRecord(window);
    }
    return NPERR_NO_ERROR;
}

void NP_LOADDS NPP_StreamAsFile(NPP, NPStream*, const char*) {}

void NP_LOADDS NPP_Print(NPP, NPPrint*) {}
