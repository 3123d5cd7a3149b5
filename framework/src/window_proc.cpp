// QPMLibWndProc: the one window procedure of every component window. It
// turns the host's messages into calls of the component's operations.
#include "window_proc.h"

#include <qpm/component.h>
#include <qpm/module.h>
#include <qpm/protocol.h>

#include "instance.h"

#include <cstddef>

namespace {

#if QPM_WITH_PLUGIN
// The leading fields of the browser's stream structure: its address is
// the stream key, and `url` is the stream's URL.
struct DeliveredStream {
    void* pdata;
    void* ndata;
    const char* url;
};
#endif

// Component operations reached through HandleMessage: DefWindowProcA's
// answer when there is no component any more.
LRESULT CallHandleMessage(InstanceRecord* record, UINT message, WPARAM wParam, LPARAM lParam) {
    Component* c = record->component;
    if (c == nullptr) return DefWindowProcA(record->window, message, wParam, lParam);
    return c->HandleMessage(message, wParam, lParam);
}

LRESULT EraseBackground(InstanceRecord* record, WPARAM wParam, LPARAM lParam) {
    HBRUSH brush = CreateSolidBrush(record->backColor);
    if (brush == nullptr) return DefWindowProcA(record->window, WM_ERASEBKGND, wParam, lParam);
    UnrealizeObject(brush);
    RECT client{};
    GetClientRect(record->window, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
    DeleteObject(brush);
    return 1;
}

LRESULT PaintMessage(InstanceRecord* record) {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(record->window, &ps);
    if (dc == nullptr) return 0;
    PaintComponent(record, dc);
    EndPaint(record->window, &ps);
    return 0;
}

// 1027: Stop, delete the component, let go of the record and destroy the
// window, whose WM_DESTROY then frees the blocks.
LRESULT StopComponent(WindowProcCall& call, InstanceRecord* record, HGLOBAL block, bool* held) {
    Component* c = record->component;
    if (c && call.Nested()) {
        call.Deferred().stopRequested = true;
        return 0;
    }
    HWND window = record->window;
    record->component = nullptr;
    if (c) {
        c->instance = record;
        c->Stop();
        delete c;
    }
    GlobalUnlock(block);
    *held = false;
    DestroyWindow(window);
    return 0;
}

// The message table, for a window that has its record.
LRESULT Dispatch(WindowProcCall& call, InstanceRecord* record, HGLOBAL block, UINT message,
                 WPARAM wParam, LPARAM lParam, bool* held) {
    Component* c = record->component;
    if (c) c->instance = record;
    switch (message) {
        case WM_DESTROY:
            *held = false;
            return TearDown(call, record, block, wParam, lParam);
        case WM_PAINT:
            return PaintMessage(record);
        case WM_ERASEBKGND:
            return EraseBackground(record, wParam, lParam);
        case WM_TIMER:
            if (wParam != kIdleTimerId) return CallHandleMessage(record, message, wParam, lParam);
            if (c) c->Idle();
            return 0;
        case QPMM_START:
            return c ? c->Start() : 0;
        case QPMM_RESET:
            if (c) c->Reset();
            return 0;
        case QPMM_STOP:
            return StopComponent(call, record, block, held);
        case QPMM_CONFIRM:
            return c ? c->Confirm() : 1;
        case QPMM_IDLE:
            if (c) c->Idle();
            return 0;
        case QPMM_PRINT:
            if (lParam == 0) return 0;
            return PrintComponent(record, reinterpret_cast<PrintRecord*>(lParam));
        case QPMM_STREAMREADY:
            if (c) c->StreamDataAvailable(lParam);
            return 0;
        case QPMM_STREAMEND:
            if (c) c->StreamEnd(lParam);
            return 0;
        case QPMM_NOTIFY:
            if (c) c->Notify(wParam);
            return 0;
        case QPMM_STREAMNOTICE:
            if (c && lParam) {
                auto* n = reinterpret_cast<const StreamNoticeRecord*>(lParam);
                c->StreamNotice(n->key, n->value, n->length, n->bytes);
            }
            return 0;
        case QPMM_STREAMNOTICE2:
            if (c && lParam) {
                auto* n = reinterpret_cast<const StreamNotice2Record*>(lParam);
                c->StreamNotice2(n->key, n->value, n->bytes);
            }
            return 0;
        case QPMM_STREAMRESUME:
            if (c) c->StreamResume(lParam);
            return 0;
        case QPMM_STREAMFAILED:
            if (c) c->StreamFailed(lParam, static_cast<int32_t>(wParam));
            return 0;
#if QPM_WITH_PLUGIN
        case QPMM_STREAMDATA:
            if (c && lParam) {
                auto* d = reinterpret_cast<const StreamDataRecord*>(lParam);
                c->StreamData(d->key, d->data, d->length, d->offset);
            }
            return 0;
        case QPMM_DELIVERSTREAM:
            // Only the plug-in adapter sends this, always with a stream.
            if (c == nullptr || lParam == 0) return 0;
            return c->DeliverStream(lParam, reinterpret_cast<const DeliveredStream*>(lParam)->url);
#endif
        default:
            return CallHandleMessage(record, message, wParam, lParam);
    }
}

// The message table's last column: no record (none yet, or gone).
LRESULT DispatchWithoutRecord(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY: {
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            FreeOrphanBlock(window);
            return result;
        }
        case WM_PAINT:
            return 0;  // nothing to paint; the update region is left as it is
        case QPMM_STOP:
            DestroyWindow(window);
            return 0;
        case QPMM_CONFIRM:
            return 1;
        default:
            // Host messages are answered 0, which is DefWindowProcA's answer too.
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

extern "C" LRESULT CALLBACK QPMLibWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowProcCall call(window);
    HGLOBAL block = InstanceBlock(window);
    InstanceRecord* record = block ? static_cast<InstanceRecord*>(GlobalLock(block)) : nullptr;
    if (record == nullptr) return DispatchWithoutRecord(window, message, wParam, lParam);
    record->window = window;
    bool held = true;
    LRESULT result = Dispatch(call, record, block, message, wParam, lParam, &held);
    if (held) GlobalUnlock(block);
    return result;
}
