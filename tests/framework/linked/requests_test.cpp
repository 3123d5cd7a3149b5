// Requests to the host: what the host receives for each, and what the
// component makes of the answer.
#include <cstring>

#include "framework/linked/units_fixture.h"

namespace {

using RequestsTest = UnitsTest;

TEST_F(RequestsTest, OpenStreamSendsTheRecordAndPassesTheAnswerBack) {
    UrlRequest request{"http://x/news.txt", "ctx", "q=1", 0, 0};
    host.AnswerValue(QPMR_OPENSTREAM, 5);
    EXPECT_EQ(HostOpenStream(record, &request, 3), 5);
    host.AnswerValue(QPMR_OPENSTREAM, kStreamLater);
    EXPECT_EQ(HostOpenStream(record, &request, 0), kStreamLater);
    UrlRequest post{"http://x/form", nullptr, "a=b", kMethodPost, 3};
    host.AnswerValue(QPMR_OPENSTREAM, -1);
    EXPECT_EQ(HostOpenStream(record, &post, 0), -1);
    EXPECT_TRUE(SameRequests(
        {{QPMR_OPENSTREAM, 3,
          "url=\"http://x/news.txt\" context=\"ctx\" data=\"q=1\" method=0 length=0"},
         {QPMR_OPENSTREAM, 0,
          "url=\"http://x/news.txt\" context=\"ctx\" data=\"q=1\" method=0 length=0"},
         {QPMR_OPENSTREAM, 0, "url=\"http://x/form\" context=null data=\"a=b\" method=1 length=3"}},
        host.requests()));
}

TEST_F(RequestsTest, CloseReadAndReady) {
    char buffer[100];
    host.AnswerValue(QPMR_READSTREAM, 42);
    HostCloseStream(record, 5);
    EXPECT_EQ(HostReadStream(record, 5, buffer, 100), 42);
    HostStreamReady(record, 5);
    // The stream-ready notice is posted: the host sees it only from its loop.
    EXPECT_TRUE(
        SameRequests({{QPMR_CLOSESTREAM, 0, "handle=5"}, {QPMR_READSTREAM, 0, "handle=5 size=100"}},
                     host.requests()));
    host.Pump();
    EXPECT_EQ(host.messages().back(), QPMR_STREAMREADY);
    EXPECT_EQ(host.requests().back().detail, "handle=5");
}

TEST_F(RequestsTest, HostInfoPassesTheItemAsSixteenBits) {
    host.Answer(QPMR_HOSTINFO, [](WPARAM item, LPARAM buffer) {
        strcpy(reinterpret_cast<char*>(buffer), item == 2 ? "context-string" : "");
        return LRESULT(item == 2 ? 7 : 0);
    });
    char buffer[kHostInfoSize] = {};
    EXPECT_EQ(GetHostInfo(record, 2 + 65536, buffer), 1);
    EXPECT_STREQ(buffer, "context-string");
    EXPECT_EQ(GetHostInfo(record, 3, buffer), 0);
    EXPECT_TRUE(SameRequests({{QPMR_HOSTINFO, 2, ""}, {QPMR_HOSTINFO, 3, ""}}, host.requests()));
}

TEST_F(RequestsTest, SupportsAsksAboutARequestNumber) {
    EXPECT_EQ(HostSupports(record, QPMR_RESIZE), 0);
    host.AnswerValue(QPMR_SUPPORTS, 9);
    EXPECT_EQ(HostSupports(record, QPMR_RESIZE), 1);
    EXPECT_TRUE(SameRequests({{QPMR_SUPPORTS, QPMR_RESIZE, ""}, {QPMR_SUPPORTS, QPMR_RESIZE, ""}},
                             host.requests()));
}

struct ResizeCase {
    const char* name;
    int32_t fixedSize, pluginMode;
    LRESULT supports, resize;
    int32_t result;
    std::vector<HostRequest> requests;
};

TEST_F(RequestsTest, ResizeAsksOnlyWhenItMay) {
    const ResizeCase cases[] = {
        {"fixed size", 1, 0, 1, 1, 0, {}},
        {"plug-in mode", 0, 1, 1, 1, 0, {}},
        {"host does not resize", 0, 0, 0, 1, 0, {{QPMR_SUPPORTS, QPMR_RESIZE, ""}}},
        {"host refuses",
         0,
         0,
         1,
         0,
         0,
         {{QPMR_SUPPORTS, QPMR_RESIZE, ""}, {QPMR_RESIZE, 0, "size=300x60"}}},
        {"host resizes",
         0,
         0,
         1,
         1,
         1,
         {{QPMR_SUPPORTS, QPMR_RESIZE, ""}, {QPMR_RESIZE, 0, "size=300x60"}}},
    };
    for (const ResizeCase& c : cases) {
        host.ClearRequests();
        record->fixedSize = c.fixedSize;
        record->pluginMode = c.pluginMode;
        host.AnswerValue(QPMR_SUPPORTS, c.supports);
        host.AnswerValue(QPMR_RESIZE, c.resize);
        EXPECT_EQ(HostResize(record, 300, 60), c.result) << c.name;
        EXPECT_TRUE(SameRequests(c.requests, host.requests())) << c.name;
    }
    record->pluginMode = 0;
}

TEST_F(RequestsTest, InPlugInModeNothingReachesAParentWindow) {
    record->pluginMode = 1;
    Plugin().calls.clear();
    char buffer[kHostInfoSize];
    UrlRequest request{"http://x/a", nullptr, nullptr, 0, 0};
    EXPECT_EQ(HostOpenStream(record, &request, 0), kStreamLater);
    EXPECT_EQ(HostReadStream(record, 0x1000, buffer, 10), 0);
    HostStreamReady(record, 0x1000);
    HostCloseStream(record, 0x1000);
    EXPECT_EQ(GetHostInfo(record, 2, buffer), 1);
    host.Pump();
    EXPECT_TRUE(host.requests().empty());
    EXPECT_EQ(Plugin().calls,
              (std::vector<std::string>{"open http://x/a", "close 4096", "info 2"}));
    record->pluginMode = 0;
}

}  // namespace
