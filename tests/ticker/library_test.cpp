// The built pellux library as a host meets it: loaded with LoadLibraryA
// and driven through its exports and the host protocol alone. Each case
// is something a host can do that once went wrong.
#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <qpm/records.h>
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/attribute_list.h"
#include "support/host_extensions.h"
#include "support/scripted_host.h"

namespace {

using SetInstanceFn = void(WINAPI*)(HINSTANCE);
using CalcSizeFn = int32_t(WINAPI*)(InitRecord*);
using InitFn = HWND(WINAPI*)(HWND, InitRecord*);

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

constexpr COLORREF kBack = RGB(255, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 255);
constexpr UINT_PTR kScrollTimer = 1;
constexpr DWORD kScrollPeriod = 150;

// The leading fields of a delivered stream (message 1115): its address
// is the stream key, `url` its URL.
struct DeliveredStream {
    void* pdata;
    void* ndata;
    const char* url;
};

class Pellux : public ::testing::Test {
protected:
    void SetUp() override {
        HoldTime(1000);
        library = LoadLibraryA(QPM_PELLUX_LIBRARY);
        ASSERT_NE(library, nullptr);
        calcSize = Proc<CalcSizeFn>(library, "QPMCalcSize");
        init = Proc<InitFn>(library, "QPMInit");
        auto setInstance = Proc<SetInstanceFn>(library, "QPMSetInstance");
        ASSERT_TRUE(calcSize && init && setInstance);
        setInstance(library);
    }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
    }

    InitRecord Record(const AttrList& attrs, int width, int height) {
        attributes = std::make_unique<AttributeList>(attrs);
        InitRecord record{};
        record.size = sizeof record;
        attributes->Fill(&record);
        record.width = width;
        record.height = height;
        record.backColor = kBack;
        record.textColor = kInk;
        return record;
    }
    LRESULT Start(const AttrList& attrs, int width = 100, int height = 20) {
        InitRecord record = Record(attrs, width, height);
        window = init(host.window(), &record);
        if (window == nullptr) return -99;
        return SendMessageA(window, QPMM_START, 0, 0);
    }
    int32_t DefaultHeight(const AttrList& attrs, int32_t mode = 0) {
        InitRecord record = Record(attrs, 0, 0);
        record.mode = mode;
        EXPECT_EQ(calcSize(&record), 1);
        EXPECT_EQ(record.width, 400);
        return record.height;
    }
    void Tick() { DeliverTimerPeriod(window, kScrollTimer, kScrollPeriod); }
    int CloseRequests() const {
        int n = 0;
        for (const HostRequest& r : host.requests()) n += r.message == QPMR_CLOSESTREAM;
        return n;
    }

    ScriptedHost host{400, 100};
    HMODULE library = nullptr;
    CalcSizeFn calcSize = nullptr;
    InitFn init = nullptr;
    HWND window = nullptr;
    std::unique_ptr<AttributeList> attributes;
};

// An alternate host packs the attributes into "SUBTYPE": an entry that is
// skipped ends at a comma only where its value would end.
TEST_F(Pellux, PackedEntriesAreSkippedByTheEscapeRules) {
    EXPECT_EQ(DefaultHeight({{"SUBTYPE", "TEXT=Hello%, SIZE=50"}}, kAltHostMark), 15);
    EXPECT_EQ(DefaultHeight({{"SUBTYPE", "TEXT=Hello%2C, SIZE=50"}}, kAltHostMark), 53);
}

// "SIZE" counts from 0 to 1000 pixels: the default size and the paint of
// any value stay in range.
TEST_F(Pellux, SizeIsBoundedFromZeroToAThousand) {
    const std::pair<const char*, int32_t> heights[] = {
        {"-50", 3}, {"abc", 3}, {"-2147483648", 3}, {"999", 1002}, {"2147483647", 1003}};
    for (const auto& [size, height] : heights)
        EXPECT_EQ(DefaultHeight({{"SIZE", size}}), height) << size;
    for (const char* size : {"-2147483648", "2147483647"}) {
        ASSERT_EQ(Start({{"TEXT", "x"}, {"SIZE", size}}), 1) << size;
        Tick();
        DestroyWindow(window);
    }
}

// The host answers the open with "delivered later" (-2) and delivers the
// stream with message 1115: one stream, and -2 never used as a handle.
TEST_F(Pellux, ASourceDeliveredLaterIsWaitedFor) {
    host.AnswerValue(QPMR_OPENSTREAM, kStreamLater);
    ASSERT_EQ(Start({{"SRC", "http://h/news"}}), 1);
    host.Pump();
    EXPECT_EQ(host.messages(), (std::vector<UINT>{QPMR_HOSTINFO, QPMR_OPENSTREAM}));

    DeliveredStream delivered{nullptr, nullptr, "http://h/news"};
    const LONG_PTR key = reinterpret_cast<LONG_PTR>(&delivered);
    host.ServeStream("", key, "late news");
    EXPECT_EQ(SendMessageA(window, QPMM_DELIVERSTREAM, 0, key), 1);
    host.Pump();
    SendMessageA(window, QPMM_STREAMREADY, 0, key);
    SendMessageA(window, QPMM_IDLE, 0, 0);
    SendMessageA(window, QPMM_STOP, 0, 0);
    host.Pump();
    const std::string handle = "handle=" + std::to_string(key);
    std::vector<HostRequest> expected = {{QPMR_STREAMREADY, 0, handle},
                                         {QPMR_READSTREAM, 0, handle + " size=1024"},
                                         {QPMR_READSTREAM, 0, handle + " size=1024"},
                                         {QPMR_CLOSESTREAM, 0, handle},
                                         {QPMR_STREAMREADY, 0, handle}};
    EXPECT_TRUE(SameRequests(
        expected, std::vector<HostRequest>(host.requests().begin() + 2, host.requests().end())));
}

// A ticker made at 100 pixels and moved to 200 draws its text right of
// x = 100 too: the off-screen bitmap follows the window.
TEST_F(Pellux, AResizedTickerIsDrawnWhole) {
    ASSERT_EQ(Start({{"TEXT", std::string(60, 'W')}, {"SIZE", "14"}}), 1);
    MoveWindow(window, 0, 0, 200, 20, TRUE);
    Tick();
    Tick();
    QpmPumpMessages();
    QpmPixels px{};
    ASSERT_TRUE(QpmGetWindowPixels(host.window(), &px));
    int ink = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 100; x < 200; ++x) {
            const unsigned char* p = px.bgrx + ptrdiff_t(y) * px.stride + ptrdiff_t(x) * 4;
            ink += RGB(p[2], p[1], p[0]) != kBack;
        }
    }
    EXPECT_GT(ink, 50);
}

// The string block of a count this large would not fit in 32 bits (in
// a 32-bit build from 0x1FFFFFFF on, with its 4-byte pointers): the
// window is made without attributes, so with no text to show.
TEST_F(Pellux, AnAttributeCountTooLargeForAStringBlockIsRefused) {
    InitRecord record = Record({{"TEXT", "x"}}, 100, 20);
    record.attrCount = 0x10000000;
    window = init(host.window(), &record);
    ASSERT_NE(window, nullptr);
    HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    auto* instance = static_cast<InstanceRecord*>(GlobalLock(block));
    EXPECT_EQ(instance->stringBlock, nullptr);
    EXPECT_EQ(instance->attrCount, 0);
    GlobalUnlock(block);
    EXPECT_EQ(SendMessageA(window, QPMM_START, 0, 0), 0);
}

// The host destroys the ticker's window while it reads its stream: the
// host still gets the close request for the handle, and no stream-ready
// notice goes out with no window to receive it.
TEST_F(Pellux, DestroyedInsideAReadTheHostStillHearsTheClose) {
    host.ServeStream("http://h/news", 7, "news", /*keepOpen=*/true);
    ASSERT_EQ(Start({{"SRC", "http://h/news"}}), 1);
    host.Pump();
    host.ClearRequests();
    host.Answer(QPMR_READSTREAM, [&](WPARAM, LPARAM lParam) {
        DestroyWindow(window);
        memcpy(reinterpret_cast<ReadRequest*>(lParam)->buffer, "news", 4);
        return LRESULT(4);
    });
    SendMessageA(window, QPMM_STREAMREADY, 0, 7);
    EXPECT_FALSE(IsWindow(window));
    int orphanNotices = 0;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, QPMR_STREAMREADY, QPMR_STREAMREADY, PM_REMOVE))
        orphanNotices += msg.hwnd == nullptr;
    EXPECT_EQ(orphanNotices, 0);
    EXPECT_TRUE(SameRequests(
        {{QPMR_READSTREAM, 0, "handle=7 size=1024"}, {QPMR_CLOSESTREAM, 0, "handle=7"}},
        host.requests()));
}

}  // namespace
