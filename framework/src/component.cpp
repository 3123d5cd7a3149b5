// The base behaviour of every component: defaults for each operation and
// the stream list's forwarding, delivery and idle sweep.
#include <qpm/component.h>

#include <qpm/data_stream.h>

#include "reentrant_calls.h"
#include "stream_call.h"

#include <cstdlib>
#include <cstring>

Component::Component() : streams(nullptr), instance(nullptr), wantsOffscreen(false) {}

Component::~Component() { CloseAndDeleteStreams(); }

void Component::CloseAndDeleteStreams() {
    // Always take the current head: a message the host sends back while
    // a stream closes may add or remove streams.
    while (DataStream* stream = streams) {
        {
            // The analyzer cannot see that the delete below unlinked the
            // previous stream, so `streams` is a live one here.
            StreamCall call(stream);  // NOLINT(clang-analyzer-cplusplus.NewDelete)
            stream->Close();
        }
        delete stream;  // unlinks itself
    }
}

// A destroy carried out inside a call has already taken the component
// off its record; a stop is only recorded until the call returns.
bool Component::StopPending() const {
    if (instance == nullptr || instance->component != this) return true;
    return StopDeferred(instance->window);
}

int32_t Component::Start() { return 1; }
void Component::Reset() {}
void Component::Stop() { CloseAndDeleteStreams(); }
int32_t Component::Confirm() { return 1; }
void Component::OnDestroy() {}
void Component::OnTimer(UINT_PTR) {}
void Component::Notify(WPARAM) {}
void Component::OnSize(int32_t, int32_t) {}
void Component::Paint(HDC) {}
int32_t Component::Print(PrintRecord*) { return 0; }
DataStream* Component::CreateStream(const char*) { return nullptr; }

// kNoStream names no stream: a message for it must not land on a stream
// that merely has no handle (one whose open was answered "later", say).
DataStream* Component::FindStream(LONG_PTR key) const {
    if (key == kNoStream) return nullptr;
    for (DataStream* s = streams; s; s = s->next)
        if (s->handle == key) return s;
    return nullptr;
}

void Component::StreamDataAvailable(LONG_PTR key) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnDataAvailable();
    }
}

void Component::StreamData(LONG_PTR key, const char* data, int32_t length, int32_t offset) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnData(data, length, offset);
    }
}

void Component::StreamEnd(LONG_PTR key) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnEnd();
    }
}

void Component::StreamResume(LONG_PTR key) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->Resume();
    }
}

void Component::StreamFailed(LONG_PTR key, int32_t code) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnFailed(code);
    }
}

void Component::StreamNotice(LONG_PTR key, int32_t value, int32_t length, const char* bytes) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnNotice(value, length, bytes);
    }
}

void Component::StreamNotice2(LONG_PTR key, int32_t value, const char* bytes) {
    if (DataStream* s = FindStream(key)) {
        StreamCall call(s);
        s->OnNotice2(value, bytes);
    }
}

// A delivered stream goes to the stream that asked for its URL, or to a
// new one from CreateStream.
int32_t Component::DeliverStream(LONG_PTR key, const char* url) {
    for (DataStream* s = streams; s; s = s->next) {
        if (s->pendingUrl != nullptr && url != nullptr && strcmp(s->pendingUrl, url) == 0) {
            StreamCall call(s);
            free(s->pendingUrl);
            s->pendingUrl = nullptr;
            s->handle = key;
            s->Resume();
            return 1;
        }
    }
    DataStream* s = CreateStream(url);
    if (s == nullptr) return 0;
    StreamCall call(s);
    s->Attach(key);
    s->Resume();
    return 1;
}

// The idle sweep: give every stream its idle turn, then delete the
// finished ones that no longer hold an attached host stream. A stream
// that still holds a handle is closed first, inside a call: the host may
// answer the close request by sweeping again, and that sweep must pass
// over it. Its successor is taken only after the close, since that sweep
// may have deleted the one it had.
void Component::Idle() {
    DataStream* s = streams;
    while (s) {
        {
            StreamCall call(s);
            s->OnIdle();
        }
        if (!s->finished || (s->handle != kNoStream && s->attached) || s->callDepth != 0) {
            s = s->next;
            continue;
        }
        {
            StreamCall call(s);
            s->Close();
        }
        DataStream* following = s->next;
        delete s;  // holds no handle now: deleting it sends nothing
        s = following;
    }
}

LRESULT Component::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = instance ? instance->window : nullptr;
    switch (message) {
        case WM_DESTROY:
            OnDestroy();
            break;
        case WM_SIZE:
            if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && instance) {
                instance->width = LOWORD(lParam);
                instance->height = HIWORD(lParam);
                OnSize(instance->width, instance->height);
            }
            break;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
