#include <gtest/gtest.h>

#include "win/AnchorLayout.h"

namespace {

const double kNoRatios[4] = {-1.0, -1.0, -1.0, -1.0};

AnchorRecord anchor(unsigned horizontal, unsigned vertical, LayoutRect rect, const double (&ratios)[4] = kNoRatios) {
    std::vector<AnchorRecord> list;
    addAnchorRecord(list, 1000, packAnchor(0, horizontal, 0, vertical, 0), rect, ratios);
    return list.front();
}

// Client areas: initial 200 x 100, last pass 210 x 104, now 230 x 90 (screen positions vary).
const LayoutRect kInitial{50, 40, 250, 140};
const LayoutRect kLast{300, 300, 510, 404};
const LayoutRect kNow{0, 0, 230, 90};

TEST(AnchorLayout, PackingReducesModesAndOptions) {
    const uint32_t packed = packAnchor(0x12, 0x3, 0xF4, 0x25, 0x7);
    EXPECT_EQ(packed, 0x3'5432u);
    AnchorRecord record;
    record.packed = packed;
    EXPECT_EQ(record.mode(0), 2u);
    EXPECT_EQ(record.horizontalMode(), 3u);
    EXPECT_EQ(record.mode(2), 4u);
    EXPECT_EQ(record.verticalMode(), 5u);
    EXPECT_TRUE(record.clips());
    EXPECT_TRUE(record.repaints());
    record.packed = packAnchor(0, 0, 0, 0, 1);
    EXPECT_TRUE(record.clips());
    EXPECT_FALSE(record.repaints());
}

TEST(AnchorLayout, IncrementalModesFollowTheChangeSinceTheLastPass) {
    const LayoutRect r{10, 20, 60, 45};  // change since last: +20 wide, -14 high
    struct Case {
        unsigned h, v;
        LayoutRect expected;
    } cases[] = {
        {kFixed, kFixed, {10, 20, 60, 45}}, {kStretch, kFixed, {10, 20, 80, 45}},
        {kMove, kFixed, {30, 20, 80, 45}},  {kFixed, kStretch, {10, 20, 60, 31}},
        {kFixed, kMove, {10, 6, 60, 31}},   {kMove, kStretch, {30, 20, 80, 31}},
        {6, 15, {10, 20, 60, 45}},  // unknown modes are fixed
    };
    for (const Case& c : cases) {
        const AnchorPlacement placed = placeAnchor(anchor(c.h, c.v, r), kLast, kInitial, kNow);
        EXPECT_EQ(placed.rect, c.expected) << c.h << "/" << c.v;
        EXPECT_TRUE(placed.keep) << c.h << "/" << c.v;
    }
}

TEST(AnchorLayout, FirstAndThirdModesHaveNoEffect) {
    std::vector<AnchorRecord> list;
    addAnchorRecord(list, 7, packAnchor(kMove, kFixed, kStretch, kFixed, 0), {10, 20, 60, 45}, kNoRatios);
    const AnchorPlacement placed = placeAnchor(list[0], kLast, kInitial, kNow);
    EXPECT_EQ(placed.rect, (LayoutRect{10, 20, 60, 45}));
}

TEST(AnchorLayout, CentreKeepsTheSizeAndTruncatesTowardZero) {
    const double ratios[4] = {0.5, -1.0, 0.25, -1.0};
    // width 41 around 230 * 0.5 = 115: 115 - 20.5 = 94.5 -> 94; height 9 around 22.5: 18.0 -> 18
    const AnchorPlacement placed = placeAnchor(anchor(kCentre, kCentre, {0, 0, 41, 9}, ratios), kLast, kInitial, kNow);
    EXPECT_EQ(placed.rect, (LayoutRect{94, 18, 135, 27}));
    EXPECT_TRUE(placed.keep);

    // Left of zero: 230 * 0.0 - 20.5 = -20.5 -> -20, not -21.
    const double zero[4] = {0.0, -1.0, 0.0, -1.0};
    const AnchorPlacement negative = placeAnchor(anchor(kCentre, kFixed, {5, 5, 46, 9}, zero), kLast, kInitial, kNow);
    EXPECT_EQ(negative.rect, (LayoutRect{-20, 5, 21, 9}));
}

TEST(AnchorLayout, ProportionalScalesTheRegisteredRectangle) {
    // Width 200 -> 230 (x1.15), height 100 -> 90 (x0.9).
    const AnchorPlacement placed =
        placeAnchor(anchor(kProportional, kProportional, {10, 15, 55, 95}), kLast, kInitial, kNow);
    // 11.5 -> 11, 63.25 -> 63, 13.5 -> 13, 85.5 -> 85
    EXPECT_EQ(placed.rect, (LayoutRect{11, 13, 63, 85}));
    EXPECT_FALSE(placed.keep);
    // Negative coordinates truncate toward zero: -7 * 1.15 = -8.05 -> -8.
    EXPECT_EQ(placeAnchor(anchor(kProportional, kFixed, {-7, 0, 3, 1}), kLast, kInitial, kNow).rect,
              (LayoutRect{-8, 0, 3, 1}));
    // One proportional axis is enough to keep the registered rectangle.
    EXPECT_FALSE(placeAnchor(anchor(kStretch, kProportional, {0, 0, 10, 10}), kLast, kInitial, kNow).keep);
}

TEST(AnchorLayout, RatioGrowsOffsetAndSizeWithTheGrowthSinceInitialisation) {
    const double ratios[4] = {0.5, 0.25, 0.5, 0.25};
    // Growth +30 wide: right = 10 + 15 + 20 + 7.5 = 52.5 -> 52, left = 10 + 15 = 25.
    // Growth -10 high: bottom = 20 - 5 + 10 - 2.5 = 22.5 -> 22, top = 20 + trunc(-5.0) = 15.
    const AnchorPlacement placed = placeAnchor(anchor(kRatio, kRatio, {10, 20, 30, 30}, ratios), kLast, kInitial, kNow);
    EXPECT_EQ(placed.rect, (LayoutRect{25, 15, 52, 22}));
    EXPECT_FALSE(placed.keep);

    // A growth of -7 with ratio 0.5: the offset -3.5 truncates to -3.
    const LayoutRect shrunk{0, 0, 193, 100};
    const double half[4] = {0.5, 0.0, -1.0, -1.0};
    EXPECT_EQ(placeAnchor(anchor(kRatio, kFixed, {10, 0, 30, 5}, half), kLast, kInitial, shrunk).rect,
              (LayoutRect{7, 0, 26, 5}));
}

TEST(AnchorLayout, NoChangeGivesTheSameRectangle) {
    for (unsigned mode = 0; mode < 16; ++mode) {
        const double ratios[4] = {0.0, 0.0, 0.0, 0.0};
        if (mode == kCentre)
            continue;  // centring places afresh
        const LayoutRect r{10, 20, 60, 45};
        EXPECT_EQ(placeAnchor(anchor(mode, mode, r, ratios), kInitial, kInitial, kInitial).rect, r) << mode;
    }
}

TEST(AnchorLayout, SecondAddForTheSameControlOverwritesInPlace) {
    std::vector<AnchorRecord> list;
    const double first[4] = {0.1, 0.2, 0.3, 0.4};
    const double second[4] = {0.5, 0.6, 0.7, 0.8};
    addAnchorRecord(list, 1002, packAnchor(0, 1, 2, 0, 1), {1, 2, 3, 4}, first);
    addAnchorRecord(list, 1003, packAnchor(0, 1, 2, 1, 1), {5, 6, 7, 8}, first);
    addAnchorRecord(list, 1002, packAnchor(0, 2, 2, 2, 2), {9, 10, 11, 12}, second);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].id, 1002);
    EXPECT_EQ(list[0].packed, packAnchor(0, 2, 2, 2, 2));
    EXPECT_EQ(list[0].rect, (LayoutRect{9, 10, 11, 12}));
    EXPECT_DOUBLE_EQ(list[0].ratios[3], 0.8);
    EXPECT_EQ(list[1].id, 1003);
}

}  // namespace
