#include <gtest/gtest.h>

#include "site/GenreList.h"

namespace {

using Lines = std::vector<std::string>;

TEST(GenreList, AnnouncedBuildAddressAndEntries) {
    Lines categories{"earlier"};
    const GenreListResult r = parseGenreList("v=1031=url=X\n12;Movies\n13;Music\n", categories);
    EXPECT_FALSE(r.m_cookiesRequired);
    EXPECT_EQ(r.m_build, 1031);
    EXPECT_EQ(r.m_updateAddress, "X");
    EXPECT_EQ(categories, (Lines{"earlier", "1031=url=X", "12;Movies", "13;Music"}));
    EXPECT_TRUE(updateOffered(r.m_build, 1024));
}

TEST(GenreList, LineEnds) {
    Lines none;
    GenreListResult r = parseGenreList("v=2000=url=X", none);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(r.m_build, 0);  // the first line was never complete
    EXPECT_TRUE(r.m_updateAddress.empty());

    Lines lost;
    parseGenreList("12;Movies\n13;Music", lost);
    EXPECT_EQ(lost, (Lines{"12;Movies"}));

    Lines crlf;
    r = parseGenreList("v=1031=url=https://x/s.exe\r\n12;Movies\r\n\r\n", crlf);
    EXPECT_EQ(r.m_updateAddress, "https://x/s.exe\r");
    EXPECT_EQ(crlf, (Lines{"1031=url=https://x/s.exe\r", "12;Movies\r", "\r"}));

    Lines empty;
    parseGenreList("\n\n12;Movies\n", empty);
    EXPECT_EQ(empty, (Lines{"12;Movies"}));
}

TEST(GenreList, FirstLineLayouts) {
    struct Case {
        const char* answer;
        int32_t build;
        const char* address;
        const char* entry;
    };
    const Case cases[] = {
        {"12;Movies\n", 0, "", "12;Movies"},
        {"a=1024=url=X\n", 1024, "X", "1024=url=X"},
        {"a=abc=url=X\n", 0, "X", "abc=url=X"},
        {"a=2000\n", 0, "", "2000"},
        {"a= -7x=b\n", -7, "", " -7x=b"},
        {"a=99999999999=url=\n", 2147483647, "", "99999999999=url="},
        {"a=1=b=url=Y=Z\n", 1, "Y=Z", "1=b=url=Y=Z"},
        {"a=\n", 0, "", nullptr},
    };
    for (const Case& c : cases) {
        Lines categories;
        const GenreListResult r = parseGenreList(c.answer, categories);
        EXPECT_EQ(r.m_build, c.build) << c.answer;
        EXPECT_EQ(r.m_updateAddress, c.address) << c.answer;
        EXPECT_EQ(categories, c.entry ? Lines{c.entry} : Lines{}) << c.answer;
    }
    // Only the first line announces anything.
    Lines categories;
    EXPECT_EQ(parseGenreList("12;Movies\nv=5000=url=X\n", categories).m_build, 0);
    EXPECT_EQ(categories, (Lines{"12;Movies", "v=5000=url=X"}));
}

TEST(GenreList, OfferOnlyForNewerBuilds) {
    EXPECT_FALSE(updateOffered(1024, 1024));
    EXPECT_FALSE(updateOffered(0, 1024));
    EXPECT_FALSE(updateOffered(-5000, 1024));
    EXPECT_TRUE(updateOffered(1025, 1024));
    EXPECT_EQ(updateOfferText(2000, 1024),
              "A new Software Update is available: Build(2000)\nThis Version: Build(1024)\n\n"
              "Would you like to Download the new Program? (highly recommended!)");
}

TEST(GenreList, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(isWebAddress("http://x/s.exe"));
    EXPECT_TRUE(isWebAddress("HTTPS://x/s.exe"));
    EXPECT_TRUE(isWebAddress("hTtP://"));
    EXPECT_FALSE(isWebAddress(""));
    EXPECT_FALSE(isWebAddress("https:/x"));
    EXPECT_FALSE(isWebAddress("C:\\Windows\\system32\\calc.exe"));
    EXPECT_FALSE(isWebAddress("file://C:/x.exe"));
    EXPECT_FALSE(isWebAddress(" http://x"));
}

// Only a page that starts as the category list does may fill it.
TEST(GenreList, OnlyAnAnnouncedPageIsAList) {
    EXPECT_TRUE(beginsWithAnnouncement("swr=1024=url=https://x/s.exe\n1;Movies\n"));
    EXPECT_TRUE(beginsWithAnnouncement("swr_2=0=\r\n"));
    for (const char* page : {"", "swr=1024=url=x", "<!DOCTYPE html>\n<style>body{a=1=2}</style>\n", "=1024=x\n",
                             "swr==x\n", "swr=10a=x\n", "swr=1024\n", " swr=1024=x\n", "1;Movies\n"})
        EXPECT_FALSE(beginsWithAnnouncement(page)) << page;
}

TEST(GenreList, CookieMarkerStopsTheParse) {
    Lines categories;
    const GenreListResult r = parseGenreList(
        "v=3000=url=X\n12;Movies\n<p>The page you tried to view can only be used when you're logged in</p>\n13;Music\n",
        categories);
    EXPECT_TRUE(r.m_cookiesRequired);
    EXPECT_EQ(r.m_build, 3000);  // found, but the caller offers nothing after the marker
    EXPECT_EQ(categories, (Lines{"3000=url=X", "12;Movies"}));

    Lines first;
    EXPECT_TRUE(parseGenreList("x=The page you tried to view can only be used when\n", first).m_cookiesRequired);
    EXPECT_TRUE(first.empty());
}

TEST(GenreList, AtMostAThousandLines) {
    std::string answer;
    for (int i = 1; i <= 1001; ++i)
        answer += std::to_string(i) + ";Name\n";
    answer += "The page you tried to view can only be used when\n";
    Lines categories;
    EXPECT_FALSE(parseGenreList(answer, categories).m_cookiesRequired);
    ASSERT_EQ(categories.size(), 1000u);
    EXPECT_EQ(categories.back(), "1000;Name");
}

}  // namespace
