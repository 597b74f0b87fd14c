#include <gtest/gtest.h>

#include <vector>

#include "upload/CategoryRules.h"

namespace {

using upload::category::Change;
using upload::category::Lists;
using upload::category::onSelectionChanged;

constexpr unsigned L0 = 1, L1 = 2, L2 = 4, L3 = 8, L4 = 16;

struct Row {
    int changed;
    long values[5];
    Change expected;
};

void expectChange(const Row& row) {
    const Change change = onSelectionChanged(row.values, row.changed);
    EXPECT_EQ(change.resetMask, row.expected.resetMask) << "list " << row.changed;
    EXPECT_EQ(change.enableMask, row.expected.enableMask) << "list " << row.changed;
    EXPECT_EQ(change.disableMask, row.expected.disableMask) << "list " << row.changed;
}

TEST(CategoryRules, EveryRowOfTheTable) {
    const Row rows[] = {
        // duplicate
        {0, {12, 12, 13, -1, -1}, {L0 | L1 | L2 | L3 | L4, 0, L1 | L2 | L3 | L4}},
        {1, {12, 12, -1, -1, -1}, {L1 | L2 | L3 | L4, 0, L2 | L3 | L4}},
        {2, {12, 13, 13, -1, -1}, {L2 | L3 | L4, 0, L3 | L4}},
        {3, {12, 13, 14, 12, -1}, {L3 | L4, 0, L4}},
        {4, {12, 13, 14, 15, 14}, {L4, 0, 0}},
        // not a duplicate, placeholder chosen
        {0, {-1, 12, 13, 14, 15}, {L1 | L2 | L3 | L4, 0, L1 | L2 | L3 | L4}},
        {1, {12, -1, 13, 14, 15}, {L2 | L3 | L4, 0, L2 | L3 | L4}},
        {2, {12, 13, -1, 14, 15}, {L3 | L4, 0, L3 | L4}},
        {3, {12, 13, 14, -1, 15}, {L4, 0, L4}},
        {4, {12, 13, 14, 15, -1}, {0, 0, 0}},
        // not a duplicate, real category
        {0, {12, 14, 13, 15, 16}, {0, L1, 0}},
        {1, {12, 13, 15, 14, 16}, {0, L2, 0}},
        {2, {12, 13, 14, 16, 15}, {0, L3, 0}},
        {3, {12, 13, 14, 15, 17}, {0, L4, 0}},
        {4, {12, 13, 14, 15, 16}, {0, 0, 0}},
    };
    for (const Row& row : rows)
        expectChange(row);
}

TEST(CategoryRules, APlaceholderIsADuplicateOfAnotherPlaceholder) {
    // Category back to "Select Category" while the subcategories stand on theirs: reset all five.
    expectChange({0, {-1, -1, -1, -1, -1}, {L0 | L1 | L2 | L3 | L4, 0, L1 | L2 | L3 | L4}});
    // The last list on its placeholder next to another placeholder: only itself is reset.
    expectChange({4, {12, 13, -1, -1, -1}, {L4, 0, 0}});
}

TEST(CategoryRules, EntriesNeedASemicolon) {
    long id = 99;
    std::string name;
    ASSERT_TRUE(upload::category::parseEntry("12;Movies", id, name));
    EXPECT_EQ(id, 12);
    EXPECT_EQ(name, "Movies");
    ASSERT_TRUE(upload::category::parseEntry("13;Music\r", id, name));
    EXPECT_EQ(name, "Music\r");
    ASSERT_TRUE(upload::category::parseEntry("  -7x;A;B", id, name));
    EXPECT_EQ(id, -7);
    EXPECT_EQ(name, "A;B");
    ASSERT_TRUE(upload::category::parseEntry("abc;Other", id, name));
    EXPECT_EQ(id, 0);
    ASSERT_TRUE(upload::category::parseEntry("99999999999;Huge", id, name));
    EXPECT_EQ(id, 2147483647L);
    EXPECT_FALSE(upload::category::parseEntry("1031=url=X", id, name));
    EXPECT_FALSE(upload::category::parseEntry("", id, name));
}

TEST(CategoryRules, ChoosingTheCategoryTwiceResetsTheSubcategory) {
    Lists lists;
    lists.choose(0, 12);
    EXPECT_TRUE(lists.enabled[1]);
    lists.choose(1, 12);
    EXPECT_EQ(lists.values[1], -1);
    EXPECT_TRUE(lists.enabled[1]);
    EXPECT_FALSE(lists.enabled[2] || lists.enabled[3] || lists.enabled[4]);
}

TEST(CategoryRules, TakingASubcategoryAsCategoryResetsEverything) {
    Lists lists;
    lists.choose(0, 12);
    lists.choose(1, 13);
    EXPECT_TRUE(lists.enabled[2]);
    lists.choose(0, 13);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lists.values[i], -1) << i;
    EXPECT_FALSE(lists.enabled[1] || lists.enabled[2] || lists.enabled[3] || lists.enabled[4]);
}

TEST(CategoryRules, BackToSelectCategoryClearsAllFourSubcategories) {
    Lists lists;
    lists.choose(0, 10);
    lists.choose(1, 11);
    lists.choose(2, 12);
    lists.choose(3, 13);
    lists.choose(4, 14);
    EXPECT_TRUE(lists.enabled[4]);
    lists.choose(0, -1);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(lists.values[i], -1) << i;
        EXPECT_FALSE(lists.enabled[i]) << i;
    }
}

TEST(CategoryRules, EnablingKeepsTheSelection) {
    Lists lists;
    lists.values[2] = 20;  // left over, list disabled
    lists.choose(0, 10);
    lists.choose(1, 11);
    EXPECT_TRUE(lists.enabled[2]);
    EXPECT_EQ(lists.values[2], 20);
}

// The stand-in site's categories in the site's order, after the placeholder.
const std::vector<long> kEntries = {-1, 1, 2, 3, 4, 5, 6, 7, 8};

// Down from "(optional)" visits every category but the main one, in order, and stays on the last
// it can take; Up walks back the same way to "(optional)". Each step leaves the next list enabled.
TEST(CategoryRules, TheKeyboardReachesEverySubcategoryOfEveryCategory) {
    for (long main = 1; main <= 8; ++main) {
        std::vector<long> others;
        for (long id = 1; id <= 8; ++id)
            if (id != main)
                others.push_back(id);
        Lists lists;
        lists.choose(0, main);
        std::vector<long> down;
        for (int press = 0; press < 9; ++press) {
            lists.step(1, kEntries, +1);
            down.push_back(lists.values[1]);
            EXPECT_TRUE(lists.enabled[2]) << main;
        }
        std::vector<long> expected = others;
        expected.resize(9, others.back());
        EXPECT_EQ(down, expected) << "category " << main;

        std::vector<long> up;
        for (int press = 0; press < 8; ++press)
            up.push_back((lists.step(1, kEntries, -1), lists.values[1]));
        expected.assign(others.rbegin() + 1, others.rend());
        expected.resize(8, -1);
        EXPECT_EQ(up, expected) << "category " << main;
        EXPECT_EQ(lists.values[0], main);
        EXPECT_FALSE(lists.enabled[2]);
    }
}

TEST(CategoryRules, TheKeyboardPassesOverEveryChosenCategory) {
    Lists lists;
    lists.choose(0, 4);
    lists.choose(1, 8);
    lists.choose(2, 1);
    std::vector<long> third;
    for (int press = 0; press < 7; ++press)
        third.push_back((lists.step(3, kEntries, +1), lists.values[3]));
    EXPECT_EQ(third, (std::vector<long>{2, 3, 5, 6, 7, 7, 7}));

    // The category steps past a chosen subcategory and keeps it.
    Lists main;
    main.choose(0, 1);
    main.choose(1, 2);
    main.step(0, kEntries, +1);
    EXPECT_EQ(main.values[0], 3);
    EXPECT_EQ(main.values[1], 2);
    EXPECT_TRUE(main.enabled[2]);

    // Landing beyond the last allowed entry (End, Page Down) goes back to the nearest allowed one.
    const long values[5] = {7, 8, -1, -1, -1};
    EXPECT_EQ(upload::category::keyboardLanding(values, 2, kEntries, 8, +1), 6);
    EXPECT_EQ(upload::category::keyboardLanding(values, 2, kEntries, 7, -1), 6);
    EXPECT_EQ(upload::category::keyboardLanding(values, 2, kEntries, 0, -1), 0);
}

TEST(CategoryRules, ATypedNameFindsItsEntry) {
    const std::vector<std::string> names = {"Select Category", "Movies", "Games", "Anime\r"};
    EXPECT_EQ(upload::category::typedEntry("Games", names), 2);
    EXPECT_EQ(upload::category::typedEntry(" gAMES\t", names), 2);
    EXPECT_EQ(upload::category::typedEntry("anime", names), 3);
    EXPECT_EQ(upload::category::typedEntry("select category", names), 0);
    EXPECT_EQ(upload::category::typedEntry("Game", names), -1);
    EXPECT_EQ(upload::category::typedEntry("", names), -1);
}

}  // namespace
