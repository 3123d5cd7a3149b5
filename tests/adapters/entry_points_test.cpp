// The plug-in entry points: the tables exchanged, at their limits.
#include "adapters/plugin_fixture.h"

namespace {

class EntryPoints : public PluginTest {
protected:
    void SetUp() override { HoldTime(100000); }  // no exchange yet
};

TEST_F(EntryPoints, PluginTableSizes) {
    struct {
        uint16_t size;
        NPError result;
    } rows[] = {
        {0, 3}, {kPluginFuncsMinSize - 1, 3}, {kPluginFuncsMinSize, 0}, {sizeof(NPPluginFuncs), 0}};
    EXPECT_EQ(browser.getEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    for (const auto& row : rows) {
        NPPluginFuncs table;
        memset(&table, 0x5A, sizeof table);
        table.size = row.size;
        const NPPluginFuncs before = table;
        EXPECT_EQ(browser.getEntryPoints(&table), row.result) << row.size;
        // Refused: untouched. Taken: the ten entries up to `event`, the rest as they were.
        EXPECT_EQ(table.size, row.size);
        EXPECT_EQ(table.version, row.result ? before.version : 6);
        EXPECT_EQ(table.newp != before.newp && table.print != before.print, row.result == 0);
        EXPECT_EQ(table.event == nullptr, row.result == 0);
        EXPECT_EQ(memcmp(&table.urlnotify, &before.urlnotify,
                         sizeof table - offsetof(NPPluginFuncs, urlnotify)),
                  0);
    }
}

// The browser's table is kept even when refused: the probe's request
// then still reaches it. After NP_Shutdown nothing does.
TEST_F(EntryPoints, BrowserTableSizesAndVersions) {
    struct {
        uint16_t size, version;
        NPError result;
    } rows[] = {{sizeof(NPNetscapeFuncs), 0x0100, 8},
                {kBrowserFuncsMinSize - 1, 19, 3},
                {kBrowserFuncsMinSize, 0x0013, 0},
                {sizeof(NPNetscapeFuncs), 0x0100, 8}};
    EXPECT_EQ(browser.initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    ASSERT_EQ(browser.getEntryPoints(&browser.plugin), 0);
    probe = Proc<ProbeGetStateFn>("ProbeGetState")();
    for (const auto& row : rows) {
        browser.table.size = row.size;
        browser.table.version = row.version;
        EXPECT_EQ(browser.initialize(&browser.table), row.result) << row.size;
        TestInstance instance;
        browser.calls.clear();
        EXPECT_EQ(Requesting(instance, "http://h/x", nullptr), 0);
        EXPECT_EQ(browser.calls, std::vector<std::string>{"GetURL http://h/x"});
        browser.plugin.destroy(&instance.npp, nullptr);
    }
    browser.shutdown();
    TestInstance instance;
    browser.calls.clear();
    EXPECT_EQ(Requesting(instance, "http://h/x", nullptr), 0);
    EXPECT_EQ(probe->openResult, 0);
    EXPECT_TRUE(browser.calls.empty());
    browser.plugin.destroy(&instance.npp, nullptr);
}

}  // namespace
