// Where the text comes from: "TEXT", a data file, or the "SRC" URL; and
// the size the ticker asks for.
#include <qpm/attributes.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <string>
#include <utility>
#include <vector>

#include "ticker/ticker_fixture.h"
#include "ticker_stream.h"

namespace {

// The sizes the ticker asks _lread for, while a test watches.
std::vector<UINT>* lreadSizes = nullptr;

// The system's _lread is reached through an import: not watched there.
#if defined(_WIN32)
constexpr bool kSeesReads = false;
#else
constexpr bool kSeesReads = true;
#endif

}  // namespace

#if !defined(_WIN32)
// The link prefers this definition to the layer's, so every _lread of the
// test program passes here first and is handed on to the layer.
extern "C" UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count) {
    using Read = UINT (*)(HFILE, LPVOID, UINT);
    static const Read layer = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "_lread"));
    if (lreadSizes) lreadSizes->push_back(count);
    return layer(file, buffer, count);
}
#endif

namespace {

using StartupTest = TickerTest;

TEST_F(StartupTest, InlineTextTurnsWhiteSpaceIntoSpaces) {
    ASSERT_EQ(Start({{"TEXT", "Hello\r\nWorld"}}), 1);
    EXPECT_EQ(Text(), "Hello  World");
    EXPECT_EQ(Ticker()->textLength, 12);
    EXPECT_EQ(GlobalSize(Ticker()->textBlock), 14u);
    EXPECT_EQ(Ticker()->text[12], '\0');
    EXPECT_EQ(Ticker()->text[13], '\0');
}

TEST_F(StartupTest, AnEmptyTextAttributeFailsWhateverElseIsThere) {
    std::string file = WriteFile("news.txt", "from the file");
    EXPECT_EQ(Start({{"TEXT", ""}, {"SRC", "http://h/news"}}, 100, 20, file.c_str()), 0);
    EXPECT_TRUE(host.requests().empty()) << "neither the file nor the URL is tried";
}

TEST_F(StartupTest, NoSourceAtAllFails) { EXPECT_EQ(Start({{"FONT", "Arial"}}), 0); }

TEST_F(StartupTest, DataFilesAreTakenByteForByte) {
    std::string crlf = WriteFile("crlf.txt", "one\r\ntwo\tthree");
    ASSERT_EQ(Start({}, 100, 20, crlf.c_str()), 1);
    EXPECT_EQ(Text(), "one\r\ntwo\tthree");
}

// A data file is read in pieces of 2048 bytes, the last holding the rest.
TEST_F(StartupTest, ALargeDataFileIsReadWholeInPiecesOf2048Bytes) {
    const std::pair<int, std::vector<UINT>> cases[] = {
        {5000, {2048, 2048, 904}}, {4096, {2048, 2048}}, {2049, {2048, 1}}};
    for (const auto& [size, pieces] : cases) {
        std::string big;
        for (int i = 0; i < size; ++i) big += char('a' + i % 26);
        std::string path = WriteFile("big" + std::to_string(size) + ".txt", big);
        std::vector<UINT> reads;
        lreadSizes = &reads;
        ASSERT_EQ(Start({}, 100, 20, path.c_str()), 1);
        lreadSizes = nullptr;
        EXPECT_EQ(Text(), big);
        EXPECT_EQ(GlobalSize(Ticker()->textBlock), size_t(size) + 2);
        if (kSeesReads) {
            EXPECT_EQ(reads, pieces) << size;
        }
        DestroyWindow(window);
    }
}

TEST_F(StartupTest, AnEmptyDataFileIsAValidText) {
    std::string path = WriteFile("empty.txt", "");
    ASSERT_EQ(Start({}, 100, 20, path.c_str()), 1);
    EXPECT_NE(Ticker()->text, nullptr);
    EXPECT_EQ(Ticker()->textLength, 0);
}

// A sysfs file measures 4096 bytes but yields a few: the reading stops
// with what the file gave instead of looping or keeping zero bytes.
TEST_F(StartupTest, AFileThatYieldsLessThanItsSizeGivesWhatItYields) {
    const char* path = "/sys/devices/system/cpu/online";
    FILE* probe = fopen(path, "rb");
    if (probe == nullptr) GTEST_SKIP() << "no sysfs here";
    char content[64] = {};
    size_t n = fread(content, 1, sizeof content, probe);
    fclose(probe);
    ASSERT_EQ(Start({}, 100, 20, path), 1);
    EXPECT_EQ(Ticker()->textLength, int32_t(n));
    EXPECT_EQ(Text(), std::string(content, n));
}

TEST_F(StartupTest, AMissingDataFileFails) {
    EXPECT_EQ(Start({}, 100, 20, (tempDir + "/missing.txt").c_str()), 0);
    EXPECT_EQ(Ticker()->text, nullptr);
    EXPECT_EQ(Ticker()->textLength, 0);
}

TEST_F(StartupTest, SourceStreamedInTwoChunks) {
    host.Answer(QPMR_HOSTINFO, [](WPARAM item, LPARAM buffer) {
        strcpy(reinterpret_cast<char*>(buffer), item == 2 ? "page=7" : "");
        return LRESULT(1);
    });
    host.ServeStream("http://h/news", 9, "AB", /*keepOpen=*/true);
    ASSERT_EQ(Start({{"SRC", "http://h/news"}, {"SHOWBORDER", ""}}), 1);
    EXPECT_FALSE(Ticker()->active);
    host.Pump();
    SendMessageA(window, QPMM_STREAMREADY, 0, 9);
    EXPECT_EQ(Text(), "AB");
    host.AppendToStream(9, "C\tD");
    SendMessageA(window, QPMM_STREAMREADY, 0, 9);
    EXPECT_EQ(Text(), "ABC D");
    EXPECT_FALSE(Ticker()->active) << "still waiting for the end";
    SendMessageA(window, QPMM_STREAMEND, 0, 9);
    EXPECT_TRUE(Ticker()->active);
    EXPECT_EQ(Ticker()->offsetX, 100 - 16);
    SendMessageA(window, QPMM_IDLE, 0, 0);
    EXPECT_EQ(Ticker()->streams, nullptr) << "the finished stream is swept";
    host.Pump();
    std::vector<UINT> requests = host.messages();
    ASSERT_GE(requests.size(), 3u);
    EXPECT_TRUE(SameRequests(
        {{QPMR_HOSTINFO, 2, ""},
         {QPMR_OPENSTREAM, 0,
          "url=\"http://h/news\" context=\"page=7\" data=null method=0 length=0"}},
        std::vector<HostRequest>(host.requests().begin(), host.requests().begin() + 2)));
}

TEST_F(StartupTest, AFailedStreamShowsWhatArrived) {
    host.ServeStream("http://h/news", 9, "partial", /*keepOpen=*/true);
    ASSERT_EQ(Start({{"SRC", "http://h/news"}}), 1);
    SendMessageA(window, QPMM_STREAMREADY, 0, 9);
    SendMessageA(window, QPMM_STREAMFAILED, 404, 9);
    EXPECT_EQ(Text(), "partial");
    EXPECT_TRUE(Ticker()->active);
}

TEST_F(StartupTest, ARefusedUrlFailsTheStart) {
    host.AnswerValue(QPMR_OPENSTREAM, -1);
    EXPECT_EQ(Start({{"SRC", "http://h/none"}}), 0);
}

// A ticker whose stream object cannot be made closes the handle the host
// had already granted.
class NoStreamTicker : public MessageTicker {
public:
    DataStream* CreateStream(const char*) override { return nullptr; }
};

TEST_F(StartupTest, NoStreamObjectClosesTheGrantedHandle) {
    host.AnswerValue(QPMR_OPENSTREAM, 31);
    ASSERT_NE(Create({{"SRC", "http://h/news"}}), nullptr);
    HGLOBAL block = reinterpret_cast<HGLOBAL>(GetWindowLongPtrA(window, 0));
    auto* record = static_cast<InstanceRecord*>(GlobalLock(block));
    delete record->component;
    record->component = new NoStreamTicker;
    GlobalUnlock(block);
    EXPECT_EQ(SendMessageA(window, QPMM_START, 0, 0), 0);
    EXPECT_EQ(host.messages(),
              (std::vector<UINT>{QPMR_HOSTINFO, QPMR_OPENSTREAM, QPMR_CLOSESTREAM}));
    EXPECT_EQ(host.requests().back().detail, "handle=31");
}

TEST_F(StartupTest, SettingsFromTheAttributes) {
    std::string longFace(40, 'F');
    ASSERT_EQ(Start({{"TEXT", "x"},
                     {"FONT", longFace},
                     {"SIZE", "20"},
                     {"NOBORDER", ""},
                     {"SHOWBORDER", "true"}}),
              1);
    EXPECT_EQ(std::string(Ticker()->faceName), std::string(31, 'F'));
    EXPECT_EQ(Ticker()->fontSize, 20);
    EXPECT_TRUE(Ticker()->showBorder) << "SHOWBORDER wins";
    DestroyWindow(window);
    ASSERT_EQ(Start({{"TEXT", "x"}, {"FONT", ""}, {"SIZE", ""}}), 1);
    EXPECT_STREQ(Ticker()->faceName, "");
    EXPECT_EQ(Ticker()->fontSize, 12);
    EXPECT_FALSE(Ticker()->showBorder);
    DestroyWindow(window);
    ASSERT_EQ(Start({{"TEXT", "x"}, {"SIZE", "big"}}), 1);
    EXPECT_EQ(Ticker()->fontSize, 0);
    for (const auto& [size, clamped] :
         {std::pair<const char*, int32_t>{"-2147483648", 0}, {"-3", 0}, {"2147483647", 1000}}) {
        DestroyWindow(window);
        ASSERT_EQ(Start({{"TEXT", "x"}, {"SIZE", size}}), 1);
        EXPECT_EQ(Ticker()->fontSize, clamped) << size;
        Tick();  // paints with that size
    }
}

TEST_F(StartupTest, AppendingKeepsTheTextWhenTheBlockCannotGrow) {
    QPM_REQUIRES_HOST_EXTENSION("fault injection");
    ASSERT_EQ(Start({{"TEXT", "abc"}}), 1);
    MessageTicker* t = Ticker();
    QpmFailNth(QPM_FAULT_GLOBALALLOC, 1);
    EXPECT_EQ(t->AppendText("def", 3), 0);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(t->AppendText("de\nf", 4), 1);
    EXPECT_EQ(Text(), "abcde f");
    EXPECT_EQ(t->AppendText("", 0), 1);
    EXPECT_EQ(Text(), "abcde f");
}

TEST_F(StartupTest, AppendingKeepsNulBytesAndHighBytes) {
    ASSERT_EQ(Start({{"TEXT", "a"}}), 1);
    EXPECT_EQ(Ticker()->AppendText("b\0\xe9", 3), 1);
    EXPECT_EQ(Text(), std::string("ab\0\xe9", 4));
}

// The text stops at its maximum: a stream adds what fits and is told no
// more fits; a data file larger than the maximum is refused whole.
TEST_F(StartupTest, TheTextStopsAtItsMaximum) {
    ASSERT_EQ(Start({{"TEXT", "a"}}), 1);
    MessageTicker* t = Ticker();
    const std::string flood(size_t(MessageTicker::kLargestText), 'f');
    EXPECT_EQ(t->AppendText(flood.data(), int32_t(flood.size())), 0);
    EXPECT_EQ(t->textLength, MessageTicker::kLargestText);
    EXPECT_TRUE(t->TextFull());
    EXPECT_EQ(t->AppendText("more", 4), 0);
    EXPECT_EQ(t->textLength, MessageTicker::kLargestText);
    DestroyWindow(window);

    const std::string path = WriteFile("over.txt", flood + "+");
    EXPECT_EQ(Start({}, 100, 20, path.c_str()), 0);
    EXPECT_EQ(Ticker()->text, nullptr);
}

struct SizeCase {
    Attributes attrs;
    int32_t width, height;
};

TEST_F(StartupTest, SizeHookResults) {
    const SizeCase cases[] = {
        {{}, 400, 15},
        {{{"SHOWBORDER", ""}}, 400, 20},
        {{{"SIZE", "20"}}, 400, 23},
        {{{"SIZE", "big"}}, 400, 3},
        {{{"SIZE", "big"}, {"SHOWBORDER", "yes"}}, 400, 8},
        {{{"SIZE", ""}, {"NOBORDER", ""}}, 400, 15},
        // The character height counts from 0 up to 1000 pixels.
        {{{"SIZE", "-50"}}, 400, 3},
        {{{"SIZE", "-2147483648"}, {"SHOWBORDER", ""}}, 400, 8},
        {{{"SIZE", "1000"}}, 400, 1003},
        {{{"SIZE", "1001"}}, 400, 1003},
        {{{"SIZE", "2147483647"}, {"SHOWBORDER", ""}}, 400, 1008},
    };
    for (const SizeCase& c : cases) {
        AttributeList attributes(c.attrs);
        InitRecord init{};
        attributes.Fill(&init);
        EXPECT_EQ(QPMCalcSize(&init), 1);
        EXPECT_EQ(init.width, c.width);
        EXPECT_EQ(init.height, c.height) << (c.attrs.empty() ? "" : c.attrs[0].second);
    }
}

TEST_F(StartupTest, SizeHookReadsThePackedForm) {
    char subtypeName[] = "SUBTYPE", subtype[] = "SIZE=20,SHOWBORDER";
    char* names[] = {subtypeName, nullptr};
    char* values[] = {subtype, nullptr};
    InitRecord init{};
    init.attrCount = 1;
    init.attrNames = names;
    init.attrValues = values;
    init.mode = kAltHostMark;
    EXPECT_EQ(QPMCalcSize(&init), 1);
    EXPECT_EQ(init.height, 28);
    EXPECT_EQ(init.mode, kAltHostMark) << "the size query leaves the mark alone";
    char escaped[] = "TEXT=Hello%, SIZE=50";  // SIZE is inside TEXT's value
    values[0] = escaped;
    EXPECT_EQ(QPMCalcSize(&init), 1);
    EXPECT_EQ(init.height, 15);
}

}  // namespace
