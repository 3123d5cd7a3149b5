// A plug-in instance's life under every allocation failure: the ticker
// made by NPP_New and NPP_SetWindow, its text streamed by the browser,
// scrolled, and destroyed, with the k-th global memory allocation
// failing, for k = 1, 2, ... until a life needs no k-th one. (An
// instance creates no file and loads no library: the browser loaded the
// plug-in before.) Whatever fails, nothing crashes or leaks, each call
// answers one of the results named for it, and NPP_Destroy leaves no
// window.
#include <qpm_platform.h>

#include <set>

#include "adapters/plugin_fixture.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr DWORD kScrollPeriod = 150;
const char kText[] = "Streamed to a plug-in while memory runs out";

struct Life {
    bool fired = false;
    NPError created = -1, windowMade = -1, delivered = -1;
};

class PluginFaultSweep : public PluginTest {
protected:
    PluginFaultSweep() : PluginTest(QPM_PELLUX_LIBRARY) {}

    Life LiveFailing(int k) {
        Life life;
        TestInstance instance;
        NPStream stream = StreamOf("http://h/news");
        QpmFailNth(QPM_FAULT_GLOBALALLOC, k);
        life.created = browser.New(instance, {{"SRC", "http://h/news"}, {"SIZE", "14"}});
        life.windowMade = browser.SetWindow(instance, 300, 17);
        if (life.windowMade == NPERR_NO_ERROR) {
            life.delivered = browser.Deliver(instance, stream);
            if (life.delivered == NPERR_NO_ERROR) {
                browser.Write(instance, stream, kText, {5, 9});
                browser.plugin.destroystream(&instance.npp, &stream, NPRES_DONE);
            }
            for (int tick = 0; tick < 3; ++tick)
                DeliverTimerPeriod(instance.component(), kScrollTimer, kScrollPeriod);
        }
        life.fired = QpmFaultFired(QPM_FAULT_GLOBALALLOC) != 0;
        QpmResetFaults();
        const HWND component = instance.component();
        EXPECT_EQ(browser.plugin.destroy(&instance.npp, nullptr), NPERR_NO_ERROR);
        EXPECT_FALSE(component != nullptr && IsWindow(component));
        EXPECT_EQ(instance.npp.pdata, nullptr);
        return life;
    }
};

TEST_F(PluginFaultSweep, EveryAllocationOfAnInstanceMayFail) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection and object counts");
    LiveFailing(1 << 30);  // a whole life first: the layer's stock objects are made once
    const UINT memory = QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY);
    const UINT windows = QpmCountObjects(QPM_OBJECTS_WINDOWS);
    const UINT gdi = QpmCountObjects(QPM_OBJECTS_GDI);
    std::set<NPError> creations, windowsMade;
    int points = 0;
    for (int k = 1;; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k));
        const Life life = LiveFailing(k);
        EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY), memory);
        EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_WINDOWS), windows);
        EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GDI), gdi);
        if (!life.fired) {
            EXPECT_EQ(life.created, NPERR_NO_ERROR);
            EXPECT_EQ(life.windowMade, NPERR_NO_ERROR);
            EXPECT_EQ(life.delivered, NPERR_NO_ERROR);
            break;
        }
        ++points;
        creations.insert(life.created);
        windowsMade.insert(life.windowMade);
        // No record: NPP_New fails, and with nothing waiting so does the window.
        EXPECT_TRUE(life.created == NPERR_NO_ERROR || life.created == NPERR_GENERIC_ERROR);
        if (life.created != NPERR_NO_ERROR) {
            EXPECT_EQ(life.windowMade, NPERR_GENERIC_ERROR);
        }
        EXPECT_TRUE(life.windowMade == NPERR_NO_ERROR || life.windowMade == NPERR_GENERIC_ERROR);
        EXPECT_TRUE(life.delivered == -1 || life.delivered == NPERR_NO_ERROR ||
                    life.delivered == NPERR_GENERIC_ERROR);
    }
    printf("[ sweep    ] plug-in instance: %d allocation failure points\n", points);
    EXPECT_TRUE(creations.count(NPERR_GENERIC_ERROR)) << "no point failed NPP_New";
    EXPECT_TRUE(windowsMade.count(NPERR_GENERIC_ERROR)) << "no point failed NPP_SetWindow";
}

}  // namespace
