// A component that overrides nothing gets the base behaviour of every
// operation.
#include <cstddef>
#include <string>

#include "framework/linked/units_fixture.h"

namespace {

using BaseComponentTest = UnitsTest;

TEST_F(BaseComponentTest, AComponentThatOverridesNothing) {
    delete record->component;
    record->component = new Component;
    EXPECT_EQ(SendMessageA(window, QPMM_START, 0, 0), 1);
    EXPECT_EQ(SendMessageA(window, QPMM_CONFIRM, 0, 0), 1);

    // Printing runs the empty Paint: the page stays blank.
    HDC printer = QpmCreatePrinterDC(20, 10);
    PrintRecord print{};
    print.hdc = printer;
    EXPECT_EQ(SendMessageA(window, QPMM_PRINT, 0, reinterpret_cast<LPARAM>(&print)), 1);
    QpmPixels page{};
    ASSERT_TRUE(QpmGetDCPixels(printer, &page));
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const unsigned char* p = page.bgrx + ptrdiff_t(y) * page.stride + ptrdiff_t(x) * 4;
            ASSERT_EQ(RGB(p[2], p[1], p[0]), RGB(255, 255, 255)) << x << "," << y;
        }
    }
    DeleteDC(printer);

    // Window messages the framework does not handle reach DefWindowProcA;
    // a timer other than the idle timer is answered 0.
    EXPECT_TRUE(SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("base")));
    char text[8] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_EQ(std::string(text), "base");
    EXPECT_EQ(SendMessageA(window, WM_TIMER, 7, 0), 0);
    EXPECT_EQ(SendMessageA(window, QPMM_IDLE, 0, 0), 0);
    host.Pump();
    EXPECT_TRUE(host.requests().empty());
}

}  // namespace
