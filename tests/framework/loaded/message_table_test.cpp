// The window procedure's message table: each host message reaches the
// right operation with the right arguments and gives the right result,
// with a record and without one.
#include <cstring>
#include <sstream>

#include "framework/loaded/probe_fixture.h"

namespace {

std::string Show(const std::vector<ProbeEvent>& events) {
    std::ostringstream out;
    for (const ProbeEvent& e : events)
        out << "{" << e.slot << ", " << e.a << ", " << e.b << ", " << e.c << ", " << e.d << "} ";
    return out.str();
}

struct Row {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
    std::vector<ProbeEvent> events;
};

class MessageTable : public ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        TestRecord r;
        window = Create(r);
        ASSERT_NE(window, nullptr);
        ClearEvents();
    }
    void Check(const Row& row) {
        ClearEvents();
        LRESULT result = SendMessageA(window, row.message, row.wParam, row.lParam);
        EXPECT_EQ(result, row.result) << row.name;
        EXPECT_EQ(Events(), row.events) << row.name << "\n  expected: " << Show(row.events)
                                        << "\n  actual:   " << Show(Events());
    }
    HWND window = nullptr;
};

struct NoticeBuffer {
    StreamNoticeRecord record;
    char more[16];
};

TEST_F(MessageTable, HostMessagesReachTheirOperations) {
    NoticeBuffer notice{};
    notice.record.key = 42;
    notice.record.value = -3;
    notice.record.length = 5;
    memcpy(notice.record.bytes, "hello", 5);
    struct {
        StreamNotice2Record record;
        char more[16];
    } notice2{};
    notice2.record.key = 43;
    notice2.record.value = 9;
    strcpy(notice2.record.bytes, "text");
    const LONG_PTR bytes1 = reinterpret_cast<LONG_PTR>(notice.record.bytes);
    const LONG_PTR bytes2 = reinterpret_cast<LONG_PTR>(notice2.record.bytes);
    const LPARAM n1 = reinterpret_cast<LPARAM>(&notice);
    const LPARAM n2 = reinterpret_cast<LPARAM>(&notice2);

    const Row rows[] = {
        {"start", QPMM_START, 0, 0, 1, {{kSlotStart, 0, 0, 0, 0}}},
        {"reset", QPMM_RESET, 0, 0, 0, {{kSlotReset, 0, 0, 0, 0}}},
        {"confirm", QPMM_CONFIRM, 0, 0, 1, {{kSlotConfirm, 0, 0, 0, 0}}},
        {"idle", QPMM_IDLE, 0, 0, 0, {{kSlotIdle, 0, 0, 0, 0}}},
        {"data ready", QPMM_STREAMREADY, 0, 5, 0, {{kSlotStreamDataAvailable, 5, 0, 0, 0}}},
        {"end", QPMM_STREAMEND, 0, 6, 0, {{kSlotStreamEnd, 6, 0, 0, 0}}},
        {"notify", QPMM_NOTIFY, 77, 0, 0, {{kSlotNotify, 77, 0, 0, 0}}},
        {"notice", QPMM_STREAMNOTICE, 0, n1, 0, {{kSlotStreamNotice, 42, -3, 5, bytes1}}},
        {"notice, null", QPMM_STREAMNOTICE, 0, 0, 0, {}},
        {"notice 2", QPMM_STREAMNOTICE2, 0, n2, 0, {{kSlotStreamNotice2, 43, 9, bytes2, 0}}},
        {"notice 2, null", QPMM_STREAMNOTICE2, 0, 0, 0, {}},
        {"resume", QPMM_STREAMRESUME, 0, 8, 0, {{kSlotStreamResume, 8, 0, 0, 0}}},
        {"failed", QPMM_STREAMFAILED, 404, 9, 0, {{kSlotStreamFailed, 9, 404, 0, 0}}},
        {"idle timer", WM_TIMER, kIdleTimerId, 0, 0, {{kSlotIdle, 0, 0, 0, 0}}},
        {"timer 1",
         WM_TIMER,
         1,
         0,
         0,
         {{kSlotHandleMessage, WM_TIMER, 1, 0, 0}, {kSlotOnTimer, 1, 0, 0, 0}}},
        {"timer 7",
         WM_TIMER,
         7,
         0,
         0,
         {{kSlotHandleMessage, WM_TIMER, 7, 0, 0}, {kSlotOnTimer, 7, 0, 0, 0}}},
        {"1031 goes to HandleMessage", 1031, 1, 2, 0, {{kSlotHandleMessage, 1031, 1, 2, 0}}},
        {"1033 goes to HandleMessage", 1033, 0, 0, 0, {{kSlotHandleMessage, 1033, 0, 0, 0}}},
        {"unknown", WM_USER + 77, 3, 4, 0, {{kSlotHandleMessage, WM_USER + 77, 3, 4, 0}}},
    };
    for (const Row& row : rows) Check(row);
}

TEST_F(MessageTable, ResultsOfStartAndConfirmComeFromTheComponent) {
    probe->startResult = 0;
    probe->confirmResult = 0;
    Check({"start 0", QPMM_START, 0, 0, 0, {{kSlotStart, 0, 0, 0, 0}}});
    Check({"confirm 0", QPMM_CONFIRM, 0, 0, 0, {{kSlotConfirm, 0, 0, 0, 0}}});
    probe->startResult = 2;
    Check({"start 2", QPMM_START, 0, 0, 2, {{kSlotStart, 0, 0, 0, 0}}});
}

TEST_F(MessageTable, PluginMessagesInThePlugInVariant) {
    StreamDataRecord data{11, "abc", 3, 100};
    const LONG_PTR dataPtr = reinterpret_cast<LONG_PTR>(data.data);
    struct {
        void* pdata;
        void* ndata;
        const char* url;
    } stream{nullptr, nullptr, "http://x/y"};
    const LPARAM s = reinterpret_cast<LPARAM>(&stream);
    const LONG_PTR url = reinterpret_cast<LONG_PTR>(stream.url);
    const Row rows[] = {
        {"data",
         QPMM_STREAMDATA,
         0,
         reinterpret_cast<LPARAM>(&data),
         0,
         {{kSlotStreamData, 11, dataPtr, 3, 100}}},
        {"data, null", QPMM_STREAMDATA, 0, 0, 0, {}},
        // The probe's CreateStream makes no stream, so delivery fails.
        {"deliver",
         QPMM_DELIVERSTREAM,
         0,
         s,
         0,
         {{kSlotDeliverStream, s, url, 0, 0}, {kSlotCreateStream, url, 0, 0, 0}}},
    };
    for (const Row& row : rows) Check(row);
}

TEST_F(MessageTable, SizeUpdatesTheRecordBeforeOnSize) {
    Check({"restored",
           WM_SIZE,
           SIZE_RESTORED,
           MAKELPARAM(300, 60),
           0,
           {{kSlotHandleMessage, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 60), 0},
            {kSlotOnSize, 300, 60, 0, 0}}});
    EXPECT_EQ(probe->sizeWidthAtOnSize, 300);
    EXPECT_EQ(probe->sizeHeightAtOnSize, 60);
    Check({"maximized",
           WM_SIZE,
           SIZE_MAXIMIZED,
           MAKELPARAM(320, 70),
           0,
           {{kSlotHandleMessage, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(320, 70), 0},
            {kSlotOnSize, 320, 70, 0, 0}}});
    Check({"minimized",
           WM_SIZE,
           SIZE_MINIMIZED,
           0,
           0,
           {{kSlotHandleMessage, WM_SIZE, SIZE_MINIMIZED, 0, 0}}});
    InstanceRecord* rec = Lock(window);
    EXPECT_EQ(rec->width, 320);
    EXPECT_EQ(rec->height, 70);
    Unlock(window);
}

// A window of the component's class that QPMInit did not make has no
// record: nothing of a component is reached.
TEST_F(ProbeTest, WithoutARecordTheLastColumnApplies) {
    HWND bare = CreateWindowExA(0, "WYVQPM_Probe", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                host.window(), nullptr, library, nullptr);
    ASSERT_NE(bare, nullptr);
    NoticeBuffer notice{};
    EXPECT_EQ(SendMessageA(bare, QPMM_START, 0, 0), 0);
    EXPECT_EQ(SendMessageA(bare, QPMM_CONFIRM, 0, 0), 1);
    EXPECT_EQ(SendMessageA(bare, QPMM_IDLE, 0, 0), 0);
    EXPECT_EQ(SendMessageA(bare, QPMM_STREAMNOTICE, 0, reinterpret_cast<LPARAM>(&notice)), 0);
    EXPECT_EQ(SendMessageA(bare, WM_TIMER, kIdleTimerId, 0), 0);
    EXPECT_EQ(SendMessageA(bare, QPMM_PRINT, 0, 0), 0);
    EXPECT_EQ(probe->eventCount, 0);
    EXPECT_EQ(SendMessageA(bare, QPMM_STOP, 0, 0), 0);
    EXPECT_FALSE(IsWindow(bare));
    EXPECT_EQ(probe->created, 0);
}

}  // namespace
