#include <gtest/gtest.h>

#include "torrent/ProgressPosition.h"

namespace {

TEST(ProgressPosition, ScalesBytesReadToTheBar) {
    EXPECT_EQ(progressPosition(1000, 250), 125);
    EXPECT_EQ(progressPosition(1000, 0), 0);
    EXPECT_EQ(progressPosition(1000, 1000), 500);
    EXPECT_EQ(progressPosition(1000, 1), 0);  // truncated
    EXPECT_EQ(progressPosition(3, 2), 333);
    // Not measured yet.
    EXPECT_EQ(progressPosition(0, 0), 0);
    EXPECT_EQ(progressPosition(0, 77), 0);
    // Sizes past 4 GiB stay exact in 64 bits.
    const uint64_t big = 6ull << 40;
    EXPECT_EQ(progressPosition(big, big / 2), 250);
    // Never past the end.
    EXPECT_EQ(progressPosition(1000, 2000), 500);
}

}  // namespace
