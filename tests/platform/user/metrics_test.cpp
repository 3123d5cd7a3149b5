// GetSystemMetrics agrees with the frames windows get: a component that
// sizes a window from the metrics gets the client area it planned.
#include "user_fixture.h"

namespace usertest {
namespace {

// Win32 index values (not every header has the names).
constexpr int kCyCaption = 4, kCxBorder = 5, kCxDlgFrame = 7, kCxFrame = 32, kCxEdge = 45;

using MetricsTest = UserTest;

TEST_F(MetricsTest, FramesAreAsWideAsTheMetricsSay) {
    const int caption = GetSystemMetrics(kCyCaption), border = GetSystemMetrics(kCxBorder),
              dialog = GetSystemMetrics(kCxDlgFrame), frame = GetSystemMetrics(kCxFrame),
              edge = GetSystemMetrics(kCxEdge);
    struct {
        const char* name;
        DWORD style, exStyle;
        int dx, dy;  // window size minus client size
    } rows[] = {
        {"overlapped", WS_OVERLAPPEDWINDOW, 0, 2 * frame, caption + 2 * frame},
        {"border", WS_POPUP | WS_BORDER, 0, 2 * border, 2 * border},
        {"dialog frame", WS_POPUP | WS_DLGFRAME, 0, 2 * dialog, 2 * dialog},
        {"client edge", WS_POPUP, WS_EX_CLIENTEDGE, 2 * edge, 2 * edge},
        {"bare", WS_POPUP, 0, 0, 0},
    };
    for (const auto& row : rows) {
        HWND window = Make(kClass, row.name, row.style, 0, 0, 200, 100, nullptr, 0, row.exStyle);
        ASSERT_NE(window, nullptr) << row.name;
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_EQ(200 - client.right, row.dx) << row.name;
        EXPECT_EQ(100 - client.bottom, row.dy) << row.name;
    }
    EXPECT_GT(caption, 0);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
    EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
}

}  // namespace
}  // namespace usertest
