#include <gtest/gtest.h>

#include "site/Download.h"
#include "tests/support/OnlineTest.h"

namespace {

using Download = OnlineTest;

unsigned long long fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST_F(Download, WholeBlocksEmptyAnswersAndReplacedFiles) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{51200}, std::size_t{51201}, std::size_t{150000}}) {
        const std::string local = tempFile("swr.torrent", std::string(70000, 'o'));
        site::Download download;
        const site::RequestResult result =
            download.intoFile(m_site.host(), "/testdata/" + std::to_string(size) + "/a.torrent", local);
        EXPECT_TRUE(result.ok && result.status == 200 && result.page.empty()) << result.reason;
        EXPECT_EQ(readFileBytes(local), patternBytes(size)) << size;
        EXPECT_FALSE(download.handlesOpen()) << "closed at the end of the data";
    }
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(Download, AddressesArePercentEncoded) {
    const int before = m_site.requestCount();
    const std::string local = tempFile("swr.torrent", "");
    site::Download download;
    EXPECT_TRUE(download.intoFile(m_site.host(), "/testdata/5/My Film \xE9.torrent", local).ok);
    EXPECT_EQ(readFileBytes(local), patternBytes(5));
    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].m_target, "/testdata/5/My%20Film%20%E9.torrent");
    EXPECT_NE(sent[0].m_head.find("User-Agent: Mozilla/5.0 (Windows NT 6.2; WOW64) AppleWebKit/537.36 "
                                  "(SWR-KHTML, like Gecko) Chrome/30.0.1599.17 Safari/537.36\r\n"),
              std::string::npos)
        << sent[0].m_head;
}

TEST_F(Download, FailuresAreReportedAndLeaveNoStaleFile) {
    std::vector<std::string> texts;
    // Each download fails with its reason; it never reports a failure as done.
    const auto failure = [&](const std::string& host, const std::string& path, const std::string& local) {
        const site::RequestResult result = site::Download().intoFile(host, path, local);
        EXPECT_FALSE(result.ok) << path;
        texts.push_back(result.reason);
    };
    const std::string local = tempFile("swr.torrent", "an older torrent");
    failure(m_site.host(), "/nothing/here.torrent", local);
    EXPECT_EQ(readFileBytes(local), "");

    writeFileBytes(local, "an older torrent");
    m_site.setScenario(R"({"status": {"/testdata/": 503}})");
    failure(m_site.host(), "/testdata/9/a.torrent", local);
    EXPECT_EQ(readFileBytes(local), "");

    failure("127.0.0.1:1", "/download.php/1/a.torrent", local);

    // Cut short, and far larger than any torrent (64 MiB without a length).
    m_site.setScenario(R"({"fault": {"/testdata/": "short"}})");
    failure(m_site.host(), "/testdata/1000/a.torrent", local);
    m_site.setScenario(R"({"fault": {"/testdata/": "huge"}})");
    failure(m_site.host(), "/testdata/1/a.torrent", local);
    EXPECT_LE(fileSize(local), 32ull << 20);

    failure(m_site.host(), "/testdata/1/a", tempFile("", "") + "no\\such\\dir\\x.torrent");

    // A full disk: Wine's drive Z: reaches the host's /dev/full, which takes no byte.
    m_site.setScenario("{}");
    failure(m_site.host(), "/testdata/1000/a.torrent", "Z:\\dev\\full");

    EXPECT_TRUE(m_boxes.texts().empty()) << "a download shows nothing itself";
    const std::string site = "Failed to download https://" + m_site.host();
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[0], site + "/nothing/here.torrent\n\nThe site answered 404.");
    EXPECT_EQ(texts[1], site + "/testdata/9/a.torrent\n\nThe site answered 503.");
    EXPECT_EQ(texts[2],
              "Failed to download https://127.0.0.1:1/download.php/1/a.torrent\n\nCannot connect to 127.0.0.1:1.");
    EXPECT_EQ(texts[3], site + "/testdata/1000/a.torrent\n\nThe answer broke off after 500 of 1000 bytes.");
    EXPECT_EQ(texts[4], site + "/testdata/1/a.torrent\n\nThe answer is larger than 32 MiB.");
    EXPECT_EQ(texts[5], "Cannot open Torrent file for Download");
    EXPECT_EQ(texts[6], "Cannot write Torrent file for Download");
}

}  // namespace
