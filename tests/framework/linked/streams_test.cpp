// Data streams: the requests the host sees as streams are opened,
// pulled, ended, failed, delivered and swept, as tables.
#include <string>

#include "framework/linked/units_fixture.h"

namespace {

using Events = std::vector<StreamEvent>;

class StreamsTest : public UnitsTest {
protected:
    // Sends a host message through the window procedure, as a host does.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT r = SendMessageA(window, message, wParam, lParam);
        Reattach();
        return r;
    }
    size_t ListLength() const {
        size_t n = 0;
        for (DataStream* s = component->streams; s; s = s->next) ++n;
        return n;
    }
    // The list read forwards and backwards must agree.
    bool ListConsistent() const {
        DataStream* last = nullptr;
        for (DataStream* s = component->streams; s; s = s->next) {
            if (s->prev != last || s->owner != component) return false;
            last = s;
        }
        return true;
    }
};

TEST_F(StreamsTest, AStreamPulledToItsEnd) {
    std::string text(2500, 'x');
    text[0] = 'A';
    text[2499] = 'Z';
    host.ServeStream("http://h/t", 3, text);
    auto* s = new RecordingStream(component);
    ASSERT_TRUE(s->Attach(3));
    host.Pump();
    Send(QPMM_STREAMREADY, 0, 3);
    host.Pump();
    EXPECT_TRUE(SameRequests({{QPMR_STREAMREADY, 0, "handle=3"},
                              {QPMR_READSTREAM, 0, "handle=3 size=1024"},
                              {QPMR_READSTREAM, 0, "handle=3 size=1024"},
                              {QPMR_READSTREAM, 0, "handle=3 size=1024"},
                              {QPMR_READSTREAM, 0, "handle=3 size=1024"},
                              {QPMR_CLOSESTREAM, 0, "handle=3"},
                              {QPMR_STREAMREADY, 0, "handle=3"},
                              {QPMR_STREAMREADY, 0, "handle=3"},
                              {QPMR_STREAMREADY, 0, "handle=3"}},
                             host.requests()));
    ASSERT_EQ(s->events.size(), 4u);
    EXPECT_EQ(s->events[0].a, 1024);
    EXPECT_EQ(s->events[0].b, 0);
    EXPECT_EQ(s->events[1].b, 1024);
    EXPECT_EQ(s->events[2].a, 452);
    EXPECT_EQ(s->events[2].b, 2048);
    EXPECT_EQ(s->events[3].what, "end");
    EXPECT_EQ(s->received, text);
    EXPECT_EQ(s->handle, kNoStream);
    EXPECT_FALSE(s->attached);
    EXPECT_EQ(s->offset, 2500);
}

TEST_F(StreamsTest, AZeroReadEndsOnlyThePullLoop) {
    host.ServeStream("u", 4, "abc", /*keepOpen=*/true);
    auto* s = new RecordingStream(component);
    s->Attach(4);
    Send(QPMM_STREAMREADY, 0, 4);
    EXPECT_EQ(s->received, "abc");
    EXPECT_EQ(s->handle, 4);
    EXPECT_TRUE(s->attached);
    host.AppendToStream(4, "def");
    Send(QPMM_STREAMREADY, 0, 4);
    EXPECT_EQ(s->received, "abcdef");
    EXPECT_EQ(s->events.back().b, 3);  // the second announcement continues the offsets
    Send(QPMM_STREAMEND, 0, 4);
    EXPECT_EQ(s->events.back().what, "end");
    EXPECT_EQ(host.messages().back(), QPMR_CLOSESTREAM);
}

TEST_F(StreamsTest, WithoutAutoReadAnAnnouncementOnlySetsDataWaiting) {
    host.ServeStream("u", 6, "hello");
    auto* s = new RecordingStream(component);
    s->autoRead = false;
    s->Attach(6);
    host.Pump();
    host.ClearRequests();
    Send(QPMM_STREAMREADY, 0, 6);
    EXPECT_TRUE(s->dataWaiting);
    EXPECT_TRUE(host.requests().empty());
    char buffer[3];
    EXPECT_EQ(s->Read(buffer, 3), 3);
    EXPECT_FALSE(s->dataWaiting);
    EXPECT_EQ(std::string(buffer, 3), "hel");
}

struct OpenCase {
    LRESULT answer;
    bool opened;
    LONG_PTR handle;
};

TEST_F(StreamsTest, OpenAnswers) {
    const OpenCase cases[] = {
        {7, true, 7}, {0, true, 0}, {-1, false, kNoStream}, {kStreamLater, true, kNoStream}};
    for (const OpenCase& c : cases) {
        auto* s = new RecordingStream(component);
        host.AnswerValue(QPMR_OPENSTREAM, c.answer);
        UrlRequest request{"http://h/x", nullptr, nullptr, 0, 0};
        EXPECT_EQ(s->Open(&request, 0), c.opened) << c.answer;
        EXPECT_EQ(s->handle, c.handle) << c.answer;
        EXPECT_FALSE(s->attached) << "Open does not attach";
        delete s;
    }
}

TEST_F(StreamsTest, AStreamOpenedLaterGetsNoHandleMessages) {
    auto* s = new RecordingStream(component);
    host.AnswerValue(QPMR_OPENSTREAM, kStreamLater);
    UrlRequest request{"http://h/x", nullptr, nullptr, 0, 0};
    ASSERT_TRUE(s->Open(&request, 0));
    Send(QPMM_STREAMEND, 0, kStreamLater);
    Send(QPMM_STREAMFAILED, 1, kNoStream);
    Send(QPMM_STREAMREADY, 0, kNoStream);
    EXPECT_TRUE(s->events.empty()) << "no handle-based message reaches a stream without a handle";
    // The host's delivery of that URL goes to the waiting stream.
    EXPECT_EQ(component->DeliverStream(0x5000, "http://h/x"), 1);
    EXPECT_TRUE(component->createdFor.empty());
    EXPECT_EQ(s->handle, 0x5000);
    EXPECT_TRUE(s->attached);
}

TEST_F(StreamsTest, MessagesForUnknownHandlesAreIgnored) {
    auto* s = new RecordingStream(component);
    s->Attach(1);
    host.Pump();
    host.ClearRequests();
    Send(QPMM_STREAMREADY, 0, 99);
    Send(QPMM_STREAMEND, 0, 99);
    Send(QPMM_STREAMFAILED, 5, 99);
    Send(QPMM_STREAMRESUME, 0, 99);
    EXPECT_TRUE(host.requests().empty());
    EXPECT_TRUE(s->events.empty());
}

TEST_F(StreamsTest, DataForAStreamThatIsNotAttachedEndsIt) {
    host.AnswerValue(QPMR_OPENSTREAM, 4);
    auto* s = new RecordingStream(component);
    UrlRequest request{"http://h/x", nullptr, nullptr, 0, 0};
    ASSERT_TRUE(s->Open(&request, 0));
    Send(QPMM_STREAMREADY, 0, 4);
    EXPECT_TRUE(SameRequests(
        {{QPMR_OPENSTREAM, 0, "url=\"http://h/x\" context=null data=null method=0 length=0"},
         {QPMR_CLOSESTREAM, 0, "handle=4"}},
        host.requests()));
    EXPECT_EQ(s->events, (Events{{"end", 0, 0, ""}}));
}

TEST_F(StreamsTest, ResumeReattachesAndNoticesReachTheStream) {
    auto* s = new RecordingStream(component);
    s->handle = 8;
    Send(QPMM_STREAMRESUME, 0, 8);
    EXPECT_TRUE(s->attached);
    host.Pump();
    EXPECT_TRUE(SameRequests({{QPMR_STREAMREADY, 0, "handle=8"}}, host.requests()));
    struct {
        StreamNoticeRecord r;
        char rest[8];
    } notice{};
    notice.r.key = 8;
    notice.r.value = 3;
    notice.r.length = 4;
    memcpy(notice.r.bytes, "ab\0c", 4);
    Send(QPMM_STREAMNOTICE, 0, reinterpret_cast<LPARAM>(&notice));
    EXPECT_EQ(s->events, (Events{{"notice", 3, 4, std::string("ab\0c", 4)}}));
}

// The host ends or fails the very stream that is reading, from inside the
// read request: no stream-ready notice follows, nothing is used after free.
TEST_F(StreamsTest, HostDropsTheHandleDuringARead) {
    for (UINT drop : {QPMM_STREAMEND, QPMM_STREAMFAILED}) {
        auto* s = new RecordingStream(component);
        s->finishOnEnd = true;
        s->Attach(12);
        host.Pump();
        host.ClearRequests();
        host.Answer(QPMR_READSTREAM, [&, drop](WPARAM, LPARAM lParam) {
            auto* r = reinterpret_cast<ReadRequest*>(lParam);
            SendMessageA(window, drop, 77, 12);
            SendMessageA(window, QPMM_IDLE, 0, 0);  // the sweep must not take the reading stream
            memset(r->buffer, 'q', 10);
            return LRESULT(10);
        });
        Send(QPMM_STREAMREADY, 0, 12);
        host.Pump();
        for (const HostRequest& r : host.requests()) EXPECT_NE(r.message, QPMR_STREAMREADY);
        ASSERT_EQ(ListLength(), 1u) << "the stream survived its own end";
        EXPECT_EQ(s->handle, kNoStream);
        EXPECT_EQ(s->received, std::string(10, 'q'));
        Send(QPMM_IDLE, 0, 0);
        EXPECT_EQ(ListLength(), 0u) << "the next sweep deletes it";
        host.Answer(QPMR_READSTREAM, nullptr);
    }
}

TEST_F(StreamsTest, TheSweepKeepsAnAttachedFinishedStream) {
    auto* s = new RecordingStream(component);
    s->Attach(2);
    s->finished = true;
    Send(QPMM_IDLE, 0, 0);
    EXPECT_EQ(ListLength(), 1u);
    s->attached = false;
    Send(WM_TIMER, kIdleTimerId, 0);
    EXPECT_EQ(ListLength(), 0u);
    auto* t = new RecordingStream(component);
    t->Attach(3);
    t->finished = true;
    t->handle = kNoStream;
    Send(QPMM_IDLE, 0, 0);
    EXPECT_EQ(ListLength(), 0u);
    EXPECT_EQ(RecordingStream::liveCount, 0);
}

// A finished stream that still holds a handle (opened, never attached)
// is closed as it is deleted. A host that answers that close request by
// sweeping again (message 1029, or a due idle timer) must not reach the
// stream being deleted, nor the older stream behind it, a second time.
// The component deletes such a stream in its sweep, or directly.
struct ReentrantCloseCase {
    UINT reentry;
    WPARAM wParam;
    bool bySweep;
};

TEST_F(StreamsTest, AHostSweepingInsideACloseDeletesEachStreamOnce) {
    const ReentrantCloseCase cases[] = {
        {QPMM_IDLE, 0, true}, {WM_TIMER, kIdleTimerId, true}, {QPMM_IDLE, 0, false}};
    for (const ReentrantCloseCase& c : cases) {
        auto* older = new RecordingStream(component);
        older->finished = true;  // no handle: the sweep deletes it silently
        auto* opened = new RecordingStream(component);
        host.AnswerValue(QPMR_OPENSTREAM, 7);
        UrlRequest request{"http://h/x", nullptr, nullptr, 0, 0};
        ASSERT_TRUE(opened->Open(&request, 0));
        opened->finished = true;
        host.ClearRequests();
        host.Answer(QPMR_CLOSESTREAM, [&](WPARAM, LPARAM) {
            SendMessageA(window, c.reentry, c.wParam, 0);
            return LRESULT(0);
        });
        if (c.bySweep)
            Send(QPMM_IDLE, 0, 0);
        else
            delete opened;
        Send(QPMM_IDLE, 0, 0);
        EXPECT_TRUE(SameRequests({{QPMR_CLOSESTREAM, 0, "handle=7"}}, host.requests()))
            << c.reentry << (c.bySweep ? " sweep" : " delete");
        EXPECT_EQ(RecordingStream::liveCount, 0);
        EXPECT_EQ(component->streams, nullptr);
        host.Answer(QPMR_CLOSESTREAM, nullptr);
    }
}

TEST_F(StreamsTest, DeletingAtHeadMiddleAndEndKeepsTheOthersInOrder) {
    for (int victim = 0; victim < 3; ++victim) {
        auto* oldest = new RecordingStream(component);
        auto* middle = new RecordingStream(component);
        auto* newest = new RecordingStream(component);
        RecordingStream* all[] = {newest, middle, oldest};
        delete all[victim];
        std::vector<DataStream*> left;
        for (DataStream* s = component->streams; s; s = s->next) left.push_back(s);
        std::vector<DataStream*> expected;
        for (int i = 0; i < 3; ++i)
            if (i != victim) expected.push_back(all[i]);
        EXPECT_EQ(left, expected) << "victim " << victim;
        EXPECT_TRUE(ListConsistent());
        for (DataStream* s : left) delete s;
        EXPECT_EQ(component->streams, nullptr);
    }
}

TEST_F(StreamsTest, BaseStopClosesEveryStreamThatHoldsAHandle) {
    auto* a = new RecordingStream(component);
    a->handle = 1;
    new RecordingStream(component);  // no handle
    auto* c = new RecordingStream(component);
    c->Attach(3);
    host.Pump();
    host.ClearRequests();
    component->Stop();
    EXPECT_TRUE(SameRequests({{QPMR_CLOSESTREAM, 0, "handle=3"}, {QPMR_CLOSESTREAM, 0, "handle=1"}},
                             host.requests()));
    EXPECT_EQ(component->streams, nullptr);
    EXPECT_EQ(RecordingStream::liveCount, 0);
}

// Plug-in mode: a request waits for its stream for 60000 ms at most,
// measured with an unsigned difference so the tick count may wrap.
struct TimeoutCase {
    DWORD start;
    DWORD after;
    bool failed;
};

TEST_F(StreamsTest, PendingRequestTimesOutAfterSixtySeconds) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    const TimeoutCase cases[] = {
        {5000, 59999, false},
        {5000, 60000, false},
        {5000, 60001, true},
        {0xFFFFFFFFu - 1000, 59999, false},
        {0xFFFFFFFFu - 1000, 60000, false},
        {0xFFFFFFFFu - 1000, 60001, true},
        {0xFFFFFFFFu - 30000, 200000, true},
    };
    record->pluginMode = 1;
    for (const TimeoutCase& c : cases) {
        QpmUseManualClock(c.start);
        auto* s = new RecordingStream(component);
        UrlRequest request{"http://h/late", nullptr, nullptr, 0, 0};
        ASSERT_TRUE(s->Open(&request, 0));
        ASSERT_NE(s->pendingUrl, nullptr);
        EXPECT_EQ(s->requestTime, c.start);
        QpmAdvanceClock(c.after);
        Send(QPMM_IDLE, 0, 0);
        EXPECT_EQ(s->pendingUrl == nullptr, c.failed) << c.start << "+" << c.after;
        EXPECT_EQ(s->events == (Events{{"failed", 0, 0, ""}}), c.failed)
            << c.start << "+" << c.after;
        delete s;
    }
    record->pluginMode = 0;
}

TEST_F(StreamsTest, DeliveryMatchesThePendingUrlExactly) {
    record->pluginMode = 1;
    auto* s = new RecordingStream(component);
    UrlRequest request{"http://h/Feed", nullptr, nullptr, 0, 0};
    ASSERT_TRUE(s->Open(&request, 0));
    EXPECT_EQ(component->DeliverStream(0x5000, "http://h/feed"), 0) << "case matters";
    EXPECT_EQ(component->createdFor, (std::vector<std::string>{"http://h/feed"}));
    EXPECT_EQ(component->DeliverStream(0x5000, "http://h/Feed"), 1);
    EXPECT_EQ(s->handle, 0x5000);
    EXPECT_TRUE(s->attached);
    EXPECT_EQ(s->pendingUrl, nullptr);
    // A stream nobody asked for goes to a new stream when the component makes one.
    component->makeStreams = true;
    EXPECT_EQ(component->DeliverStream(0x6000, "http://h/other"), 1);
    ASSERT_NE(component->FindStream(0x6000), nullptr);
    EXPECT_TRUE(component->FindStream(0x6000)->attached);
    host.Pump();
    EXPECT_TRUE(host.requests().empty()) << "plug-in mode sends no stream-ready notices";
    record->pluginMode = 0;
}

TEST_F(StreamsTest, PlugInEndAndCloseGoToTheBrowser) {
    record->pluginMode = 1;
    Plugin().calls.clear();
    auto* s = new RecordingStream(component);
    s->Attach(0x7000);
    s->OnEnd();  // the browser ends its own stream: nothing is asked of it
    EXPECT_TRUE(Plugin().calls.empty());
    s->handle = 0x7100;
    s->Close();
    EXPECT_EQ(Plugin().calls, (std::vector<std::string>{"close 28928"}));
    record->pluginMode = 0;
}

}  // namespace
