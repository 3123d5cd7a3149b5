// Posted messages: one FIFO queue for the one thread, plus the quit flag
// that PostQuitMessage raises.
#include "user/user_internal.h"

#include <algorithm>
#include <deque>

namespace qpm {
namespace {

std::deque<MSG> posted;
bool quitPending = false;
int quitCode = 0;

// A message posted to a window that is being destroyed is accepted but
// never delivered; PurgePostedMessages drops it when the window is freed.
bool Deliverable(const MSG& m) {
    if (!m.hwnd) return true;
    Window* w = LookupWindow(m.hwnd);
    return w && !w->destroying;
}

}  // namespace

// hwnd filter as GetMessageA takes it: NULL = any, (HWND)-1 = thread
// messages only, otherwise the window and its descendants. A range of
// 0..0, or one whose first is above its last, lets every message through.
bool MessageMatches(HWND filter, HWND hwnd, UINT first, UINT last, UINT message) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (hwnd) return false;
    } else if (filter && hwnd != filter && !IsDescendant(filter, hwnd)) {
        return false;
    }
    if ((first == 0 && last == 0) || first > last) return true;
    return message >= first && message <= last;
}

bool TakePostedMessage(MSG* msg, HWND filter, UINT first, UINT last, bool remove) {
    for (auto it = posted.begin(); it != posted.end(); ++it) {
        if (!MessageMatches(filter, it->hwnd, first, last, it->message) || !Deliverable(*it))
            continue;
        *msg = *it;
        if (remove) posted.erase(it);
        return true;
    }
    return false;
}

bool TakeQuitMessage(MSG* msg, UINT first, UINT last, bool remove) {
    if (!quitPending || !MessageMatches(nullptr, nullptr, first, last, WM_QUIT)) return false;
    *msg = MSG{nullptr, WM_QUIT, WPARAM(quitCode), 0, NowTicks(), {0, 0}};
    if (remove) quitPending = false;
    return true;
}

void PurgePostedMessages(HWND hwnd) {
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [hwnd](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
}

}  // namespace qpm

using namespace qpm;

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !LookupWindowOrFail(hwnd)) return FALSE;
    TraceMessage("post", hwnd, message, wParam, lParam);
    posted.push_back(MSG{hwnd, message, wParam, lParam, NowTicks(), {0, 0}});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    QPM_TRACE("msg", "quit %d", exitCode);
    quitPending = true;
    quitCode = exitCode;
}
