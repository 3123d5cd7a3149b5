// The fixture of the window half's tests: a recording window class,
// helpers that make windows, and a tear-down that leaves the layer as it
// found it (no windows, nothing queued, real clock, no handlers), so the
// tests also pass when they all run in one process.
#pragma once

#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>
#include "support/host_extensions.h"

#include <ostream>
#include <string>
#include <vector>

#include "message_log.h"
#include "sequences.h"

namespace usertest {

constexpr const char* kClass = "QpmTestWindow";      // no background brush
constexpr const char* kBrushClass = "QpmTestBrush";  // a background brush
constexpr int kExtraBytes = 16;

using msglog::MessageLog;
using msglog::Row;

inline void RegisterTestClasses() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = msglog::RecordingProc;
    wc.cbWndExtra = kExtraBytes;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);  // fails harmlessly when an earlier test registered it
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kBrushClass;
    RegisterClassA(&wc);
}

class UserTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClasses();
        MessageLog::Get().Reset();
    }

    void TearDown() override {
        MessageLog::Get().hook = nullptr;
        for (HWND hwnd : made_)
            if (IsWindow(hwnd)) DestroyWindow(hwnd);
        Drain();
        QpmSetWaitHandler(nullptr, nullptr);
        QpmSetMessageBoxHandler(nullptr, nullptr);
        SetFocus(nullptr);
        QpmUseRealClock();
        MessageLog::Get().Reset();
    }

    // Whatever is left once every window is gone: thread messages, WM_QUIT.
    static void Drain() {
        MSG msg;
        for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        }
    }

    HWND Make(const char* cls, const char* name, DWORD style, int x, int y, int cx, int cy,
              HWND parent = nullptr, int id = 0, DWORD exStyle = 0, void* param = nullptr) {
        HWND hwnd =
            CreateWindowExA(exStyle, cls, name, style, x, y, cx, cy, parent,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, param);
        if (hwnd) {
            made_.push_back(hwnd);
            MessageLog::Get().Name(hwnd, name);
        }
        return hwnd;
    }

    // A top-level WS_OVERLAPPEDWINDOW at (0,0), 300x200: client 292x173.
    HWND TopLevel(const char* name = "top", DWORD extraStyle = 0) {
        return Make(kClass, name, WS_OVERLAPPEDWINDOW | extraStyle, 0, 0, 300, 200);
    }

    HWND Child(HWND parent, const char* name, int id, int x, int y, int cx, int cy,
               DWORD style = WS_CHILD | WS_VISIBLE) {
        return Make(kClass, name, style, x, y, cx, cy, parent, id);
    }

    static void Clear() { MessageLog::Get().Clear(); }
    static void Hook(msglog::Hook hook) { MessageLog::Get().hook = std::move(hook); }

private:
    std::vector<HWND> made_;
};

inline RECT Rect(LONG l, LONG t, LONG r, LONG b) { return RECT{l, t, r, b}; }

}  // namespace usertest

// RECT is a global type: its operators must be global for gtest to find them.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}
