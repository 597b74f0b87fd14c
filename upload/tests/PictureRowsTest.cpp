#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "upload/PictureRows.h"

namespace {

// Sizes from the file's 64-bit length: whole KB up to 1 MiB, whole MB up to 1 GiB, whole GB beyond.
TEST(PictureRows, SizeTexts) {
    constexpr uint64_t MiB = 1048576, GiB = 1073741824;
    const struct {
        uint64_t bytes;
        const char* text;
    } rows[] = {
        {0, "0 KB"},
        {1023, "0 KB"},
        {1024, "1 KB"},
        {MiB, "1024 KB"},
        {MiB + 1, "1 MB"},
        {5000000, "4 MB"},
        {GiB, "1024 MB"},
        {GiB + 1, "1 GB"},
        {2 * GiB - 1, "1 GB"},
        {0xFFFFFFFFu, "3 GB"},
        {8 * GiB, "8 GB"},  // once listed as "0 KB": the low 32 bits only
        {UINT64_MAX, "17179869183 GB"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(upload::pictures::sizeText(row.bytes), row.text) << row.bytes;
}

TEST(PictureRows, NumbersHaveTwoDigitsAtLeast) {
    EXPECT_EQ(upload::pictures::numberText(1), "01");
    EXPECT_EQ(upload::pictures::numberText(10), "10");
    EXPECT_EQ(upload::pictures::numberText(100), "100");
}

TEST(PictureRows, RowOneHundredSortsBetweenTenAndEleven) {
    std::vector<std::string> rows;
    for (long n = 1; n <= 100; ++n) {
        const std::string text = upload::pictures::numberText(n);
        rows.insert(rows.begin() + long(upload::pictures::sortedRowIndex(rows, text)), text);
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
    EXPECT_EQ(upload::pictures::sortedRowIndex(rows, "03"), 2u);
    EXPECT_EQ(upload::pictures::sortedRowIndex(rows, "02"), 2u);
}

}  // namespace
