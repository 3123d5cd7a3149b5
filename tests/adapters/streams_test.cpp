// A component's own requests as browser calls, and the browser's streams
// delivered, written and ended, under the recording test browser.
#include "adapters/plugin_fixture.h"

namespace {

using Calls = std::vector<std::string>;
using Streams = PluginTest;

// The GET and POST rules: what the browser is asked, and whether the
// component's open succeeded.
TEST_F(Streams, RequestsBecomeBrowserCalls) {
    const std::string longUrl = "http://h/" + std::string(496, 'a');  // 505 characters
    struct {
        const char* what;
        std::string url;
        const char* data;
        int32_t method, length;
        NPError answer;
        Calls calls;
        int32_t opened;
    } rows[] = {
        {"GET, query with ?", "http://h/x", "?a=1", 0, 0, 0, {"GetURL http://h/x?a=1"}, 1},
        {"GET, query without", "http://h/x", "a=1", 0, 0, 0, {"GetURL http://h/x?a=1"}, 1},
        {"GET, empty query", "http://h/x", "", 0, 0, 0, {"GetURL http://h/x"}, 1},
        {"GET, no query", "http://h/x", nullptr, 0, 0, 0, {"GetURL http://h/x"}, 1},
        {"GET, 511 characters", longUrl, "a=123", 0, 0, 0, {"GetURL " + longUrl + "?a=123"}, 1},
        {"GET, 512 characters", longUrl, "a=1234", 0, 0, 0, {}, 0},
        {"GET refused", "http://h/x", nullptr, 0, 0, 10, {"GetURL http://h/x"}, 0},
        {"POST, ? skipped", "http://h/x", "?abc", 1, 0, 0, {"PostURL http://h/x 3 abc"}, 1},
        {"POST, length given", "http://h/x", "abc", 1, 2, 0, {"PostURL http://h/x 2 ab"}, 1},
        {"POST, no body", "http://h/x", nullptr, 1, 0, 0, {}, 0},
        {"POST, negative length", "http://h/x", "abc", 1, -1, 0, {}, 0},
    };
    for (const auto& row : rows) {
        TestInstance instance;
        browser.calls.clear();
        browser.urlAnswer = row.answer;
        EXPECT_EQ(Requesting(instance, row.url, row.data, row.method, row.length), 0) << row.what;
        EXPECT_EQ(browser.calls, row.calls) << row.what;
        EXPECT_EQ(probe->openResult, row.opened) << row.what;
        browser.plugin.destroy(&instance.npp, nullptr);
    }
}

// The stream comes under the URL that was asked for, query and all; a
// stream nobody asked for is refused, and is NP_NORMAL all the same.
TEST_F(Streams, DeliveryMatchesTheUrlAskedFor) {
    TestInstance instance;
    ASSERT_EQ(Requesting(instance, "http://h/x", "a=1"), 0);
    NPStream other = StreamOf("http://h/x");
    NPStream asked = StreamOf("http://h/x?a=1");
    uint16_t type = 0;
    EXPECT_EQ(browser.Deliver(instance, other, &type), NPERR_GENERIC_ERROR);
    EXPECT_EQ(type, NP_NORMAL);
    EXPECT_EQ(browser.Deliver(instance, asked), NPERR_NO_ERROR);
    char data[5] = "news";
    EXPECT_EQ(browser.plugin.write(&instance.npp, &asked, 0, 4, data), 4);
    const ProbeEvent& last = probe->events[probe->eventCount - 1];
    EXPECT_EQ(last, (ProbeEvent{kSlotStreamData, LONG_PTR(&asked), LONG_PTR(data), 4, 0}));

    TestInstance windowless;
    ASSERT_EQ(browser.New(windowless, {}), 0);
    EXPECT_EQ(browser.plugin.write(&windowless.npp, &asked, 0, 4, data), 4);
    browser.plugin.destroy(&windowless.npp, nullptr);
}

// Who closes the stream being destroyed, and how it ends: the close of
// the stream NPP_DestroyStream is ending asks the browser nothing; a
// stream closed by the component's end (NPP_Destroy, or the browser's
// window destroyed) is destroyed with reason 3, also when the browser
// calls NPP_DestroyStream back from inside NPN_DestroyStream.
TEST_F(Streams, ClosingStreams) {
    enum Ending { kBrowserEndsStream, kInstanceDestroyed, kWindowDestroyed };
    struct {
        const char* what;
        bool closeOnEnd, destroyCallsBack;
        Ending ending;
        Calls calls;
    } rows[] = {
        {"ended by the browser, closed inside", true, false, kBrowserEndsStream, {}},
        {"ended by the browser", false, false, kBrowserEndsStream, {}},
        {"instance destroyed", false, false, kInstanceDestroyed, {"DestroyStream http://h/x 3"}},
        {"instance destroyed, called back",
         false,
         true,
         kInstanceDestroyed,
         {"DestroyStream http://h/x 3"}},
        {"window destroyed, called back",
         false,
         true,
         kWindowDestroyed,
         {"DestroyStream http://h/x 3"}},
    };
    for (const auto& row : rows) {
        probe->closeOnEnd = row.closeOnEnd;
        browser.destroyCallsBack = row.destroyCallsBack;
        TestInstance instance;
        ASSERT_EQ(Requesting(instance, "http://h/x", nullptr), 0);
        NPStream stream = StreamOf("http://h/x");
        ASSERT_EQ(browser.Deliver(instance, stream), 0) << row.what;
        browser.calls.clear();
        const int32_t before = probe->eventCount;
        if (row.ending == kBrowserEndsStream) {
            // A reason other than NPRES_DONE ends the stream all the same.
            EXPECT_EQ(browser.plugin.destroystream(&instance.npp, &stream, NPRES_NETWORK_ERR), 0);
            EXPECT_EQ(probe->events[before].slot, kSlotStreamEnd) << row.what;
        }
        if (row.ending == kWindowDestroyed) instance.page.reset();
        EXPECT_EQ(browser.plugin.destroy(&instance.npp, nullptr), 0);
        EXPECT_EQ(browser.calls, row.calls) << row.what;
    }
}

// A request whose stream never comes fails after more than 60000 ms, at
// the next tick of the 100 ms idle timer.
TEST_F(Streams, APendingRequestTimesOut) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    TestInstance instance;
    ASSERT_EQ(Requesting(instance, "http://h/x", nullptr), 0);
    auto failures = [&] {
        int n = 0;
        for (int32_t i = 0; i < probe->eventCount; ++i)
            n += probe->events[i] == ProbeEvent{kSlotRequestFailed, 0, 0, 0, 0};
        return n;
    };
    QpmAdvanceClock(59900);
    probe->eventCount = 0;  // room for the events to come
    QpmAdvanceClock(100);
    EXPECT_EQ(failures(), 0);
    QpmAdvanceClock(100);
    EXPECT_EQ(failures(), 1);
    NPStream late = StreamOf("http://h/x");
    EXPECT_EQ(browser.Deliver(instance, late), NPERR_GENERIC_ERROR);
}

}  // namespace
