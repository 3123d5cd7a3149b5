// The ticker (the built pellux library) under the recording test browser.
#include <qpm_platform.h>

#include "adapters/plugin_fixture.h"

namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr DWORD kScrollPeriod = 150;

class TickerPlugin : public PluginTest {
protected:
    TickerPlugin() : PluginTest(QPM_PELLUX_LIBRARY) {}

    std::vector<uint32_t> Pixels(TestInstance& instance) {
        QpmPumpMessages();
        QpmPixels px{};
        std::vector<uint32_t> out;
        if (!QpmGetWindowPixels(instance.page->window(), &px)) return out;
        for (int y = 0; y < px.height; ++y)
            for (int x = 0; x < px.width; ++x)
                out.push_back(*reinterpret_cast<const uint32_t*>(
                                  px.bgrx + ptrdiff_t(y) * px.stride + ptrdiff_t(x) * 4) &
                              0xFFFFFF);
        return out;
    }
};

// The same text inline and streamed in uneven chunks (the stream ended
// by a user break) scrolls alike, pixel for pixel.
TEST_F(TickerPlugin, StreamedTextLooksLikeInlineText) {
    const std::string text = "Streamed, in pieces: 100% the same\ttext";
    TestInstance inline_, streamed;
    ASSERT_EQ(browser.New(inline_, {{"TEXT", text}, {"SIZE", "14"}}), 0);
    ASSERT_EQ(browser.SetWindow(inline_, 300, 17), 0);
    ASSERT_EQ(browser.New(streamed, {{"SRC", "http://h/news"}, {"SIZE", "14"}}), 0);
    ASSERT_EQ(browser.SetWindow(streamed, 300, 17), 0);
    NPStream stream = StreamOf("http://h/news");
    ASSERT_EQ(browser.Deliver(streamed, stream), 0);
    browser.Write(streamed, stream, text, {1, 6, 2, 13});
    EXPECT_EQ(browser.plugin.destroystream(&streamed.npp, &stream, NPRES_USER_BREAK), 0);
    for (int tick = 0; tick < 12; ++tick) {
        DeliverTimerPeriod(inline_.component(), kScrollTimer, kScrollPeriod);
        DeliverTimerPeriod(streamed.component(), kScrollTimer, kScrollPeriod);
    }
    const std::vector<uint32_t> expected = Pixels(inline_);
    const size_t ink = size_t(
        std::count_if(expected.begin(), expected.end(), [](uint32_t p) { return p != 0xC0C0C0; }));
    EXPECT_GT(ink, 40u);
    EXPECT_EQ(Pixels(streamed), expected);
    EXPECT_TRUE(browser.calls.empty());
}

}  // namespace
