// Classes, window creation (message order, failures, creation data),
// the tree and the rectangles of a new window.
#include "user_fixture.h"

namespace usertest {
namespace {

using ClassTest = UserTest;
using CreateTest = UserTest;

TEST_F(ClassTest, NamesAreCaseInsensitiveAndCountedWhileWindowsLive) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = msglog::RecordingProc;
    wc.lpszClassName = "ProbeWnd";
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);  // what the components register with
    EXPECT_TRUE(wc.hCursor);
    ATOM atom = RegisterClassA(&wc);
    EXPECT_GE(atom, 0xC000);

    SetLastError(0xDEAD);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    wc.lpszClassName = "PROBEWND";
    SetLastError(0xDEAD);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    // An atom names the class as well as its name does.
    HWND w = Make(MAKEINTRESOURCEA(atom), "w", WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(w);
    SetLastError(0xDEAD);
    EXPECT_FALSE(UnregisterClassA("probewnd", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassA("probewnd", nullptr));
    SetLastError(0xDEAD);
    EXPECT_FALSE(UnregisterClassA("ProbeWnd", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
}

LRESULT CALLBACK OtherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 2;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A library loaded again has a new instance handle and registers its
// class afresh; its windows get the new procedure.
TEST_F(ClassTest, EachInstanceHasItsOwnClassOfAName) {
    HINSTANCE first = reinterpret_cast<HINSTANCE>(uintptr_t(0x1111));
    HINSTANCE second = reinterpret_cast<HINSTANCE>(uintptr_t(0x2222));
    WNDCLASSA wc{};
    wc.lpfnWndProc = msglog::RecordingProc;
    wc.hInstance = first;
    wc.lpszClassName = "PerInstance";
    ASSERT_NE(RegisterClassA(&wc), 0);
    wc.lpfnWndProc = OtherProc;
    wc.hInstance = second;
    ASSERT_NE(RegisterClassA(&wc), 0);

    HWND w = CreateWindowExA(0, "PerInstance", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, second,
                             nullptr);
    ASSERT_TRUE(w);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OtherProc));
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 2);
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassA("PerInstance", first));
    EXPECT_TRUE(UnregisterClassA("PerInstance", second));
}

TEST_F(CreateTest, FailsForUnknownClassAndOrphanChild) {
    SetLastError(0xDEAD);
    EXPECT_EQ(Make("NoSuchClass", "x", WS_POPUP, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    SetLastError(0xDEAD);
    EXPECT_EQ(Make(kClass, "x", WS_CHILD, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    EXPECT_TRUE(MessageLog::Get().Rows().empty());
}

TEST_F(CreateTest, ChildMessagesInOrder) {
    HWND parent = TopLevel("parent");
    Clear();
    HWND child = Child(parent, "child", 42, 10, 20, 100, 50);
    ASSERT_TRUE(child);
    EXPECT_MESSAGES(Named("create child", {
                                              {child, WM_NCCREATE, 0, 0, kAnyL},
                                              {child, WM_NCCALCSIZE, 0, 0, kAnyL},
                                              {child, WM_CREATE, 0, 0, kAnyL},
                                              {child, WM_SIZE, SIZE_RESTORED, 0x00320064},
                                              {child, WM_MOVE, 0, 0x0014000A},
                                              {parent, WM_PARENTNOTIFY, 0x002A0001, L(child)},
                                              {child, WM_SHOWWINDOW, 1, 0},
                                          }));
}

TEST_F(CreateTest, HiddenTopLevelDefersSizeAndMoveToFirstShow) {
    Clear();
    HWND top = TopLevel("top");
    ASSERT_TRUE(top);
    EXPECT_MESSAGES(Named("create top-level", {
                                                  {top, WM_GETMINMAXINFO, 0, 0, kAnyL},
                                                  {top, WM_NCCREATE, 0, 0, kAnyL},
                                                  {top, WM_NCCALCSIZE, 0, 0, kAnyL},
                                                  {top, WM_CREATE, 0, 0, kAnyL},
                                              }));

    // Showing activates it and gives it the focus.
    Clear();
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_MESSAGES(
        Named("show", {{top, WM_SHOWWINDOW, 1, 0}, {top, WM_WINDOWPOSCHANGING, 0, 0, kAnyL}}) +
        ActivateFirst(top) + FocusMoves(nullptr, top) + ShownFramePainted(top) +
        Named("show", {
                          {top, WM_WINDOWPOSCHANGED, 0, 0, kAnyL},
                          {top, WM_SIZE, SIZE_RESTORED, MAKELPARAM(292, 173)},
                          {top, WM_MOVE, 0, MAKELPARAM(4, 23)},
                      }));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(GetFocus(), top);

    // Only the first show delivers them.
    ShowWindow(top, SW_HIDE);
    Clear();
    EXPECT_FALSE(ShowWindow(top, SW_SHOW));
    EXPECT_TRUE(MessageLog::Get().Only({WM_SIZE, WM_MOVE}).empty());
    EXPECT_TRUE(ShowWindow(top, SW_SHOW));
}

TEST_F(CreateTest, CreateReturningMinusOneEndsWithNcDestroyOnly) {
    HWND parent = TopLevel("parent");
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CREATE) return -1;
        return std::nullopt;
    });
    Clear();
    SetLastError(0xDEAD);
    EXPECT_EQ(Child(parent, "child", 1, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), 0xDEADu);  // a refusal leaves the last error alone
    EXPECT_MESSAGES(Named("refused create", {
                                                {nullptr, WM_NCCREATE, 0, 0, kAnyL},
                                                {nullptr, WM_NCCALCSIZE, 0, 0, kAnyL},
                                                {nullptr, WM_CREATE, 0, 0, kAnyL},
                                                {nullptr, WM_NCDESTROY, 0, 0},
                                            }));
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

TEST_F(CreateTest, NcCreateReturningFalseEndsWithNcDestroy) {
    Hook([](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCCREATE) return FALSE;
        return std::nullopt;
    });
    Clear();
    SetLastError(0xDEAD);
    EXPECT_EQ(Make(kClass, "popup", WS_POPUP, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(GetLastError(), 0xDEADu);
    EXPECT_MESSAGES(Named("refused nccreate", {
                                                  {nullptr, WM_NCCREATE, 0, 0, kAnyL},
                                                  {nullptr, WM_NCDESTROY, 0, 0},
                                              }));
}

TEST_F(CreateTest, CreateStructCarriesTheArguments) {
    HWND parent = TopLevel("parent");
    int data = 7;
    CREATESTRUCTA seen{};
    std::string name;
    Hook([&](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_CREATE) {
            seen = *reinterpret_cast<CREATESTRUCTA*>(l);
            name = seen.lpszName;
        }
        return std::nullopt;
    });
    HWND child = Make(kClass, "kid", WS_CHILD | WS_BORDER, 3, 4, 50, 60, parent, 9, 0, &data);
    ASSERT_TRUE(child);
    EXPECT_EQ(seen.lpCreateParams, &data);
    EXPECT_EQ(seen.hwndParent, parent);
    EXPECT_EQ(seen.hMenu, reinterpret_cast<HMENU>(9));
    EXPECT_EQ(seen.x, 3);
    EXPECT_EQ(seen.y, 4);
    EXPECT_EQ(seen.cx, 50);
    EXPECT_EQ(seen.cy, 60);
    EXPECT_EQ(DWORD(seen.style), DWORD(WS_CHILD | WS_BORDER));
    EXPECT_EQ(name, "kid");
    // DefWindowProcA's WM_NCCREATE took the title from the same record.
    char title[16];
    EXPECT_EQ(GetWindowTextA(child, title, sizeof title), 3);
    EXPECT_STREQ(title, "kid");
}

TEST_F(CreateTest, TreeIdsAndZOrder) {
    HWND parent = TopLevel("parent");
    HWND first = Child(parent, "first", 42, 0, 0, 10, 10);
    HWND second = Child(parent, "second", 43, 0, 0, 10, 10);
    HWND third = Child(parent, "third", 44, 0, 0, 10, 10);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDNEXT), third);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(third, GW_HWNDPREV), second);
    EXPECT_EQ(GetWindow(second, GW_HWNDFIRST), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDLAST), third);
    EXPECT_EQ(GetParent(second), parent);
    EXPECT_EQ(GetParent(parent), nullptr);
    EXPECT_EQ(GetDlgCtrlID(second), 43);
    EXPECT_EQ(GetWindowLongPtrA(second, GWLP_ID), 43);
    EXPECT_EQ(GetWindowLongPtrA(second, GWLP_HWNDPARENT), L(parent));
}

// A sizing or dialog frame is an outer edge of 2 and a line of 1; a
// sizing frame adds 1, and a caption brings a dialog frame with it.
TEST_F(CreateTest, ClientRectFollowsTheFrameStyles) {
    HWND top = TopLevel("top");
    struct {
        DWORD style, exStyle;
        RECT client;
    } cases[] = {
        {WS_CHILD, 0, Rect(0, 0, 100, 50)},
        {WS_CHILD | WS_BORDER, 0, Rect(0, 0, 98, 48)},
        {WS_CHILD, WS_EX_CLIENTEDGE, Rect(0, 0, 96, 46)},
        {WS_CHILD | WS_THICKFRAME, 0, Rect(0, 0, 94, 44)},
        {WS_CHILD | WS_CAPTION, 0, Rect(0, 0, 94, 25)},
        {WS_CHILD | WS_DLGFRAME, 0, Rect(0, 0, 94, 44)},
    };
    for (const auto& c : cases) {
        HWND w = Make(kClass, "c", c.style, 10, 20, 100, 50, top, 1, c.exStyle);
        RECT r;
        ASSERT_TRUE(GetClientRect(w, &r));
        EXPECT_EQ(r, c.client) << "style " << std::hex << c.style << " ex " << c.exStyle;
    }
    RECT r;
    GetClientRect(top, &r);
    EXPECT_EQ(r, Rect(0, 0, 292, 173));
    HWND popup = Make(kClass, "popup", WS_POPUP, 5, 5, 100, 50);
    GetClientRect(popup, &r);
    EXPECT_EQ(r, Rect(0, 0, 100, 50));
}

TEST_F(CreateTest, WindowRectIsInScreenCoordinates) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child", 1, 10, 20, 100, 50);
    HWND grandchild = Make(kClass, "g", WS_CHILD | WS_BORDER, 5, 6, 30, 30, child, 2);
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, Rect(0, 0, 300, 200));
    GetWindowRect(child, &r);
    EXPECT_EQ(r, Rect(14, 43, 114, 93));
    GetWindowRect(grandchild, &r);
    EXPECT_EQ(r, Rect(19, 49, 49, 79));
}

}  // namespace
}  // namespace usertest
