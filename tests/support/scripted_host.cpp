// The scripted test host.
#include <gtest/gtest.h>

#include "support/scripted_host.h"

#include <qpm_platform.h>

#include <algorithm>
#include <cstring>
#include <sstream>

namespace {

const char kHostClass[] = "QpmScriptedHost";

void RegisterHostClass(WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
}

std::string Text(const char* s) { return s ? std::string("\"") + s + "\"" : "null"; }

}  // namespace

std::string Describe(const HostRequest& r) {
    std::ostringstream out;
    out << QpmMessageName(r.message) << " w=" << r.wParam;
    if (!r.detail.empty()) out << " " << r.detail;
    return out.str();
}

::testing::AssertionResult SameRequests(const std::vector<HostRequest>& expected,
                                        const std::vector<HostRequest>& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    std::ostringstream out;
    out << "request sequences differ (expected | actual):\n";
    size_t n = std::max(expected.size(), actual.size());
    for (size_t i = 0; i < n; ++i) {
        std::string e = i < expected.size() ? Describe(expected[i]) : "-";
        std::string a = i < actual.size() ? Describe(actual[i]) : "-";
        out << (e == a ? "   " : " * ") << i << ": " << e << " | " << a << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

ScriptedHost::ScriptedHost(int width, int height) {
    RegisterHostClass(&ScriptedHost::WndProc);
    window_ =
        CreateWindowExA(0, kHostClass, "scripted host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                        0, width, height, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, 0, reinterpret_cast<LONG_PTR>(this));
}

ScriptedHost::~ScriptedHost() {
    if (IsWindow(window_)) {
        SetWindowLongPtrA(window_, 0, 0);
        DestroyWindow(window_);
    }
}

void ScriptedHost::Answer(UINT message, Responder answer) { answers_[message] = std::move(answer); }

void ScriptedHost::AnswerValue(UINT message, LRESULT value) {
    answers_[message] = [value](WPARAM, LPARAM) { return value; };
}

void ScriptedHost::ServeStream(const std::string& url, LONG_PTR handle, const std::string& bytes,
                               bool keepOpen) {
    ServedStream s;
    s.url = url;
    s.bytes = bytes;
    s.keepOpen = keepOpen;
    streams_[handle] = s;
}

void ScriptedHost::AppendToStream(LONG_PTR handle, const std::string& bytes) {
    streams_[handle].bytes += bytes;
}

std::vector<UINT> ScriptedHost::messages() const {
    std::vector<UINT> m;
    for (const HostRequest& r : requests_) m.push_back(r.message);
    return m;
}

void ScriptedHost::Pump() { QpmPumpMessages(); }

LRESULT CALLBACK ScriptedHost::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ScriptedHost*>(GetWindowLongPtrA(hwnd, 0));
    if (self && message >= kFirstRequest && message <= kLastRequest)
        return self->OnMessage(message, wParam, lParam);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT ScriptedHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    requests_.push_back(HostRequest{message, wParam, Decode(message, wParam, lParam)});
    auto answer = answers_.find(message);
    if (answer != answers_.end()) return answer->second(wParam, lParam);
    if (message == QPMR_OPENSTREAM) {
        const auto* request = reinterpret_cast<const UrlRequest*>(lParam);
        for (const auto& [handle, stream] : streams_)
            if (request->url && stream.url == request->url) return handle;
        return kNoStream;
    }
    if (message == QPMR_READSTREAM) return ServeRead(reinterpret_cast<const ReadRequest*>(lParam));
    return 0;
}

LRESULT ScriptedHost::ServeRead(const ReadRequest* request) {
    auto it = streams_.find(request->handle);
    if (it == streams_.end()) return -1;
    ServedStream& s = it->second;
    size_t left = s.bytes.size() - s.position;
    if (left == 0) return s.keepOpen ? 0 : -1;
    size_t n = std::min(left, size_t(request->size > 0 ? request->size : 0));
    memcpy(request->buffer, s.bytes.data() + s.position, n);
    s.position += n;
    return LRESULT(n);
}

std::string ScriptedHost::Decode(UINT message, WPARAM, LPARAM lParam) const {
    std::ostringstream out;
    switch (message) {
        case QPMR_OPENSTREAM: {
            const auto* r = reinterpret_cast<const UrlRequest*>(lParam);
            out << "url=" << Text(r->url) << " context=" << Text(r->context)
                << " data=" << Text(r->data) << " method=" << r->method
                << " length=" << r->dataLength;
            break;
        }
        case QPMR_READSTREAM: {
            const auto* r = reinterpret_cast<const ReadRequest*>(lParam);
            out << "handle=" << r->handle << " size=" << r->size;
            break;
        }
        case QPMR_CLOSESTREAM:
        case QPMR_STREAMREADY:
            out << "handle=" << lParam;
            break;
        case QPMR_RESIZE: {
            const auto* r = reinterpret_cast<const SizeRequest*>(lParam);
            out << "size=" << r->width << "x" << r->height;
            break;
        }
        case QPMR_CONFIRMED:
            out << "type=" << Text(reinterpret_cast<const char*>(lParam));
            break;
        default:
            break;
    }
    return out.str();
}
