// Plug-in instances and their windows: NPP_New, NPP_SetWindow and
// NPP_Destroy in the orders a browser may call them.
#include <climits>

#include "adapters/plugin_fixture.h"

namespace {

using Instances = PluginTest;

TEST_F(Instances, ModesEmbedAndFullAloneMakeAWindow) {
    struct {
        uint16_t mode;
        NPError created, windowMade;
    } rows[] = {{NP_EMBED, 0, 0}, {NP_FULL, 0, 0}, {0, 1, 1}, {3, 1, 1}};
    for (const auto& row : rows) {
        TestInstance instance;
        EXPECT_EQ(browser.New(instance, {{"NAME", "one"}}, row.mode), row.created) << row.mode;
        EXPECT_EQ(browser.SetWindow(instance, 200, 20), row.windowMade) << row.mode;
        if (row.windowMade == 0) {
            EXPECT_EQ(Attribute(instance.component(), "NAME"), "one");
            EXPECT_TRUE(instance.page->requests().empty()) << "plug-in mode asks no parent";
        }
        browser.plugin.destroy(&instance.npp, nullptr);
    }
}

// One record waits at a time: the second NPP_New's; any NPP_Destroy
// frees it; a window without a handle leaves it waiting.
TEST_F(Instances, TheWaitingRecord) {
    TestInstance a, b;
    ASSERT_EQ(browser.New(a, {{"NAME", "a"}}), 0);
    ASSERT_EQ(browser.New(b, {{"NAME", "b"}}), 0);
    EXPECT_EQ(browser.SetWindow(a, 200, 20), 0);
    EXPECT_EQ(Attribute(a.component(), "NAME"), "b");
    EXPECT_EQ(browser.SetWindow(b, 200, 20), NPERR_GENERIC_ERROR);

    TestInstance c, d;
    ASSERT_EQ(browser.New(c, {}), 0);
    NPSavedData* saved = reinterpret_cast<NPSavedData*>(&d);
    EXPECT_EQ(browser.plugin.destroy(&d.npp, &saved), 0);
    EXPECT_EQ(saved, nullptr);
    EXPECT_EQ(browser.SetWindow(c, 200, 20), NPERR_GENERIC_ERROR);

    ASSERT_EQ(browser.New(c, {{"NAME", "c"}}), 0);
    NPWindow none{};
    EXPECT_EQ(browser.plugin.setwindow(&c.npp, &none), NPERR_GENERIC_ERROR);
    EXPECT_EQ(browser.SetWindow(c, 200, 20), 0);
    EXPECT_EQ(Attribute(c.component(), "NAME"), "c");
    for (TestInstance* i : {&a, &b, &c}) browser.plugin.destroy(&i->npp, nullptr);
    EXPECT_EQ(probe->destroyed, 2);
}

// A browser that destroys the instance while its component is busy (here
// inside the component's own request) is never called for it again: the
// stop that follows closes the component's stream without the browser.
TEST_F(Instances, DestroyedWhileBusy) {
    NPStream attached = StreamOf("http://h/attached");
    probe->streamHandle = reinterpret_cast<LONG_PTR>(&attached);
    browser.onGetUrl = [&](NPP npp) { EXPECT_EQ(browser.plugin.destroy(npp, nullptr), 0); };
    TestInstance instance;
    EXPECT_EQ(Requesting(instance, "http://h/x", nullptr), NPERR_GENERIC_ERROR);
    EXPECT_EQ(probe->destroyed, 1);
    EXPECT_EQ(browser.calls, std::vector<std::string>{"GetURL http://h/x"});
}

// A component that refuses to start leaves no window behind.
TEST_F(Instances, AStartRefusedDestroysTheWindow) {
    probe->startResult = 0;
    TestInstance instance;
    ASSERT_EQ(browser.New(instance, {}), 0);
    EXPECT_EQ(browser.SetWindow(instance, 200, 20), NPERR_GENERIC_ERROR);
    EXPECT_EQ(instance.component(), nullptr);
    EXPECT_EQ(probe->destroyed, 1);
}

// A count above 32767 arrives as a negative 16-bit count: no attributes.
TEST_F(Instances, ANegativeArgumentCountGivesNoAttributes) {
    TestInstance instance;
    AttributeList attrs(AttrList{{"NAME", "x"}});
    ASSERT_EQ(browser.plugin.newp(nullptr, &instance.npp, NP_EMBED, int16_t(uint16_t(40000)),
                                  attrs.Names(), attrs.Values(), nullptr),
              0);
    ASSERT_EQ(browser.SetWindow(instance, 200, 20), 0);
    int32_t count = -1;
    EXPECT_EQ(Attribute(instance.component(), "NAME", &count), "<none>");
    EXPECT_EQ(count, 0);
}

TEST_F(Instances, NoMemoryForTheRecordOrItsStrings) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    TestInstance instance;
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 1);
    EXPECT_EQ(browser.New(instance, {{"NAME", "x"}}), NPERR_GENERIC_ERROR);
    EXPECT_EQ(browser.SetWindow(instance, 200, 20), NPERR_GENERIC_ERROR);
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 2);
    EXPECT_EQ(browser.New(instance, {{"NAME", "x"}}), 0);
    EXPECT_EQ(browser.SetWindow(instance, 200, 20), 0);
    EXPECT_EQ(Attribute(instance.component(), "NAME"), "<none>");
}

// Calls a browser should not make get an error, never a crash.
TEST_F(Instances, NullInstancesStreamsAndLengths) {
    TestInstance instance;
    ASSERT_EQ(browser.New(instance, {}), 0);
    ASSERT_EQ(browser.SetWindow(instance, 200, 20), 0);
    NPP i = &instance.npp;
    NPStream s{};
    char byte = 'x';
    uint16_t type = 0;
    const NPPluginFuncs& p = browser.plugin;
    struct {
        const char* call;
        int32_t result, expected;
    } rows[] = {
        {"New", p.newp(nullptr, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr), 2},
        {"Destroy", p.destroy(nullptr, nullptr), 2},
        {"SetWindow", p.setwindow(nullptr, &instance.window), 2},
        {"SetWindow null window", p.setwindow(i, nullptr), 1},
        {"NewStream", p.newstream(nullptr, nullptr, &s, 0, &type), 2},
        {"NewStream type", type, NP_NORMAL},
        {"NewStream null stream", p.newstream(i, nullptr, nullptr, 0, &type), 9},
        {"Write", p.write(nullptr, &s, 0, 1, &byte), -1},
        {"Write null stream", p.write(i, nullptr, 0, 1, &byte), -1},
        {"Write negative", p.write(i, &s, 0, -1, &byte), -1},
        {"Write null buffer", p.write(i, &s, 0, 1, nullptr), -1},
        {"DestroyStream", p.destroystream(nullptr, &s, NPRES_DONE), 2},
        {"DestroyStream null stream", p.destroystream(i, nullptr, NPRES_DONE), 9},
        {"WriteReady", p.writeready(nullptr, nullptr), 2048},
    };
    for (const auto& row : rows) EXPECT_EQ(row.result, row.expected) << row.call;
    p.asfile(nullptr, nullptr, nullptr);
    p.print(nullptr, nullptr);
    EXPECT_TRUE(IsWindow(instance.component()));
}

}  // namespace
