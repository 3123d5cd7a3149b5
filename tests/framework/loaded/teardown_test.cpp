// Stopping and destroying component windows, in every order, and hosts
// that send messages back while a component is busy or going away.
#include "framework/loaded/probe_fixture.h"

namespace {

bool BlockFreed(HGLOBAL block) { return GlobalFlags(block) == GMEM_INVALID_HANDLE; }

class Teardown : public ProbeTest {
protected:
    HWND CreateStarted(bool offscreen = true) {
        probe->wantsOffscreen = offscreen ? 1 : 0;
        TestRecord r(AttrList{{"TEXT", "x"}});
        HWND w = Create(r);
        if (w) SendMessageA(w, QPMM_START, 0, 0);
        InstanceRecord* rec = Lock(w);
        record = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(w, 0));
        strings = GlobalHandle(rec->stringBlock);
        Unlock(w);
        ClearEvents();
        return w;
    }
    HGLOBAL record = nullptr;
    HGLOBAL strings = nullptr;
};

TEST_F(Teardown, StopDeletesTheComponentBeforeTheWindowGoes) {
    HWND w = CreateStarted();
    EXPECT_EQ(SendMessageA(w, QPMM_STOP, 0, 0), 0);
    EXPECT_EQ(Slots(), (std::vector<int32_t>{kSlotStop, kSlotDestructor}));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(BlockFreed(record));
    EXPECT_TRUE(BlockFreed(strings));
}

TEST_F(Teardown, DestroyWindowTellsTheComponentAndFreesEverything) {
    HWND w = CreateStarted();
    EXPECT_TRUE(DestroyWindow(w));
    // The window is hidden first (WM_SHOWWINDOW, WM_WINDOWPOSCHANGING and
    // WM_WINDOWPOSCHANGED reach HandleMessage), then destroyed.
    std::vector<ProbeEvent> events = Events();
    ASSERT_GE(events.size(), 3u);
    std::vector<ProbeEvent> tail(events.end() - 3, events.end());
    EXPECT_EQ(tail, (std::vector<ProbeEvent>{{kSlotHandleMessage, WM_DESTROY, 0, 0, 0},
                                             {kSlotOnDestroy, 0, 0, 0, 0},
                                             {kSlotDestructor, 0, 0, 0, 0}}));
    for (size_t i = 0; i + 3 < events.size(); ++i) {
        EXPECT_EQ(events[i].slot, kSlotHandleMessage);
        EXPECT_NE(events[i].a, LONG_PTR(WM_DESTROY));
    }
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_TRUE(BlockFreed(record));
    EXPECT_TRUE(BlockFreed(strings));
}

TEST_F(Teardown, DestroyingTheHostTearsTheComponentDown) {
    HWND w = CreateStarted();
    DestroyWindow(host.window());
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_TRUE(BlockFreed(record));
}

// Window long 0 is cleared by the teardown: seen from WM_NCDESTROY, the
// last message the window gets.
LONG_PTR longAtNcDestroy = -1;
WNDPROC framework = nullptr;
LRESULT CALLBACK WatchNcDestroy(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_NCDESTROY) longAtNcDestroy = GetWindowLongPtrA(w, 0);
    return CallWindowProcA(framework, w, m, wp, lp);
}

TEST_F(Teardown, WindowLongZeroIsZeroAfterTeardown) {
    HWND w = CreateStarted();
    framework = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchNcDestroy)));
    SendMessageA(w, QPMM_STOP, 0, 0);
    EXPECT_EQ(longAtNcDestroy, 0);
}

// A host that answers the close-stream request by sending messages back,
// stopping again and destroying the window: nothing dying is reached.
TEST_F(Teardown, HostSendingMessagesBackDuringStop) {
    probe->streamHandle = 7;
    probe->streamCount = 3;
    HWND w = CreateStarted();
    int closes = 0;
    host.Answer(QPMR_CLOSESTREAM, [&](WPARAM, LPARAM handle) {
        ++closes;
        SendMessageA(w, QPMM_IDLE, 0, 0);
        SendMessageA(w, QPMM_STREAMREADY, 0, handle);
        SendMessageA(w, QPMM_STREAMEND, 0, handle);
        SendMessageA(w, QPMM_STOP, 0, 0);
        DestroyWindow(w);
        return LRESULT(0);
    });
    SendMessageA(w, QPMM_STOP, 0, 0);
    // The host destroyed the window at the first close; the other streams
    // are closed and deleted all the same, and the host hears of each.
    EXPECT_EQ(closes, 3);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_TRUE(BlockFreed(record));
    EXPECT_TRUE(BlockFreed(strings));
    // Once Stop began, no other operation of the component ran.
    EXPECT_EQ(Slots(), (std::vector<int32_t>{kSlotStop, kSlotDestructor}));
}

// The host stops the component while it is reading: the stop waits
// until the read has returned, then runs.
TEST_F(Teardown, StopArrivingDuringAReadIsPutOffUntilTheReadReturns) {
    probe->streamHandle = 5;
    HWND w = CreateStarted();
    host.Answer(QPMR_READSTREAM, [&](WPARAM, LPARAM) {
        SendMessageA(w, QPMM_STOP, 0, 0);
        EXPECT_TRUE(IsWindow(w)) << "the stop must wait for the read";
        EXPECT_EQ(probe->destroyed, 0);
        return LRESULT(-1);
    });
    SendMessageA(w, QPMM_STREAMREADY, 0, 5);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_EQ(Slots(),
              (std::vector<int32_t>{kSlotStreamDataAvailable, kSlotStop, kSlotDestructor}));
    EXPECT_TRUE(BlockFreed(record));
    EXPECT_TRUE(SameRequests(
        {{QPMR_READSTREAM, 0, "handle=5 size=1024"}, {QPMR_CLOSESTREAM, 0, "handle=5"}},
        host.requests()));
}

// Stream-ready notices posted without a window, as thread messages.
int TakeNoticesWithoutAWindow() {
    int n = 0;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, QPMR_STREAMREADY, QPMR_STREAMREADY, PM_REMOVE))
        if (msg.hwnd == nullptr) ++n;
    return n;
}

// The host destroys the window while the component is reading: the
// window goes at once, the component and the record when the read is
// over. The host still hears of every handle's close, and no notice is
// posted with no window to receive it.
TEST_F(Teardown, DestroyDuringAReadDefersTheDeletion) {
    probe->streamHandle = 5;
    probe->streamCount = 2;
    HWND w = CreateStarted();
    host.Pump();
    host.ClearRequests();
    host.Answer(QPMR_READSTREAM, [&](WPARAM, LPARAM) {
        DestroyWindow(w);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_EQ(probe->destroyed, 0) << "the reading component must survive the read";
        return LRESULT(10);
    });
    SendMessageA(w, QPMM_STREAMREADY, 0, 5);
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_TRUE(BlockFreed(record));
    EXPECT_TRUE(BlockFreed(strings));
    EXPECT_EQ(TakeNoticesWithoutAWindow(), 0);
    EXPECT_TRUE(SameRequests({{QPMR_READSTREAM, 0, "handle=5 size=1024"},
                              {QPMR_CLOSESTREAM, 0, "handle=6"},
                              {QPMR_CLOSESTREAM, 0, "handle=5"}},
                             host.requests()));
}

TEST_F(Teardown, BaseStopClosesEveryStreamThatHoldsAHandle) {
    probe->streamHandle = 20;
    probe->streamCount = 3;
    HWND w = CreateStarted();
    host.ClearRequests();
    SendMessageA(w, QPMM_STOP, 0, 0);
    // Newest first: the list runs from the last stream made.
    EXPECT_TRUE(SameRequests({{QPMR_CLOSESTREAM, 0, "handle=22"},
                              {QPMR_CLOSESTREAM, 0, "handle=21"},
                              {QPMR_CLOSESTREAM, 0, "handle=20"}},
                             host.requests()));
}

// The variant without plug-in support hands 1114 and 1115 to HandleMessage.
TEST_F(ProbeTest, BasicVariantPassesPluginMessagesToHandleMessage) {
    FreeLibrary(library);
    Load(QPM_PROBE_BASIC_LIBRARY);
    TestRecord r;
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    ClearEvents();
    StreamDataRecord data{1, "a", 1, 0};
    const LPARAM d = reinterpret_cast<LPARAM>(&data);
    EXPECT_EQ(SendMessageA(w, QPMM_STREAMDATA, 0, d), 0);
    EXPECT_EQ(SendMessageA(w, QPMM_DELIVERSTREAM, 0, d), 0);
    EXPECT_EQ(Events(),
              (std::vector<ProbeEvent>{{kSlotHandleMessage, QPMM_STREAMDATA, 0, d, 0},
                                       {kSlotHandleMessage, QPMM_DELIVERSTREAM, 0, d, 0}}));
}

}  // namespace
