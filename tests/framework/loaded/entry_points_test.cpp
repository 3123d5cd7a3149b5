// The exports: version negotiation, instance handle, size, creation of
// the component window and its InstanceRecord.
#include <cstring>

#include "framework/loaded/probe_fixture.h"

namespace {

struct VersionCase {
    WORD lowest, highest, agreed;
};

TEST_F(ProbeTest, VersionNegotiation) {
    const VersionCase cases[] = {
        {257, 257, 257}, {256, 300, 258}, {258, 258, 258},  {0, 257, 257},
        {259, 300, 0},   {100, 256, 0},   {0, 0xFFFF, 258}, {258, 0xFFFF, 258},
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(getVersion(c.lowest, c.highest), c.agreed) << c.lowest << ".." << c.highest;
}

TEST_F(ProbeTest, SecondSetInstanceChangesNothing) {
    setInstance(reinterpret_cast<HINSTANCE>(0x4242));
    TestRecord r;
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(w, GWLP_HINSTANCE)), library);
}

TEST_F(ProbeTest, CalcSizeReturnsTheHookResult) {
    TestRecord r;
    probe->calcWidth = 400;
    probe->calcHeight = 23;
    EXPECT_EQ(calcSize(&r.record), 1);
    EXPECT_EQ(r.record.width, 400);
    EXPECT_EQ(r.record.height, 23);
    probe->calcResult = 0;
    EXPECT_EQ(calcSize(&r.record), 0);
}

TEST_F(ProbeTest, WindowIsAVisibleChildAtOriginWithControlIdOne) {
    TestRecord r;
    r.record.width = 150;
    r.record.height = 30;
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetParent(w), host.window());
    EXPECT_EQ(GetDlgCtrlID(w), 1);
    EXPECT_TRUE(IsWindowVisible(w));
    RECT rc{}, hostRc{};
    GetWindowRect(w, &rc);
    GetWindowRect(host.window(), &hostRc);
    EXPECT_EQ(rc.left - hostRc.left, 0);
    EXPECT_EQ(rc.top - hostRc.top, 0);
    EXPECT_EQ(rc.right - rc.left, 150);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    // The class is registered under the component's name, for the library
    // (a class name is the module's own: another module may register it).
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = library;
    wc.lpszClassName = "WYVQPM_Probe";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(wndProc));
}

TEST_F(ProbeTest, FailedComponentCreationLeavesNoWindow) {
    probe->failCreate = 1;
    TestRecord r;
    EXPECT_EQ(Create(r), nullptr);
    EXPECT_EQ(GetWindow(host.window(), GW_CHILD), nullptr);
}

// The record block cannot be made: the window goes, and so do the
// component object and its off-screen bitmap.
TEST_F(ProbeTest, FailedRecordAllocationReleasesTheComponent) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    probe->wantsOffscreen = 1;
    TestRecord r(AttrList{{"A", "1"}});
    // The string block is the first global allocation, the record the second.
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 2);
    EXPECT_EQ(Create(r), nullptr);
    EXPECT_EQ(probe->created, 1);
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_EQ(GetWindow(host.window(), GW_CHILD), nullptr);
}

TEST_F(ProbeTest, FailedStringBlockLeavesNoAttributesButCreates) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    TestRecord r(AttrList{{"A", "1"}}, "/tmp/data.txt");
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 1);
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    InstanceRecord* rec = Lock(w);
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->attrCount, 0);
    EXPECT_EQ(rec->attrNames, nullptr);
    EXPECT_EQ(rec->dataFile, nullptr);
    EXPECT_EQ(rec->stringBlock, nullptr);
    Unlock(w);
}

struct MarkCase {
    int32_t mode, instanceMode, altHost;
};

TEST_F(ProbeTest, AlternateHostMark) {
    const MarkCase cases[] = {{kAltHostMark - 1, kAltHostMark - 1, 0},
                              {kAltHostMark, 0, 1},
                              {kAltHostMark + 66, 66, 1},
                              {0, 0, 0},
                              {-5, -5, 0}};
    for (const MarkCase& c : cases) {
        TestRecord r;
        r.record.mode = c.mode;
        HWND w = Create(r);
        ASSERT_NE(w, nullptr);
        InstanceRecord* rec = Lock(w);
        EXPECT_EQ(rec->mode, c.instanceMode) << c.mode;
        EXPECT_EQ(rec->altHost, c.altHost) << c.mode;
        EXPECT_EQ(r.record.mode, c.instanceMode) << "the caller's record loses the mark too";
        Unlock(w);
        DestroyWindow(w);
    }
}

TEST_F(ProbeTest, StringBlockCopiesPairsUpToTheFirstNullName) {
    TestRecord r({{"TEXT", "Hello"}, {"X", "y"}, {"SIZE", "14"}}, "C:\\data\\news.txt");
    r.attributes.Names()[1] = nullptr;  // the second name is missing
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    InstanceRecord* rec = Lock(w);
    ASSERT_NE(rec->stringBlock, nullptr);
    EXPECT_EQ(rec->attrCount, 1);
    EXPECT_STREQ(rec->attrNames[0], "TEXT");
    EXPECT_STREQ(rec->attrValues[0], "Hello");
    EXPECT_EQ(rec->attrNames[1], nullptr);
    EXPECT_EQ(rec->attrValues[1], nullptr);
    // Copies, not the host's strings.
    EXPECT_NE(rec->attrNames[0], r.attributes.Names()[0]);
    EXPECT_STREQ(rec->dataFile, "C:\\data\\news.txt");
    // Strings are packed at the start of the block: name, value, data file.
    EXPECT_EQ(rec->attrNames[0], rec->stringBlock);
    EXPECT_EQ(rec->attrValues[0], rec->stringBlock + 5);
    EXPECT_EQ(rec->dataFile, rec->stringBlock + 11);
    // The arrays are sized by the record's count (3), whatever was copied.
    EXPECT_EQ(rec->attrValues, rec->attrNames + 4);
    HGLOBAL block = GlobalHandle(rec->stringBlock);
    size_t strings = 11 + strlen("C:\\data\\news.txt") + 1;
    size_t aligned = (strings + sizeof(char*) - 1) / sizeof(char*) * sizeof(char*);
    if (sizeof(char*) == 4) aligned = strings;
    EXPECT_EQ(GlobalSize(block), aligned + 8 * sizeof(char*));
    Unlock(w);
}

TEST_F(ProbeTest, EmptyRecordGivesABlockOfTwoNullPointers) {
    TestRecord r;
    HWND w = Create(r);
    InstanceRecord* rec = Lock(w);
    ASSERT_NE(rec->stringBlock, nullptr);
    EXPECT_EQ(GlobalSize(GlobalHandle(rec->stringBlock)), 2 * sizeof(char*));
    EXPECT_EQ(rec->attrNames[0], nullptr);
    EXPECT_EQ(rec->attrValues[0], nullptr);
    EXPECT_EQ(rec->dataFile, nullptr);
    Unlock(w);
}

TEST_F(ProbeTest, NegativeAttributeCountIsTreatedAsNone) {
    TestRecord r(AttrList{{"A", "1"}});
    r.record.attrCount = -7;
    HWND w = Create(r);
    ASSERT_NE(w, nullptr);
    InstanceRecord* rec = Lock(w);
    EXPECT_EQ(rec->attrCount, 0);
    EXPECT_EQ(GlobalSize(GlobalHandle(rec->stringBlock)), 2 * sizeof(char*));
    Unlock(w);
}

// A count whose string block would not fit in 32 bits (where 0x1FFFFFFF
// and up made the size wrap) is refused as a failed allocation would be:
// the component is made, without attributes.
TEST_F(ProbeTest, AnAttributeCountTooLargeForAStringBlockLeavesNoAttributes) {
    for (int32_t count : {0x10000000, 0x1FFFFFFF, 0x7FFFFFFF}) {
        TestRecord r(AttrList{{"A", "1"}}, "/tmp/data.txt");
        r.record.attrCount = count;
        HWND w = Create(r);
        ASSERT_NE(w, nullptr) << count;
        InstanceRecord* rec = Lock(w);
        ASSERT_EQ(rec->stringBlock, nullptr) << count;
        EXPECT_EQ(rec->attrCount, 0);
        EXPECT_EQ(rec->attrNames, nullptr);
        EXPECT_EQ(rec->dataFile, nullptr);
        Unlock(w);
        DestroyWindow(w);
    }
}

TEST_F(ProbeTest, RecordCopiesTheCreationFields) {
    TestRecord r;
    r.record.width = 123;
    r.record.height = 45;
    r.record.fixedSize = 1;
    r.record.mode = 7;
    HWND w = Create(r);
    InstanceRecord* rec = Lock(w);
    EXPECT_EQ(rec->size, int32_t(sizeof(InitRecord)));
    EXPECT_EQ(rec->width, 123);
    EXPECT_EQ(rec->height, 45);
    EXPECT_EQ(rec->fixedSize, 1);
    EXPECT_EQ(rec->mode, 7);
    EXPECT_EQ(rec->backColor, RGB(0, 0, 128));
    EXPECT_EQ(rec->textColor, RGB(255, 255, 0));
    EXPECT_EQ(rec->window, w);
    EXPECT_EQ(rec->offscreenBitmap, nullptr);
    EXPECT_EQ(rec->pluginMode, 0);
    EXPECT_EQ(rec->printing, 0);
    EXPECT_NE(rec->component, nullptr);
    Unlock(w);
}

TEST_F(ProbeTest, OffscreenBitmapHasTheClientSizeAtCreation) {
    probe->wantsOffscreen = 1;
    TestRecord r;
    r.record.width = 64;
    r.record.height = 16;
    HWND w = Create(r);
    InstanceRecord* rec = Lock(w);
    ASSERT_NE(rec->offscreenBitmap, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(rec->offscreenBitmap, sizeof bm, &bm), int(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 64);
    EXPECT_EQ(bm.bmHeight, 16);
    Unlock(w);
}

}  // namespace
