// The scroll cycle tick by tick, as tables of (offsetX, firstChar) after
// each tick, driven by the 150 ms timer under the manual clock (on
// Windows, by the timer's messages).
#include <sstream>

#include "ticker/ticker_fixture.h"

namespace {

struct Step {
    int32_t offsetX, firstChar;
    bool operator==(const Step& o) const {
        return offsetX == o.offsetX && firstChar == o.firstChar;
    }
};

std::string Show(const std::vector<Step>& steps) {
    std::ostringstream out;
    for (const Step& s : steps) out << "(" << s.offsetX << "," << s.firstChar << ") ";
    return out.str();
}

class Scrolling : public TickerTest {
protected:
    // Advances the clock one timer period at a time and records the state.
    std::vector<Step> Ticks(int n) {
        std::vector<Step> steps;
        for (int i = 0; i < n; ++i) {
            Tick();
            steps.push_back({Ticker()->offsetX, Ticker()->firstChar});
        }
        return steps;
    }
    void Expect(const std::vector<Step>& expected) {
        std::vector<Step> actual = Ticks(int(expected.size()));
        EXPECT_EQ(actual, expected)
            << "\n  expected " << Show(expected) << "\n  actual   " << Show(actual);
    }
};

TEST_F(Scrolling, ThreeCharactersInAHundredPixels) {
    ASSERT_EQ(Start({{"TEXT", "abc"}}, 100), 1);
    EXPECT_EQ(Ticker()->offsetX, 92);
    EXPECT_EQ(Ticker()->firstChar, 0);
    Expect({{84, 0},
            {76, 0},
            {68, 0},
            {60, 0},
            {52, 0},
            {44, 0},
            {36, 0},
            {28, 0},
            {20, 0},
            {12, 0},
            {4, 0},
            {0, 1},
            {0, 2},
            {92, 0},
            {84, 0}});
}

TEST_F(Scrolling, WithABorderTheTextStartsSixteenFromTheEdge) {
    ASSERT_EQ(Start({{"TEXT", "abc"}, {"SHOWBORDER", ""}}, 100), 1);
    EXPECT_EQ(Ticker()->offsetX, 84);
    Expect({{76, 0},
            {68, 0},
            {60, 0},
            {52, 0},
            {44, 0},
            {36, 0},
            {28, 0},
            {20, 0},
            {12, 0},
            {4, 0},
            {0, 1},
            {0, 2},
            {84, 0}});
}

TEST_F(Scrolling, TinyWindowsDropACharacterAtTheFirstTick) {
    ASSERT_EQ(Start({{"TEXT", "abc"}}, 8), 1);
    EXPECT_EQ(Ticker()->offsetX, 0);
    Expect({{0, 1}, {0, 2}, {0, 0}, {0, 1}});
    DestroyWindow(window);
    ASSERT_EQ(Start({{"TEXT", "abc"}, {"SHOWBORDER", "1"}}, 16), 1);
    EXPECT_EQ(Ticker()->offsetX, 0);
    Expect({{0, 1}, {0, 2}, {0, 0}});
}

TEST_F(Scrolling, OneCharacterIsNeverDrawnAtTheLeftEdge) {
    ASSERT_EQ(Start({{"TEXT", "a"}}, 50), 1);
    EXPECT_EQ(Ticker()->offsetX, 42);
    Expect({{34, 0}, {26, 0}, {18, 0}, {10, 0}, {2, 0}, {42, 0}});
}

TEST_F(Scrolling, AnEmptyTextRunsAndWrapsAtEveryArrival) {
    std::string empty = WriteFile("empty.txt", "");
    ASSERT_EQ(Start({}, 24, 20, empty.c_str()), 1);
    EXPECT_EQ(Ticker()->textLength, 0);
    EXPECT_EQ(Ticker()->offsetX, 16);
    Expect({{8, 0}, {16, 0}, {8, 0}, {16, 0}});
}

TEST_F(Scrolling, ACycleRunsOnPastANulInsideTheText) {
    // Not "nul.txt": Windows reserves NUL, whatever the extension, for its null device.
    std::string withNul = WriteFile("with_nul.txt", std::string("ab\0cd", 5));
    ASSERT_EQ(Start({}, 8, 20, withNul.c_str()), 1);
    EXPECT_EQ(Ticker()->textLength, 5);
    Expect({{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 0}});
}

TEST_F(Scrolling, TheTimerTicksEveryHundredAndFiftyMilliseconds) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    ASSERT_EQ(Start({{"TEXT", "abc"}}, 100), 1);
    QpmAdvanceClock(149);
    EXPECT_EQ(Ticker()->offsetX, 92);
    QpmAdvanceClock(1);
    EXPECT_EQ(Ticker()->offsetX, 84);
    QpmAdvanceClock(150 * 3);
    EXPECT_EQ(Ticker()->offsetX, 60);
}

TEST_F(Scrolling, StopKillsTheTimer) {
    QPM_REQUIRES_HOST_EXTENSION("manual clock");
    ASSERT_EQ(Start({{"TEXT", "abc"}}, 100), 1);
    Ticker()->Stop();
    QpmAdvanceClock(1500);
    EXPECT_EQ(Ticker()->offsetX, 92);
}

TEST_F(Scrolling, ResetRewindsTheTextButNotTheSlide) {
    ASSERT_EQ(Start({{"TEXT", "abc"}}, 8), 1);
    Ticks(2);
    EXPECT_EQ(Ticker()->firstChar, 2);
    SendMessageA(window, QPMM_RESET, 0, 0);
    EXPECT_EQ(Ticker()->firstChar, 0);
    EXPECT_EQ(Ticker()->offsetX, 0);
}

TEST_F(Scrolling, AResizeTakesEffectAtTheNextCycle) {
    ASSERT_EQ(Start({{"TEXT", "ab"}}, 8), 1);
    MoveWindow(window, 0, 0, 60, 20, TRUE);
    EXPECT_EQ(Ticker()->offsetX, 0) << "the running cycle goes on";
    Expect({{0, 1}, {52, 0}});
}

}  // namespace
