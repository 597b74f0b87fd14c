#include <gtest/gtest.h>

#include <string>

#include "site/Scrape.h"

namespace {

using site::scrape::Seen;

// A hash with a zero byte and bytes that need escaping, and its escaped form.
const std::string kHash("\x01\x00 ~%&?#/\x7f\x80\xff\x12\x34\x56\x78\x9a\xbc\xde\xf0", 20);
const std::string kEscaped = "info_hash=%01%00%20%7E%25%26%3F%23%2F%7F%80%FF%12%34%56%78%9A%BC%DE%F0";

std::string listing(const std::string& hash) {
    return "d5:filesd20:" + hash + "d8:completei0e10:downloadedi0e10:incompletei0eeee";
}

TEST(Scrape, AddressesAndAnswers) {
    const struct {
        std::string announce;
        const char* scrape;  // before the info-hash; empty: no scrape form
    } addresses[] = {
        {"http://t.example:2710/announce.php?passkey=0a1b", "http://t.example:2710/scrape.php?passkey=0a1b&"},
        {"https://t.example/x/announce", "https://t.example/x/scrape?"},
        {"HTTP://t.example/announce?", "HTTP://t.example/scrape?"},
        {"http://t.example/announce?pk=1&", "http://t.example/scrape?pk=1&"},
        {"http://t.example/announce/x?announce", ""},  // the last segment is not "announce"
        {"http://t.example/a/announce2?p=/announce", "http://t.example/a/scrape2?p=/announce&"},
        {"http://announce", ""},
        {"http:///announce", ""},
        {"http://t.example/tracker", ""},
        {"http://t.example/Announce", ""},
        {"udp://t.example:80/announce", ""},  // no WinINet request
        {"http://t.example/announce#x", ""},
        {"tmp_url", ""},
        {std::string("http://t\0.example/announce", 26), ""},
        {"http://t.example/\xe9/announce", ""},
        {"http://t.example/announce?pk=a b", ""},
    };
    for (const auto& row : addresses) {
        const std::string want = *row.scrape ? row.scrape + kEscaped : std::string();
        EXPECT_EQ(site::scrape::address(row.announce, kHash), want) << row.announce;
    }
    EXPECT_EQ(site::scrape::address("http://t.example/announce", "short"), "");
    EXPECT_EQ(site::scrape::address("http://t.example/announce?" + std::string(2048, 'k'), kHash), "");

    const std::string other(20, 'o');
    const struct {
        std::string answer;
        Seen seen;
    } answers[] = {
        {listing(kHash), Seen::Listed},
        {"d5:filesd20:" + other + "de20:" + kHash + "de8:intervali30ee5:flagsdee", Seen::Listed},
        {"d5:filesdee", Seen::NotYet},
        {listing(other), Seen::NotYet},
        {"d5:filesd20:" + kHash + "i1eee", Seen::NotYet},  // listed as no torrent is
        {"d14:failure reason14:not registerede", Seen::NotYet},
        {"", Seen::Never},
        {"<html>Not Found</html>", Seen::Never},
        {"d5:filesle", Seen::Never},
        {"d5:filesdee trailing", Seen::Never},
        {"d14:failure reasoni1ee", Seen::Never},
        {listing(kHash).substr(0, 40), Seen::Never},
        {"d5:filesd20:" + kHash + "de4:padd" + std::string(site::scrape::kMaxAnswer, ' ') + "ee", Seen::Never},
        {std::string(200, 'l') + std::string(200, 'e'), Seen::Never},  // deeper than any answer
    };
    for (const auto& row : answers)
        EXPECT_EQ(site::scrape::readAnswer(row.answer, kHash), row.seen) << row.answer.substr(0, 60);
}

TEST(Scrape, TargetOfTheSiteCopy) {
    const std::string info("d6:lengthi1e4:name1:a12:piece lengthi65536e6:pieces20:" + std::string(20, '\0') + "e");
    site::scrape::Target target;
    ASSERT_TRUE(site::scrape::targetOf("d8:announce13:http://t/anno4:info" + info + "e", target));
    EXPECT_EQ(target.m_announce, "http://t/anno");
    const unsigned char sha1[20] = {0xd3, 0x7c, 0x90, 0x40, 0x4a, 0xa3, 0xd2, 0xfb, 0x67, 0x89,
                                    0x39, 0xc7, 0x53, 0xd9, 0xf5, 0x8a, 0xe9, 0xa9, 0x0d, 0x42};
    EXPECT_EQ(target.m_infoHash, std::string(reinterpret_cast<const char*>(sha1), 20));
    // Keys out of order: a hash of the re-encoded "info" could differ from the client's.
    EXPECT_FALSE(site::scrape::targetOf("d4:info" + info + "8:announce1:ae", target));
    EXPECT_FALSE(site::scrape::targetOf("d4:info" + info + "e", target));
    EXPECT_FALSE(site::scrape::targetOf("d8:announcei1e4:info" + info + "e", target));
}

}  // namespace
