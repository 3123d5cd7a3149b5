// GetSystemMetrics: the reference system's screen (1024x768) and the
// frame sizes the window layout uses. Unknown indexes give 0.
#include "user/user_internal.h"

namespace {

// Win32 index values the public header leaves out.
constexpr int kSmCyCaption = 4;
constexpr int kSmCxBorder = 5;
constexpr int kSmCyBorder = 6;
constexpr int kSmCxDlgFrame = 7;
constexpr int kSmCyDlgFrame = 8;
constexpr int kSmCxFrame = 32;
constexpr int kSmCyFrame = 33;
constexpr int kSmCxEdge = 45;
constexpr int kSmCyEdge = 46;

}  // namespace

using namespace qpm;

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return kScreenWidth;
        case SM_CYSCREEN:
            return kScreenHeight;
        case kSmCyCaption:
            return kCaptionHeight;
        case kSmCxBorder:
        case kSmCyBorder:
            return kBorderWidth;
        case kSmCxDlgFrame:
        case kSmCyDlgFrame:
            return kDlgFrameWidth;
        case kSmCxFrame:
        case kSmCyFrame:
            return kFrameWidth;
        case kSmCxEdge:
        case kSmCyEdge:
            return kEdgeWidth;
        default:
            return 0;
    }
}
