// The tick source, fault injection and the trace's message names.
#include <gtest/gtest.h>
#include <qpm_platform.h>
#include <windows.h>

#include "kernel_internal.h"

namespace {

TEST(ManualClock, StartsWhereToldAndWrapsAt32Bits) {
    QpmUseManualClock(0xFFFFFF00u);
    EXPECT_TRUE(QpmClockIsManual());
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
    qpm::SetManualTicks(0xFFFFFF00u + 0x200u);  // wraps like the real count
    EXPECT_EQ(GetTickCount(), 0x100u);
    QpmUseRealClock();
    EXPECT_FALSE(QpmClockIsManual());
}

TEST(FaultInjection, FailsExactlyTheNthCall) {
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 3);
    EXPECT_FALSE(qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC));
    EXPECT_FALSE(qpm::InjectedFailure(QPM_FAULT_FILECREATE));  // other kinds do not count
    EXPECT_FALSE(qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC));
    EXPECT_TRUE(qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC));
    EXPECT_FALSE(qpm::InjectedFailure(QPM_FAULT_GLOBALALLOC));
    QpmFailNth(QPM_FAULT_LOADLIBRARY, 1);
    QpmResetFaults();
    EXPECT_FALSE(qpm::InjectedFailure(QPM_FAULT_LOADLIBRARY));
}

TEST(Trace, NamesWindowsAndProtocolMessages) {
    EXPECT_STREQ(QpmMessageName(WM_PAINT), "WM_PAINT");
    EXPECT_STREQ(QpmMessageName(1025), "QPMM_START");
    EXPECT_STREQ(QpmMessageName(1044), "QPMR_OPENSTREAM");
    EXPECT_STREQ(QpmMessageName(1115), "QPMM_DELIVERSTREAM");
    EXPECT_STREQ(QpmMessageName(WM_USER + 300), "WM_USER+300");
    EXPECT_STREQ(QpmMessageName(0xC123), "0xC123");
}

TEST(Paths, BackslashesBecomeSlashes) {
    EXPECT_EQ(qpm::HostPath("a\\b/c.ini"), "a/b/c.ini");
    EXPECT_EQ(qpm::HostPath(nullptr), "");
}

}  // namespace
