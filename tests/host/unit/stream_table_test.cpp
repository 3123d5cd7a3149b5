// Which notices a stream's component gets, and what its reads return.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <qpm/protocol.h>

#include "host/unit/notice_rows.h"
#include "net/stream_table.h"

namespace {

// Each row is one request or notice between host and component, in
// order: 1046 reads as {1046, size asked, result}, notices as
// {message, wParam, handle}.
class StreamTableTest : public ::testing::Test {
protected:
    HWND window = reinterpret_cast<HWND>(0x1000);
    StreamTable table;
    std::vector<NoticeRow> log;
    std::string received;

    int32_t Read(LONG_PTR handle, int32_t size) {
        char buffer[64];
        int32_t n = table.Read(handle, buffer, size);
        log.push_back({QPMR_READSTREAM, WPARAM(size), n});
        if (n > 0) received.append(buffer, size_t(n));
        return n;
    }

    // Sends every due notice; `component` plays the component's answer.
    void Deliver(const std::function<void(const StreamTable::Notice&)>& component) {
        StreamTable::Notice notice;
        while (table.NextNotice(&notice)) {
            EXPECT_EQ(notice.window, window);
            log.push_back({notice.message, notice.wParam, notice.handle});
            component(notice);
            table.NoticeDone(notice);
        }
    }

    // A component that reads everything on 1034 (as the framework's pull loop does).
    void ReaderComponent(const StreamTable::Notice& notice, int32_t chunk = 4) {
        if (notice.message != QPMM_STREAMREADY) return;
        int32_t n;
        while ((n = Read(notice.handle, chunk)) > 0) {
        }
        if (n < 0)
            table.Close(notice.handle);
        else
            table.MarkReady(notice.handle);  // its posted 1047, as the framework sends after a read
    }
};

TEST_F(StreamTableTest, DataIsAnnouncedOnlyOnceTheComponentIsReady) {
    LONG_PTR h = table.Open(window, "file:///x");
    EXPECT_EQ(h, 1);
    table.Append(h, "abcdef", 6);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(log.empty());  // no 1047 yet: nothing to say

    table.MarkReady(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(SameRows({{QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 4, 4},
                          {QPMR_READSTREAM, 4, 2},
                          {QPMR_READSTREAM, 4, 0}},
                         log));
    EXPECT_EQ(received, "abcdef");
}

TEST_F(StreamTableTest, TheEndIsReadAsANegativeCount) {
    LONG_PTR h = table.Open(window, "u");
    table.MarkReady(h);
    table.Append(h, "xyz", 3);
    table.Complete(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(SameRows(
        {{QPMM_STREAMREADY, 0, h}, {QPMR_READSTREAM, 4, 3}, {QPMR_READSTREAM, 4, -1}}, log));
    EXPECT_FALSE(table.Known(h));  // the component closed it
    EXPECT_EQ(table.Read(h, nullptr, 4), -1);
}

TEST_F(StreamTableTest, DataArrivingInPiecesIsAnnouncedAgain) {
    LONG_PTR h = table.Open(window, "u");
    table.MarkReady(h);
    table.Append(h, "ab", 2);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    table.Append(h, "c", 1);
    table.Complete(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(SameRows({{QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 4, 2},
                          {QPMR_READSTREAM, 4, 0},
                          {QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 4, 1},
                          {QPMR_READSTREAM, 4, -1}},
                         log));
    EXPECT_EQ(received, "abc");
}

// A transfer that arrived whole is read in rounds of kBytesPerNotice, each
// announced by its own 1034, so the component's 1047s never pile up.
TEST_F(StreamTableTest, AWholeTransferIsReadInBoundedRounds) {
    const size_t total = 2 * StreamTable::kBytesPerNotice + 100;
    std::string source(total, '\0');
    for (size_t i = 0; i < total; ++i) source[i] = char(i % 251);
    LONG_PTR h = table.Open(window, "file:///big");
    table.Append(h, source.data(), source.size());
    table.Complete(h);
    table.MarkReady(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n, 64); });
    std::vector<size_t> readsPerNotice;
    for (const NoticeRow& row : log) {
        if (row.message == QPMM_STREAMREADY) readsPerNotice.push_back(0);
        if (row.message == QPMR_READSTREAM) ++readsPerNotice.back();
    }
    const size_t fullRound = StreamTable::kBytesPerNotice / 64 + 1;  // and the read of 0
    EXPECT_EQ(readsPerNotice, (std::vector<size_t>{fullRound, fullRound, 2 + 1}));
    EXPECT_TRUE(received == source);
    EXPECT_FALSE(table.Known(h));
}

TEST_F(StreamTableTest, AFailureComesAfterWhatArrived) {
    LONG_PTR h = table.Open(window, "u");
    table.MarkReady(h);
    table.Append(h, "partial", 7);
    table.Fail(h, 18);
    table.Append(h, "late", 4);  // nothing counts after the failure
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n, 8); });
    EXPECT_TRUE(SameRows({{QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 8, 7},
                          {QPMR_READSTREAM, 8, 0},
                          {QPMM_STREAMFAILED, 18, h}},
                         log));
    EXPECT_EQ(received, "partial");
    EXPECT_FALSE(table.Known(h));  // forgotten after the failure notice
}

TEST_F(StreamTableTest, AnEmptyFailureIsReportedAtOnce) {
    LONG_PTR h = table.Open(window, "u");
    table.MarkReady(h);
    table.Fail(h, 404);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(SameRows({{QPMM_STREAMFAILED, 404, h}}, log));
}

TEST_F(StreamTableTest, AComponentThatDoesNotReadIsToldTheEnd) {
    // It never said it was ready.
    LONG_PTR quiet = table.Open(window, "u");
    table.Append(quiet, "data", 4);
    table.Complete(quiet);
    // It was told of data and read nothing.
    LONG_PTR idle = table.Open(window, "v");
    table.MarkReady(idle);
    table.Append(idle, "data", 4);
    table.Complete(idle);
    Deliver([](const StreamTable::Notice&) {});
    EXPECT_TRUE(SameRows(
        {{QPMM_STREAMEND, 0, quiet}, {QPMM_STREAMREADY, 0, idle}, {QPMM_STREAMEND, 0, idle}}, log));
    EXPECT_EQ(table.Count(), 0u);
}

TEST_F(StreamTableTest, AReaderWhose1047IsOnTheWayIsNotCutShort) {
    LONG_PTR h = table.Open(window, "u");
    table.MarkReady(h);
    table.Append(h, "abcdefgh", 8);
    // Reads one piece per notice; its 1047 arrives only later, from the queue.
    Deliver([&](const StreamTable::Notice& n) {
        if (n.message == QPMM_STREAMREADY) Read(n.handle, 4);
    });
    table.Complete(h);
    EXPECT_FALSE(table.HasDueNotice());
    table.MarkReady(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n); });
    EXPECT_TRUE(SameRows({{QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 4, 4},
                          {QPMM_STREAMREADY, 0, h},
                          {QPMR_READSTREAM, 4, 4},
                          {QPMR_READSTREAM, 4, -1}},
                         log));
}

TEST_F(StreamTableTest, ClosingForgetsAndTellsWhetherTheTransferRan) {
    LONG_PTR running = table.Open(window, "a");
    LONG_PTR done = table.Open(window, "b");
    table.Complete(done);
    EXPECT_TRUE(table.Close(running));
    EXPECT_FALSE(table.Close(done));
    EXPECT_FALSE(table.Close(done));  // twice: nothing more
    EXPECT_FALSE(table.Close(12345));
    table.Append(running, "x", 1);  // a late chunk for a forgotten handle is dropped
    EXPECT_EQ(table.Count(), 0u);
}

TEST_F(StreamTableTest, AComponentThatGoesTakesItsStreams) {
    HWND other = reinterpret_cast<HWND>(0x2000);
    LONG_PTR a = table.Open(window, "a");
    LONG_PTR b = table.Open(other, "b");
    LONG_PTR c = table.Open(window, "c");
    table.Complete(c);
    EXPECT_EQ(table.ForgetOwner(window), (std::vector<LONG_PTR>{a}));
    EXPECT_TRUE(table.Known(b));
    EXPECT_EQ(table.OwnerOf(b), other);
    EXPECT_EQ(table.UrlOf(b), "b");
    EXPECT_EQ(table.Count(), 1u);
}

TEST_F(StreamTableTest, ReadsWithBadArgumentsFail) {
    LONG_PTR h = table.Open(window, "u");
    table.Append(h, "abc", 3);
    char buffer[4];
    EXPECT_EQ(table.Read(h, nullptr, 4), -1);
    EXPECT_EQ(table.Read(h, buffer, -1), -1);
    EXPECT_EQ(table.Read(h, buffer, 0), 0);
    EXPECT_EQ(table.Read(h + 1, buffer, 4), -1);
    EXPECT_EQ(table.Read(h, buffer, 4), 3);
}

TEST_F(StreamTableTest, LargeStreamsComeThroughIntact) {
    LONG_PTR h = table.Open(window, "u");
    std::string sent;
    for (int i = 0; i < 5000; ++i) sent += char('a' + i % 26);
    for (size_t i = 0; i < sent.size(); i += 700)
        table.Append(h, sent.data() + i, std::min<size_t>(700, sent.size() - i));
    table.Complete(h);
    table.MarkReady(h);
    Deliver([&](const StreamTable::Notice& n) { ReaderComponent(n, 64); });
    EXPECT_EQ(received, sent);
}

}  // namespace
