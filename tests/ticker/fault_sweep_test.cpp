// The ticker's start under every allocation failure: for each text source
// the k-th global memory allocation fails, for k = 1, 2, ... until a run
// needs no k-th one. Whatever fails, nothing crashes or leaks, a started
// ticker shows its text whole (a streamed chunk that finds no room is
// lost alone), and a start that cannot keep a text answers 0.
#include <string>

#include "support/host_extensions.h"
#include "ticker/ticker_fixture.h"

namespace {

constexpr LONG_PTR kHandle = 4;
constexpr char kUrl[] = "http://127.0.0.1/text";

enum class Source { kInline, kDataFile, kStream };

struct StartRun {
    bool fired = false;  // the armed failure happened
    LRESULT started = 0;
    std::string text;
};

class FaultSweepTest : public TickerTest {
protected:
    // 3000 bytes: three pieces of a stream, a data file read in two.
    std::string Served() const {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += char('a' + i % 26);
        return text;
    }

    StartRun StartFailing(Source source, int k) {
        const std::string served = Served();
        std::string path = source == Source::kDataFile ? WriteFile("news.txt", served) : "";
        Attributes attributes;
        if (source == Source::kInline) attributes = {{"TEXT", served.substr(0, 400)}};
        if (source == Source::kStream) {
            attributes = {{"SRC", kUrl}};
            host.ServeStream(kUrl, kHandle, served);
        }
        StartRun run;
        QpmFailNth(QPM_FAULT_GLOBALALLOC, k);
        if (Create(attributes, 100, 20, path.empty() ? nullptr : path.c_str())) {
            run.started = SendMessageA(window, QPMM_START, 0, 0);
            host.Pump();
            if (source == Source::kStream) SendMessageA(window, QPMM_STREAMREADY, 0, kHandle);
            Tick();
            run.text = Text();
        }
        run.fired = QpmFaultFired(QPM_FAULT_GLOBALALLOC) != 0;
        QpmResetFaults();
        DestroyWindow(window);
        window = nullptr;
        return run;
    }
};

TEST_F(FaultSweepTest, EveryAllocationOfAStartMayFail) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection and object counts");
    const std::string served = Served();
    const struct {
        Source source;
        std::string whole;
        const char* name;
    } sources[] = {{Source::kInline, served.substr(0, 400), "TEXT"},
                   {Source::kDataFile, served, "data file"},
                   {Source::kStream, served, "SRC"}};
    for (const auto& s : sources) {
        const UINT before = QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY);
        const UINT windows = QpmCountObjects(QPM_OBJECTS_WINDOWS);
        const UINT gdi = QpmCountObjects(QPM_OBJECTS_GDI);
        int points = 0;
        for (int k = 1;; ++k) {
            SCOPED_TRACE(std::string(s.name) + ", allocation " + std::to_string(k));
            StartRun run = StartFailing(s.source, k);
            EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GLOBALMEMORY), before);
            EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_WINDOWS), windows);
            EXPECT_EQ(QpmCountObjects(QPM_OBJECTS_GDI), gdi);
            if (!run.fired) {
                EXPECT_EQ(run.started, 1);
                EXPECT_EQ(run.text, s.whole);
                break;
            }
            ++points;
            if (run.started != 1) continue;  // no window, or Start answered 0
            if (s.source != Source::kStream) {
                EXPECT_EQ(run.text, s.whole);
                continue;
            }
            // One 1024-byte piece lost at most, the others in order.
            bool whole = run.text == s.whole;
            for (size_t lost = 0; lost < s.whole.size() && !whole; lost += 1024)
                whole = run.text == std::string(s.whole).erase(lost, 1024);
            EXPECT_TRUE(whole || run.text == "<none>") << run.text.size();
        }
        printf("[ sweep    ] ticker start from %s: %d allocation failure points\n", s.name, points);
        EXPECT_GT(points, 1) << s.name;
    }
}

}  // namespace
