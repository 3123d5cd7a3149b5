// GetWindowDrawTarget: the surface, origin and clip a window draws with,
// for a component inside an installer's window inside a host's window.
#include "user_fixture.h"
#include "window_internal.h"

namespace usertest {
namespace {

class DrawTargetTest : public UserTest {
protected:
    void SetUp() override {
        UserTest::SetUp();
        // host: client 292x173 at (4,23) of its window.
        host = TopLevel("host", WS_VISIBLE);
        // installer: at (10,20) in the host, 200x100, a one-pixel border.
        installer = Make(kClass, "installer",
                         WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_BORDER, 10,
                         20, 200, 100, host, 1);
        // component: at (5,5) in the installer's client, larger than it.
        component = Child(installer, "component", 1, 5, 5, 300, 300);
        ASSERT_TRUE(host && installer && component);
    }

    static qpm::WindowDrawTarget Target(HWND hwnd) {
        qpm::WindowDrawTarget t;
        EXPECT_TRUE(qpm::GetWindowDrawTarget(hwnd, &t));
        return t;
    }

    HWND host = nullptr, installer = nullptr, component = nullptr;
};

TEST_F(DrawTargetTest, ComponentInInstallerInHost) {
    qpm::WindowDrawTarget h = Target(host), i = Target(installer), c = Target(component);
    ASSERT_TRUE(h.surface);
    EXPECT_EQ(h.surface->width, 292);
    EXPECT_EQ(h.surface->height, 173);
    EXPECT_EQ(i.surface, h.surface);
    EXPECT_EQ(c.surface, h.surface);

    EXPECT_EQ(h.origin.x, 0);
    EXPECT_EQ(h.origin.y, 0);
    EXPECT_EQ(i.origin.x, 11);  // 10 + the border
    EXPECT_EQ(i.origin.y, 21);
    EXPECT_EQ(c.origin.x, 16);
    EXPECT_EQ(c.origin.y, 26);

    // The component is cut to the installer's client area (11,21)-(209,119).
    EXPECT_EQ(c.clip.Bounds(), Rect(16, 26, 209, 119));
    EXPECT_EQ(c.clip.Rects().size(), 1u);

    // The installer clips out its child; the host (no WS_CLIPCHILDREN) does not.
    EXPECT_TRUE(i.clip.Contains(12, 22));
    EXPECT_TRUE(i.clip.Contains(208, 25));
    EXPECT_FALSE(i.clip.Contains(16, 26));
    EXPECT_FALSE(i.clip.Contains(208, 118));
    EXPECT_EQ(h.clip.Bounds(), Rect(0, 0, 292, 173));
    EXPECT_TRUE(h.clip.Contains(100, 50));
}

TEST_F(DrawTargetTest, SiblingsAboveAreClippedAlongTheWholePath) {
    // A sibling of the installer, below it in Z order, changes nothing; one
    // made first (above it) is cut out of the installer and the component.
    HWND below = Child(host, "below", 2, 0, 0, 50, 50);
    qpm::WindowDrawTarget c = Target(component);
    EXPECT_TRUE(c.clip.Contains(20, 30));
    ASSERT_TRUE(DestroyWindow(below));

    DestroyWindow(installer);
    HWND above = Child(host, "above", 2, 0, 0, 50, 50);
    installer = Make(kClass, "installer", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10, 20, 200, 100,
                     host, 1);
    component = Child(installer, "component", 1, 5, 5, 300, 300);
    ASSERT_EQ(GetWindow(host, GW_CHILD), above);
    c = Target(component);
    EXPECT_FALSE(c.clip.Contains(20, 30));  // under "above" (0,0)-(50,50)
    EXPECT_TRUE(c.clip.Contains(60, 30));
    ShowWindow(above, SW_HIDE);
    EXPECT_TRUE(Target(component).clip.Contains(20, 30));
}

TEST_F(DrawTargetTest, HiddenWindowsAndHiddenAncestorsGetNoPixels) {
    ShowWindow(installer, SW_HIDE);
    EXPECT_TRUE(Target(installer).clip.Empty());
    EXPECT_TRUE(Target(component).clip.Empty());
    EXPECT_EQ(Target(component).origin.x, 16);  // the geometry is still there
    // The host no longer loses the installer's pixels.
    SetWindowLongA(host, GWL_STYLE, GetWindowLongA(host, GWL_STYLE) | WS_CLIPCHILDREN);
    EXPECT_TRUE(Target(host).clip.Contains(20, 30));
    ShowWindow(installer, SW_SHOW);
    EXPECT_FALSE(Target(host).clip.Contains(20, 30));
    ShowWindow(host, SW_HIDE);
    EXPECT_TRUE(Target(component).clip.Empty());
    EXPECT_TRUE(Target(host).clip.Empty());
}

TEST_F(DrawTargetTest, SurfaceFollowsTheClientSize) {
    qpm::SurfacePtr surface = Target(host).surface;
    DWORD version = surface->version;
    MoveWindow(host, 0, 0, 400, 300, TRUE);
    EXPECT_EQ(Target(host).surface, surface);
    EXPECT_EQ(surface->width, 392);
    EXPECT_EQ(surface->height, 273);
    EXPECT_NE(surface->version, version);
    EXPECT_EQ(surface->pixels[0], 0xFFFFFFu);  // white again
    MoveWindow(installer, -20, 0, 200, 100, TRUE);
    EXPECT_EQ(Target(installer).clip.Bounds().left, 0);  // cut at the host's edge

    qpm::WindowDrawTarget t;
    EXPECT_FALSE(qpm::GetWindowDrawTarget(reinterpret_cast<HWND>(uintptr_t(0x999)), &t));
    HWND gone = component;
    DestroyWindow(gone);
    EXPECT_FALSE(qpm::GetWindowDrawTarget(gone, &t));
}

}  // namespace
}  // namespace usertest
