// QPM_CHECK: a broken invariant ends the process at once, saying where
// and why; a kept one costs nothing.
#include <gtest/gtest.h>

#include "qpm_check.h"

namespace {

TEST(InvariantCheck, ABrokenOneAbortsNamingWhereAndWhy) {
    int calls = 0;
    QPM_CHECK(++calls == 1, "kept");
    EXPECT_EQ(calls, 1);
    EXPECT_DEATH(QPM_CHECK(calls == 2, "the table is whole"),
                 "invariant_check_test\\.cpp:[0-9]+: invariant broken: the table is whole "
                 "\\(calls == 2\\)");
}

}  // namespace
