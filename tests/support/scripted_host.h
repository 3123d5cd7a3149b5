// A scripted host for tests: a top-level window that stands in for the
// browser. It records every request a component sends it, with the
// contents of the record lParam points to, and answers each from a table
// the test sets. It can also serve stream data from memory.
#pragma once

#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// One request as the host received it. `detail` holds the decoded record
// ("url=... context=... method=0", "handle=3 size=1024", ...).
struct HostRequest {
    UINT message;
    WPARAM wParam;
    std::string detail;
    bool operator==(const HostRequest& o) const {
        return message == o.message && wParam == o.wParam && detail == o.detail;
    }
};

std::string Describe(const HostRequest& r);

// Compares two request sequences; on mismatch the message lists both
// side by side.
::testing::AssertionResult SameRequests(const std::vector<HostRequest>& expected,
                                        const std::vector<HostRequest>& actual);

class ScriptedHost {
public:
    using Responder = std::function<LRESULT(WPARAM wParam, LPARAM lParam)>;

    explicit ScriptedHost(int width = 400, int height = 100);
    ~ScriptedHost();
    ScriptedHost(const ScriptedHost&) = delete;
    ScriptedHost& operator=(const ScriptedHost&) = delete;

    HWND window() const { return window_; }

    // How the host answers a message; unanswered messages get 0.
    void Answer(UINT message, Responder answer);
    void AnswerValue(UINT message, LRESULT value);

    // Serves `bytes` on stream `handle`: reads (1046) copy up to the
    // requested size; once everything is read, a read answers -1 (or 0
    // when `keepOpen`). Opens (1044) of `url` answer `handle`.
    void ServeStream(const std::string& url, LONG_PTR handle, const std::string& bytes,
                     bool keepOpen = false);
    // More bytes for a served stream, for a second announcement.
    void AppendToStream(LONG_PTR handle, const std::string& bytes);

    // The requests received so far (posted ones once dispatched).
    const std::vector<HostRequest>& requests() const { return requests_; }
    std::vector<UINT> messages() const;
    void ClearRequests() { requests_.clear(); }

    // Dispatches every posted message (stream-ready notices land here).
    void Pump();

private:
    struct ServedStream {
        std::string url;
        std::string bytes;
        size_t position = 0;
        bool keepOpen = false;
    };

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ServeRead(const ReadRequest* request);
    std::string Decode(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND window_ = nullptr;
    std::map<UINT, Responder> answers_;
    std::map<LONG_PTR, ServedStream> streams_;
    std::vector<HostRequest> requests_;
};
