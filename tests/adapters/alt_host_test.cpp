// The alternate host's entry points of the built pellux library.
#include <gtest/gtest.h>
#include <qpm/protocol.h>
#include <qpm/records.h>

#include <climits>
#include <cstring>

#include "support/host_extensions.h"
#include "support/scripted_host.h"

namespace {

template <class Fn>
Fn Proc(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)(void)>(GetProcAddress(module, name)));
}

class AltHost : public ::testing::Test {
protected:
    void SetUp() override {
        HoldTime(1000);
        library = LoadLibraryA(QPM_PELLUX_LIBRARY);
        ASSERT_NE(library, nullptr);
        init = Proc<HWND(WINAPI*)(HWND, AltInitRecord*)>(library, "DRXInit");
        calcSize = Proc<int32_t(WINAPI*)(AltInitRecord*)>(library, "DRXCalcSize");
        getVersion = Proc<WORD(WINAPI*)(WORD, WORD)>(library, "DRXGetVersion");
        ASSERT_TRUE(init && calcSize && getVersion);
        Proc<void(WINAPI*)(HINSTANCE)>(library, "QPMSetInstance")(library);
        memset(&alt, 0, sizeof alt);
        alt.width = 300;
        alt.height = 20;
    }
    // The window's record, copied out.
    InstanceRecord Record(HWND window) {
        HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
        InstanceRecord copy = *static_cast<InstanceRecord*>(GlobalLock(block));
        GlobalUnlock(block);
        return copy;
    }

    ScriptedHost host{400, 100};
    HMODULE library = nullptr;
    HWND(WINAPI* init)(HWND, AltInitRecord*) = nullptr;
    int32_t(WINAPI* calcSize)(AltInitRecord*) = nullptr;
    WORD(WINAPI* getVersion)(WORD, WORD) = nullptr;
    AltInitRecord alt;
};

// Only the size is written back: the ticker's default for the packed attributes.
TEST_F(AltHost, CalcSizeWritesTheSizeOnly) {
    EXPECT_EQ(getVersion(257, 300), 258);
    memset(&alt, 0x5A, sizeof alt);
    strcpy(alt.subtype, "TEXT=a%2C b, SIZE=20,SHOWBORDER");
    alt.mode = 3;
    AltInitRecord expected = alt;
    expected.width = 400;
    expected.height = 28;
    EXPECT_EQ(calcSize(&alt), 1);
    EXPECT_EQ(memcmp(&alt, &expected, sizeof alt), 0);
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

// Strings without their NUL are read as their first 511 bytes.
TEST_F(AltHost, UnterminatedStringsAreCut) {
    memset(alt.type, 'T', sizeof alt.type);
    memset(alt.subtype, 'S', sizeof alt.subtype);
    memset(alt.dataFile, 'D', sizeof alt.dataFile);
    EXPECT_EQ(calcSize(&alt), 1);
    HWND window = init(host.window(), &alt);
    ASSERT_NE(window, nullptr);
    InstanceRecord record = Record(window);
    ASSERT_EQ(record.attrCount, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(strlen(record.attrValues[i]), 511u) << i;
    EXPECT_EQ(std::string(record.dataFile), std::string(511, 'D'));
    DestroyWindow(window);
}

}  // namespace
