// WM_GETMINMAXINFO: the maximized geometry and the tracking limits of a
// top-level window, which its procedure may change. The default tracking
// limits are wide open (0 to 32767) rather than the screen's, so that a
// host can make a window larger than the reference 1024x768 screen.
#include "user/user_internal.h"

#include <algorithm>

namespace qpm {
namespace {

constexpr LONG kMaxTrack = 32767;

}  // namespace

// Maximized, the frame lies just outside the screen on every side.
MinMaxInfo DefaultMinMaxInfo(const Window& w) {
    RECT in = NonClientInsets(w.style & ~WS_MINIMIZE, w.exStyle);
    MinMaxInfo info{};
    info.ptMaxSize = POINT{kScreenWidth + 2 * in.left, kScreenHeight + 2 * in.bottom};
    info.ptMaxPosition = POINT{-in.left, -in.bottom};
    info.ptMinTrackSize = POINT{0, 0};
    info.ptMaxTrackSize = POINT{kMaxTrack, kMaxTrack};
    return info;
}

bool AsksMinMaxInfo(DWORD style) {
    return (style & WS_THICKFRAME) || !(style & (WS_POPUP | WS_CHILD));
}

void ApplyMinMaxInfo(HWND hwnd, int* cx, int* cy) {
    Window* w = LookupWindow(hwnd);
    if (!w) return;
    MinMaxInfo info = DefaultMinMaxInfo(*w);
    SendIfWindow(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    LONG minX = std::max<LONG>(0, info.ptMinTrackSize.x);
    LONG minY = std::max<LONG>(0, info.ptMinTrackSize.y);
    *cx = std::min<LONG>(std::max<LONG>(*cx, minX), std::max(minX, info.ptMaxTrackSize.x));
    *cy = std::min<LONG>(std::max<LONG>(*cy, minY), std::max(minY, info.ptMaxTrackSize.y));
}

}  // namespace qpm
