// Rectangle helpers: half-open rectangles, empty results, NULL arguments.
#include "user_fixture.h"

namespace usertest {
namespace {

TEST(Rects, IntersectAndUnion) {
    struct {
        RECT a, b, intersection;
        BOOL intersects;
        RECT onion;
    } cases[] = {
        {Rect(0, 0, 10, 10), Rect(5, 5, 15, 15), Rect(5, 5, 10, 10), TRUE, Rect(0, 0, 15, 15)},
        {Rect(0, 0, 10, 10), Rect(10, 0, 20, 10), Rect(0, 0, 0, 0), FALSE, Rect(0, 0, 20, 10)},
        {Rect(0, 0, 0, 0), Rect(2, 2, 4, 4), Rect(0, 0, 0, 0), FALSE, Rect(2, 2, 4, 4)},
        {Rect(5, 5, 1, 1), Rect(0, 0, 3, 3), Rect(0, 0, 0, 0), FALSE, Rect(0, 0, 3, 3)},
    };
    for (const auto& c : cases) {
        RECT r = Rect(9, 9, 9, 9);
        EXPECT_EQ(IntersectRect(&r, &c.a, &c.b), c.intersects);
        EXPECT_EQ(r, c.intersection);
        EXPECT_TRUE(UnionRect(&r, &c.a, &c.b));
        EXPECT_EQ(r, c.onion);
    }
    RECT empty = Rect(0, 0, 0, 0), r;
    EXPECT_FALSE(UnionRect(&r, &empty, &empty));
    EXPECT_FALSE(IntersectRect(nullptr, &empty, &empty));
}

TEST(Rects, SetOffsetInflateAndPoints) {
    RECT r;
    EXPECT_TRUE(SetRect(&r, 1, 2, 3, 4));
    EXPECT_TRUE(OffsetRect(&r, 10, 20));
    EXPECT_EQ(r, Rect(11, 22, 13, 24));
    EXPECT_TRUE(InflateRect(&r, 1, -1));
    EXPECT_EQ(r, Rect(10, 23, 14, 23));
    EXPECT_TRUE(IsRectEmpty(&r));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_TRUE(SetRectEmpty(&r));
    EXPECT_EQ(r, Rect(0, 0, 0, 0));
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));

    RECT box = Rect(0, 0, 10, 10);
    EXPECT_TRUE(PtInRect(&box, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&box, POINT{9, 9}));
    EXPECT_FALSE(PtInRect(&box, POINT{10, 5}));  // right and bottom are outside
    EXPECT_FALSE(PtInRect(&box, POINT{5, 10}));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
}

}  // namespace
}  // namespace usertest
