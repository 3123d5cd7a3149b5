// The alternate host's entry points of the built pellux library.
#include <climits>

#include "adapters/plugin_fixture.h"

namespace {

class AltHost : public PluginTest {
protected:
    AltHost() : PluginTest(QPM_PELLUX_LIBRARY) {}
    void SetUp() override {
        HoldTime(1000);
        init = Proc<HWND(WINAPI*)(HWND, AltInitRecord*)>("DRXInit");
        calcSize = Proc<int32_t(WINAPI*)(AltInitRecord*)>("DRXCalcSize");
        ASSERT_TRUE(init && calcSize);
        Proc<void(WINAPI*)(HINSTANCE)>("QPMSetInstance")(browser.library);
        alt.width = 300;
        alt.height = 20;
    }
    InstanceRecord Record(HWND window) {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        InstanceRecord copy = *static_cast<InstanceRecord*>(GlobalLock(block));
        GlobalUnlock(block);
        return copy;
    }

    ScriptedHost host{400, 100};
    HWND(WINAPI* init)(HWND, AltInitRecord*) = nullptr;
    int32_t(WINAPI* calcSize)(AltInitRecord*) = nullptr;
    AltInitRecord alt{};
};

// Only the size is written back: the ticker's default for the packed
// attributes. The record's strings lack their NUL: read as 511 bytes.
TEST_F(AltHost, CalcSizeWritesTheSizeOnly) {
    EXPECT_EQ(Proc<WORD(WINAPI*)(WORD, WORD)>("DRXGetVersion")(257, 300), 258);
    memset(&alt, 0x5A, sizeof alt);
    strcpy(alt.subtype, "TEXT=a%2C b, SIZE=20,SHOWBORDER");
    alt.mode = 3;
    AltInitRecord expected = alt;
    expected.width = 400;
    expected.height = 28;
    EXPECT_EQ(calcSize(&alt), 1);
    EXPECT_EQ(memcmp(&alt, &expected, sizeof alt), 0);
    memset(alt.subtype, 'S', sizeof alt.subtype);
    HWND window = init(host.window(), &alt);
    ASSERT_NE(window, nullptr);
    InstanceRecord record = Record(window);
    ASSERT_EQ(record.attrCount, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(strlen(record.attrValues[i]), 511u) << i;
    EXPECT_EQ(std::string(record.dataFile), std::string(511, 0x5A));
}

// The alternate-host mark on `mode`: a negative mode stays below it, one
// that would overflow keeps it.
TEST_F(AltHost, ModeAndMark) {
    struct {
        int32_t mode, altHost, stored;
    } rows[] = {{0, 1, 0},
                {7, 1, 7},
                {-1, 0, kAltHostMark - 1},
                {INT_MIN, 0, INT_MIN + kAltHostMark},
                {INT_MAX, 1, INT_MAX - kAltHostMark}};
    for (const auto& row : rows) {
        alt.mode = row.mode;
        HWND window = init(host.window(), &alt);
        ASSERT_NE(window, nullptr) << row.mode;
        InstanceRecord record = Record(window);
        EXPECT_EQ(record.altHost, row.altHost) << row.mode;
        EXPECT_EQ(record.mode, row.stored) << row.mode;
        EXPECT_EQ(record.fixedSize, 1);
        EXPECT_EQ(alt.mode, row.mode) << "the host's record is not changed";
        DestroyWindow(window);
    }
}

}  // namespace
