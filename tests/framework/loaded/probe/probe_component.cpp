// The probe: a component that overrides every operation, records each
// call with its arguments and otherwise behaves as the base class. Built
// as a component library, so tests drive the framework exactly as a host
// does: LoadLibraryA, the exports, window messages.
#include <qpm/component.h>
#include <qpm/data_stream.h>
#include <qpm/module.h>

#include "framework/loaded/probe/probe_state.h"

namespace {

ProbeState state = [] {
    ProbeState s{};
    s.startResult = 1;
    s.confirmResult = 1;
    s.calcResult = 1;
    s.calcWidth = 321;
    s.calcHeight = 45;
    s.paintColor = RGB(255, 0, 0);
    s.streamHandle = -1;
    s.streamCount = 1;
    return s;
}();

LONG_PTR Arg(const void* p) { return reinterpret_cast<LONG_PTR>(p); }

void Log(int32_t slot, LONG_PTR a = 0, LONG_PTR b = 0, LONG_PTR c = 0, LONG_PTR d = 0) {
    if (state.eventCount < int32_t(sizeof state.events / sizeof state.events[0]))
        state.events[state.eventCount++] = ProbeEvent{slot, a, b, c, d};
}

// The stream of the probe's own request: its failure (the pending
// request's timeout) is logged.
class ProbeStream : public DataStream {
public:
    using DataStream::DataStream;
    void OnFailed(int32_t code) override {
        Log(kSlotRequestFailed, code);
        DataStream::OnFailed(code);
    }
};

class ProbeComponent : public Component {
public:
    ProbeComponent() { wantsOffscreen = state.wantsOffscreen != 0; }
    ~ProbeComponent() override {
        Log(kSlotDestructor);
        ++state.destroyed;
    }
    int32_t Start() override {
        Log(kSlotStart);
        if (state.streamHandle != -1) {
            for (int32_t i = 0; i < state.streamCount; ++i)
                (new DataStream(this))->Attach(state.streamHandle + i);
        }
        if (state.requestUrl[0]) {
            UrlRequest request{state.requestUrl, "",
                               state.requestDataNull ? nullptr : state.requestData,
                               state.requestMethod, state.requestDataLength};
            state.openResult = (new ProbeStream(this))->Open(&request, 0);
        }
        return state.startResult;
    }
    void Reset() override { Log(kSlotReset); }
    void Stop() override {
        Log(kSlotStop);
        Component::Stop();
    }
    int32_t Confirm() override {
        Log(kSlotConfirm);
        return state.confirmResult;
    }
    void OnDestroy() override { Log(kSlotOnDestroy); }
    void OnTimer(UINT_PTR id) override { Log(kSlotOnTimer, LONG_PTR(id)); }
    void StreamDataAvailable(LONG_PTR key) override {
        Log(kSlotStreamDataAvailable, key);
        Component::StreamDataAvailable(key);
    }
    void StreamData(LONG_PTR key, const char* data, int32_t length, int32_t offset) override {
        Log(kSlotStreamData, key, Arg(data), length, offset);
    }
    void StreamEnd(LONG_PTR key) override {
        Log(kSlotStreamEnd, key);
        if (DataStream* s = state.closeOnEnd ? FindStream(key) : nullptr) s->Close();
        Component::StreamEnd(key);
    }
    void StreamResume(LONG_PTR key) override { Log(kSlotStreamResume, key); }
    int32_t DeliverStream(LONG_PTR key, const char* url) override {
        Log(kSlotDeliverStream, key, Arg(url));
        return Component::DeliverStream(key, url);
    }
    void StreamFailed(LONG_PTR key, int32_t code) override { Log(kSlotStreamFailed, key, code); }
    DataStream* CreateStream(const char* url) override {
        Log(kSlotCreateStream, Arg(url));
        return nullptr;
    }
    void Notify(WPARAM value) override { Log(kSlotNotify, LONG_PTR(value)); }
    void Idle() override {
        Log(kSlotIdle);
        Component::Idle();
    }
    void StreamNotice(LONG_PTR key, int32_t value, int32_t length, const char* bytes) override {
        Log(kSlotStreamNotice, key, value, length, Arg(bytes));
    }
    void StreamNotice2(LONG_PTR key, int32_t value, const char* bytes) override {
        Log(kSlotStreamNotice2, key, value, Arg(bytes));
    }
    void OnSize(int32_t width, int32_t height) override {
        Log(kSlotOnSize, width, height);
        state.sizeWidthAtOnSize = instance->width;
        state.sizeHeightAtOnSize = instance->height;
    }
    void Paint(HDC dc) override {
        Log(kSlotPaint, Arg(dc));
        state.paintPrinting = instance->printing;
        GetWindowOrgEx(dc, &state.paintOrigin);
        state.paintTextColor = GetTextColor(dc);
        state.paintBkColor = GetBkColor(dc);
        RECT r{2, 2, 12, 12};
        HBRUSH brush = CreateSolidBrush(state.paintColor);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    int32_t Print(PrintRecord* record) override {
        Log(kSlotPrint, Arg(record));
        return state.printResult;
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        Log(kSlotHandleMessage, message, LONG_PTR(wParam), lParam);
        return Component::HandleMessage(message, wParam, lParam);
    }
};

}  // namespace

extern "C" QPM_EXPORT ProbeState* ProbeGetState() { return &state; }

const char ComponentName[] = QPM_PROBE_NAME;

Component* CreateComponent(InitRecord*) {
    if (state.failCreate) return nullptr;
    ++state.created;
    return new ProbeComponent;
}

int32_t CalcComponentSize(InitRecord* record) {
    record->width = state.calcWidth;
    record->height = state.calcHeight;
    return state.calcResult;
}
