#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "upload/PictureRows.h"

namespace {

TEST(PictureRows, SizeTexts) {
    EXPECT_EQ(pictures::sizeText(1048576), "1024 KB");
    EXPECT_EQ(pictures::sizeText(1048577), "1 MB");
    EXPECT_EQ(pictures::sizeText(1023), "0 KB");
    EXPECT_EQ(pictures::sizeText(5000000), "4 MB");
    EXPECT_EQ(pictures::sizeText(0), "0 KB");
    EXPECT_EQ(pictures::sizeText(0xFFFFFFFFu), "4095 MB");
}

TEST(PictureRows, NumbersHaveTwoDigitsAtLeast) {
    EXPECT_EQ(pictures::numberText(1), "01");
    EXPECT_EQ(pictures::numberText(10), "10");
    EXPECT_EQ(pictures::numberText(100), "100");
}

TEST(PictureRows, RowOneHundredSortsBetweenTenAndEleven) {
    std::vector<std::string> rows;
    for (long n = 1; n <= 100; ++n) {
        const std::string text = pictures::numberText(n);
        rows.insert(rows.begin() + long(pictures::sortedRowIndex(rows, text)), text);
    }
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows[9], "10");
    EXPECT_EQ(rows[10], "100");
    EXPECT_EQ(rows[11], "11");
    EXPECT_EQ(rows.back(), "99");
}

TEST(PictureRows, ANewRowGoesAfterAnEqualText) {
    // After removing 02 of three and renumbering, the next picture is 03 again.
    const std::vector<std::string> rows = {"01", "02"};
    EXPECT_EQ(pictures::sortedRowIndex(rows, "03"), 2u);
    EXPECT_EQ(pictures::sortedRowIndex(rows, "02"), 2u);
}

}  // namespace
