// A component library exports exactly its entry points: two libraries in
// one process never see each other's framework.
#include "framework/loaded/probe_fixture.h"

namespace {

const char* const kEntryPoints[] = {"QPMSetInstance", "QPMGetVersion",     "QPMCalcSize",
                                    "QPMInit",        "_QPMLibWndProc@16", "NP_GetEntryPoints",
                                    "NP_Initialize",  "NP_Shutdown",       "DRXInit",
                                    "DRXGetVersion",  "DRXCalcSize"};
const char* const kInternals[] = {"CreateComponent",
                                  "_Z15CreateComponentP10InitRecord",
                                  "ComponentName",
                                  "_ZN9Component5StartEv",
                                  "_Z10RepaintNowP14InstanceRecord",
                                  "_Z12GetAttributePK14InstanceRecordPKcPci"};

TEST(Exports, PelluxExportsItsEntryPointsAndNothingOfTheFramework) {
    HMODULE pellux = LoadLibraryA(QPM_PELLUX_LIBRARY);
    ASSERT_NE(pellux, nullptr);
    for (const char* name : kEntryPoints) EXPECT_NE(GetProcAddress(pellux, name), nullptr) << name;
    for (const char* name : kInternals) EXPECT_EQ(GetProcAddress(pellux, name), nullptr) << name;
    FreeLibrary(pellux);
}

TEST_F(ProbeTest, TwoLibrariesEachRunTheirOwnFramework) {
    HMODULE other = LoadLibraryA(QPM_PROBE_BASIC_LIBRARY);
    ASSERT_NE(other, nullptr);
    auto otherState = Proc<ProbeGetStateFn>(other, "ProbeGetState")();
    auto otherInit = Proc<InitFn>(other, "QPMInit");
    Proc<SetInstanceFn>(other, "QPMSetInstance")(other);
    ASSERT_NE(otherState, probe);
    EXPECT_NE(Proc<WNDPROC>(other, "_QPMLibWndProc@16"), wndProc);

    TestRecord a, b;
    HWND mine = Create(a);
    HWND theirs = otherInit(host.window(), &b.record);
    ASSERT_TRUE(mine && theirs);
    EXPECT_EQ(GetWindowLongPtrA(mine, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(wndProc));
    SendMessageA(theirs, QPMM_START, 0, 0);
    EXPECT_EQ(probe->created, 1);
    EXPECT_EQ(otherState->created, 1);
    EXPECT_EQ(otherState->events[otherState->eventCount - 1].slot, kSlotStart);
    for (int32_t i = 0; i < probe->eventCount; ++i) EXPECT_NE(probe->events[i].slot, kSlotStart);
    DestroyWindow(theirs);
    FreeLibrary(other);
}

}  // namespace
