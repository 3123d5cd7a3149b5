// Window longs: extra bytes, the window's own fields, subclassing.
#include "user_fixture.h"

namespace usertest {
namespace {

using LongsTest = UserTest;

TEST_F(LongsTest, ExtraBytesAreALittleEndianByteArray) {
    if (sizeof(LONG_PTR) == 4) GTEST_SKIP() << "32-bit: the rows are for an 8-byte LONG_PTR";
    HWND w = Make(kClass, "w", WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(GetWindowLongPtrA(w, 0), 0);
    EXPECT_EQ(SetWindowLongPtrA(w, 0, LONG_PTR(0x1122334455667788)), 0);
    EXPECT_EQ(SetWindowLongPtrA(w, 0, LONG_PTR(0x1122334455667788)), LONG_PTR(0x1122334455667788));
    EXPECT_EQ(DWORD(GetWindowLongA(w, 0)), 0x55667788u);
    EXPECT_EQ(DWORD(GetWindowLongA(w, 4)), 0x11223344u);
    EXPECT_EQ(DWORD(GetWindowLongA(w, 1)), 0x44556677u);  // unaligned is fine

    SetWindowLongA(w, 12, LONG(0xCAFEF00D));
    EXPECT_EQ(DWORD(GetWindowLongA(w, 12)), 0xCAFEF00Du);
    EXPECT_EQ(GetWindowLongA(w, 12), LONG(0xCAFEF00D));  // sign-extended as a LONG
}

TEST_F(LongsTest, OffsetsPastTheExtraBytesFailWithInvalidIndex) {
    if (sizeof(LONG_PTR) == 4) GTEST_SKIP() << "32-bit: the rows are for an 8-byte LONG_PTR";
    HWND w = Make(kClass, "w", WS_POPUP, 0, 0, 10, 10);
    struct {
        int index;
        bool pointerSized;
    } bad[] = {{14, false}, {16, false}, {9, true}, {12, true}, {-2, false}, {-100, true}};
    for (const auto& b : bad) {
        SetLastError(0xDEAD);
        LONG_PTR got = b.pointerSized ? GetWindowLongPtrA(w, b.index) : GetWindowLongA(w, b.index);
        EXPECT_EQ(got, 0) << b.index;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX)) << b.index;
        SetLastError(0xDEAD);
        got = b.pointerSized ? SetWindowLongPtrA(w, b.index, 5) : SetWindowLongA(w, b.index, 5);
        EXPECT_EQ(got, 0) << b.index;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX)) << b.index;
    }
    SetLastError(0xDEAD);
    EXPECT_EQ(GetWindowLongPtrA(w, 8), 0);  // offset 8 + 8 = 16: the last that fits
    EXPECT_EQ(GetLastError(), 0xDEADu);
}

TEST_F(LongsTest, WindowFields) {
    HWND parent = TopLevel("parent");
    HWND w = Make(kClass, "w", WS_CHILD | WS_BORDER, 0, 0, 10, 10, parent, 5);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_ID), 5);
    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_ID, 6), 5);
    EXPECT_EQ(GetDlgCtrlID(w), 6);
    EXPECT_EQ(DWORD(GetWindowLongA(w, GWL_STYLE)), DWORD(WS_CHILD | WS_BORDER));
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), 0);
    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongA(w, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_HWNDPARENT), L(parent));
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_HINSTANCE), 0);
    // An overlapped window always gets a caption and clips its siblings.
    EXPECT_EQ(DWORD(GetWindowLongA(parent, GWL_STYLE)) & (WS_CAPTION | WS_CLIPSIBLINGS),
              DWORD(WS_CAPTION | WS_CLIPSIBLINGS));
}

// Pointer fields do not fit the 32-bit forms on a 64-bit system.
TEST_F(LongsTest, PointerFieldsNeedThePtrFormsOn64Bit) {
    if (sizeof(void*) == 4) GTEST_SKIP() << "32-bit: the LONG forms hold pointers";
    HWND w = Make(kClass, "w", WS_POPUP, 0, 0, 10, 10);
    // The same indexes as GWL_WNDPROC, GWL_HINSTANCE and GWL_HWNDPARENT,
    // which 64-bit Windows headers leave out.
    for (int index : {GWLP_WNDPROC, GWLP_HINSTANCE, GWLP_HWNDPARENT}) {
        SetLastError(0xDEAD);
        EXPECT_EQ(GetWindowLongA(w, index), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    }
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(msglog::RecordingProc));
}

WNDPROC oldProc = nullptr;
LRESULT oldResult = 0;

LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7) {
        oldResult = CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
        return 1008;
    }
    return CallWindowProcA(oldProc, hwnd, message, wParam, lParam);
}

TEST_F(LongsTest, SubclassingThroughGwlpWndProc) {
    HWND w = Make(kClass, "w", WS_POPUP, 0, 0, 10, 10);
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER + 7) return 1007;
        return std::nullopt;
    });
    oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    EXPECT_EQ(oldProc, msglog::RecordingProc);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    EXPECT_EQ(SendMessageA(w, WM_USER + 7, 0, 0), 1008);
    EXPECT_EQ(oldResult, 1007);

    // Posted messages reach the new procedure too.
    oldResult = 0;
    PostMessageA(w, WM_USER + 7, 0, 0);
    EXPECT_EQ(QpmPumpMessages(), 1u);
    EXPECT_EQ(oldResult, 1007);

    EXPECT_EQ(CallWindowProcA(msglog::RecordingProc, w, WM_USER + 7, 0, 0), 1007);
    EXPECT_EQ(CallWindowProcA(nullptr, w, WM_USER + 7, 0, 0), 0);

    // Taking the subclass off again.
    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc)),
              reinterpret_cast<LONG_PTR>(Subclass));
    EXPECT_EQ(SendMessageA(w, WM_USER + 7, 0, 0), 1007);
}

}  // namespace
}  // namespace usertest
