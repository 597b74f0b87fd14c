#include <gtest/gtest.h>

#include <cctype>

#include "site/Download.h"
#include "site/FormRequest.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OnlineTest.h"
#include "tests/support/Pictures.h"
#include "win/Handles.h"

namespace {

using FormRequest = OnlineTest;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The header lines the form added must reach the site as they were built, each exactly once:
// no second line of the same name, not even one WinINet adds itself.
void expectHeadersSent(const site::FormRequest& form, const std::string& head) {
    const std::string& headers = form.wire().m_headers;
    std::size_t start = 0;
    while (start < headers.size()) {
        const std::size_t end = headers.find("\r\n", start);
        const std::string line = headers.substr(start, end - start);
        const std::string name = line.substr(0, line.find(':') + 1);
        EXPECT_EQ(occurrences(head, "\r\n" + line + "\r\n"), 1u) << line << "\n--- sent:\n" << head;
        EXPECT_EQ(occurrences(lower(head), "\r\n" + lower(name)), 1u) << name << "\n--- sent:\n" << head;
        start = end + 2;
    }
}

site::RequestResult login(site::FormRequest& form,
                          const std::string& host,
                          const std::string& user,
                          const std::string& password) {
    EXPECT_TRUE(form.open(host, "/takelogin.php").ok);
    form.addText("username", user);
    form.addText("password", password);
    form.addText("returnto", "/genrelist.php");
    const site::RequestResult answer = form.send();
    EXPECT_TRUE(answer.ok) << answer.reason;
    return answer;
}

// A small single-file torrent; the name makes its info dictionary unique.
std::string smallTorrent(const std::string& name) {
    const std::string info = "d6:lengthi3e4:name" + std::to_string(name.size()) + ":" + name +
                             "12:piece lengthi16384e6:pieces20:" + std::string(20, 'x') + "e";
    return "d8:announce12:http://x/ann10:created by16:Seedwright V1.144:info" + info + "e";
}

TEST_F(FormRequest, LoginBodyReachesTheSiteByteForByteAndTheRedirectIsFollowed) {
    const int before = m_site.requestCount();
    site::FormRequest form;
    const std::string answer =
        login(form, m_site.host(), "alice", "wonderland\xE9").page;  // wrong: é goes out as UTF-8
    EXPECT_TRUE(contains(answer, "Invalid Password"));

    site::FormRequest good;
    EXPECT_EQ(login(good, m_site.host(), "alice", "wonderland").page.substr(0, 9), "swr=1024=");

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].m_method, "POST");
    EXPECT_EQ(sent[0].m_target, "/takelogin.php");
    EXPECT_EQ(sent[0].m_body, form.wire().body());
    EXPECT_TRUE(contains(sent[0].m_body, "name=\"password\"\r\n\r\nwonderland\xC3\xA9\r\n"));
    expectHeadersSent(form, sent[0].m_head);
    EXPECT_TRUE(contains(sent[0].m_head, "Content-Length: " + std::to_string(form.wire().body().size()) + "\r\n"));

    EXPECT_EQ(sent[1].m_body, good.wire().body());
    EXPECT_EQ(sent[1].m_status, 302);
    EXPECT_EQ(sent[2].m_method, "GET");
    EXPECT_EQ(sent[2].m_target, "/genrelist.php");
    EXPECT_TRUE(contains(sent[2].m_head, "uid=1001"));
    EXPECT_TRUE(contains(cookiesFor("/takelogin.php"), "uid=1001"));
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(FormRequest, UploadsAndTheDownloadCarryTheLoginCookies) {
    site::FormRequest session;
    login(session, m_site.host(), "bob", "builder");
    const std::string cookies = cookiesFor("/");
    ASSERT_TRUE(contains(cookies, "uid=1002")) << cookies;
    const int before = m_site.requestCount();

    // A picture with every kind of byte, announced under a name with a Latin-1 letter.
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const std::string picturePath = tempFile("pic.gif", gifPicture(everyByte));
    site::FormRequest post;
    ASSERT_TRUE(post.open(m_site.host(), "/doupload.php").ok);
    post.addText("upload", "Upload");
    ASSERT_TRUE(post.addFile(picturePath, fileNamePart(picturePath) + "\xE9.gif", "ulpic").ok);
    EXPECT_TRUE(contains(post.send().page, "Picture uploaded"));

    const std::string name = "My Film " + std::to_string(GetTickCount());
    const std::string torrentPath = tempFile("MyNew.torrent", smallTorrent(name));
    site::FormRequest upload;
    ASSERT_TRUE(upload.open(m_site.host(), "/doupload.php").ok);
    for (const char* field : {"descr", "type", "scat1", "scat2", "scat3", "scat4", "name", "checktorrent", "swr"}) {
        const std::string f = field;
        upload.addText(f, f == "descr"          ? "A film."
                          : f == "type"         ? "1"
                          : f == "scat1"        ? "3"
                          : f == "name"         ? name
                          : f == "checktorrent" ? "1"
                          : f == "swr"          ? "yes"
                                                : "-1");
    }
    ASSERT_TRUE(upload.addFile(torrentPath, name + ".torrent", "file").ok);
    const std::string page = upload.send().page;
    const std::string marker = "href=\"/download.php/";
    const std::size_t at = page.find(marker);
    ASSERT_NE(at, std::string::npos) << page;
    const std::size_t end = page.find("\">", at);
    const std::string link = page.substr(at + 6, end - at - 6);

    const std::string copyPath = tempFile("swr.torrent", "stale");
    site::Download download;
    EXPECT_TRUE(download.intoFile(m_site.host(), link, copyPath).ok);
    const std::string copy = readFileBytes(copyPath);
    const std::string original = smallTorrent(name);
    const std::string info = original.substr(original.find("4:info") + 6);
    EXPECT_TRUE(contains(copy, "/announce.php?passkey=")) << copy;
    EXPECT_EQ(copy.substr(copy.size() - info.size()), info);  // same info dictionary, same hash

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 4u);  // picture, torrent form, its redirect to the details, the download
    EXPECT_EQ(sent[0].m_body, post.wire().body());
    EXPECT_TRUE(contains(sent[0].m_body, "filename=\"pic.gif\xC3\xA9.gif\""));
    EXPECT_EQ(sent[1].m_body, upload.wire().body());
    EXPECT_EQ(sent[3].m_target, link);
    for (const StandinRequest& request : sent)
        EXPECT_TRUE(contains(request.m_head, "uid=1002")) << request.m_target;
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(FormRequest, ErrorPagesAreAnswersLikeAnyOther) {
    m_site.setScenario(R"({"status": {"/takelogin.php": 500}})");
    site::FormRequest form;
    const site::RequestResult answer = login(form, m_site.host(), "alice", "wonderland");
    EXPECT_TRUE(contains(answer.page, "<h1>Error 500</h1>"));
    EXPECT_EQ(answer.status, 500);
    EXPECT_EQ(form.answerAddress(), "https://" + m_site.host() + "/takelogin.php");
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(FormRequest, AnswerChunksStopAtAZeroByte) {
    // The pattern starts with a zero byte: the first 511-byte chunk gives nothing.
    site::FormRequest form;
    ASSERT_TRUE(form.open(m_site.host(), "/testdata/600/x").ok);
    const site::RequestResult answer = form.send();
    ASSERT_TRUE(answer.ok);
    const std::string pattern = patternBytes(600);
    std::string expected;
    for (std::size_t chunk = 0; chunk < pattern.size(); chunk += 511) {
        const std::string piece = pattern.substr(chunk, 511);
        expected += piece.substr(0, piece.find('\0'));
    }
    EXPECT_EQ(answer.page, expected);
}

// The reason is the read's own, the nearest to the cause, and the form never goes out whole.
TEST_F(FormRequest, UnreadableFilesFailAtAddAndAgainAtSend) {
    site::FormRequest form;
    ASSERT_TRUE(form.open(m_site.host(), "/doupload.php").ok);
    const std::string missing = tempFile("", "") + "no-such-picture.jpg";
    const site::RequestResult absent = form.addFile(missing, "", "ulpic");
    EXPECT_FALSE(absent.ok);
    EXPECT_EQ(absent.reason.rfind("Can't open file " + missing + ", error = 2\n", 0), 0u) << absent.reason;
    ASSERT_EQ(form.wire().m_fields.size(), 1u);
    EXPECT_EQ(form.wire().m_fields[0]->m_dataSize, -1);
    EXPECT_EQ(form.wire().m_fields[0]->m_length, 0);

    EXPECT_EQ(form.addFile(tempFile("empty.jpg", ""), "", "ulpic").reason, "Couldn allocate needed memory");
    const site::RequestResult sent = form.send();
    EXPECT_FALSE(sent.ok);
    EXPECT_EQ(sent.reason, "A file of the form could not be read.");
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(FormRequest, FilesOpenForReadingOnlyAndShareReading) {
    const std::string readOnly = tempFile("readonly.jpg", "abc");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string viewed = tempFile("viewed.jpg", "defg");
    win::CHandle viewer(CreateFileA(viewed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(viewer.get(), INVALID_HANDLE_VALUE);

    site::FormRequest form;
    ASSERT_TRUE(form.open(m_site.host(), "/doupload.php").ok);
    EXPECT_TRUE(form.addFile(readOnly, "", "ulpic").ok);
    EXPECT_TRUE(form.addFile(viewed, "", "ulpic").ok);
    EXPECT_EQ(form.wire().m_fields[0]->m_dataSize, 3);
    EXPECT_EQ(form.wire().m_fields[1]->m_dataSize, 4);
    viewer.reset();

    const std::string locked = tempFile("locked.jpg", "xyz");
    win::CHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    const std::string why = form.addFile(locked, "", "ulpic").reason;
    writer.reset();
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(why.rfind("Can't open file " + locked + ", error = 11\n", 0), 0u) << why;
    EXPECT_TRUE(m_boxes.texts().empty());
}

// The certificate checks are on: a post and a download to the site with a certificate from a CA
// the prefix does not trust, an expired one or one made out to another host both fail, and the
// site sees the TLS handshake but no request.
TEST_F(FormRequest, RefusedCertificatesStopPostsAndDownloadsAtTheHandshake) {
    const int before = m_site.requestCount();
    // Wine reports the untrusted CA as a revocation check that failed, Windows as an invalid CA.
    struct Refusal {
        const char* certificate;
        DWORD reason;
        DWORD wineReason;
    };
    const Refusal refusals[] = {
        {"untrusted", ERROR_INTERNET_INVALID_CA, ERROR_INTERNET_SEC_CERT_REV_FAILED},
        {"expired", ERROR_INTERNET_SEC_CERT_DATE_INVALID, ERROR_INTERNET_SEC_CERT_DATE_INVALID},
        {"wrong-host", ERROR_INTERNET_SEC_CERT_CN_INVALID, ERROR_INTERNET_SEC_CERT_CN_INVALID},
    };
    for (const auto& [certificate, reason, wineReason] : refusals) {
        SCOPED_TRACE(certificate);
        const std::string host = m_site.hostWithCertificate(certificate);
        const int handshakes = m_site.handshakes(certificate);
        const auto refusedWith = [&](const std::string& why, const std::string& head) {
            for (const DWORD error : {reason, wineReason})
                if (why == head + "The site's certificate was refused (error " + std::to_string(error) + ").")
                    return true;
            return false;
        };
        site::FormRequest post;
        ASSERT_TRUE(post.open(host, "/doupload.php").ok);
        post.addText("upload", "Upload");
        const site::RequestResult posted = post.send();
        EXPECT_FALSE(posted.ok);
        EXPECT_TRUE(refusedWith(posted.reason, "")) << posted.reason;
        EXPECT_TRUE(posted.page.empty());
        EXPECT_TRUE(testing_support::waitUntil([&] { return m_site.handshakes(certificate) > handshakes; }));

        const std::string local = tempFile("swr.torrent", "an older torrent");
        site::Download download;
        const site::RequestResult downloaded = download.intoFile(host, "/download.php/1/a.torrent", local);
        EXPECT_FALSE(downloaded.ok);
        EXPECT_EQ(readFileBytes(local), "");
        EXPECT_TRUE(testing_support::waitUntil([&] { return m_site.handshakes(certificate) > handshakes + 1; }));
        EXPECT_TRUE(
            refusedWith(downloaded.reason, "Failed to download https://" + host + "/download.php/1/a.torrent\n\n"))
            << downloaded.reason;
    }
    EXPECT_EQ(m_site.requestCount(), before);
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(FormRequest, AnUnreachableSiteFailsWithoutAMessage) {
    site::FormRequest form;
    EXPECT_TRUE(form.open("127.0.0.1:1", "/takelogin.php").ok);  // WinINet connects when sending
    form.addText("username", "alice");
    const site::RequestResult sent = form.send();
    EXPECT_FALSE(sent.ok);
    EXPECT_EQ(sent.reason, "Cannot connect to 127.0.0.1:1.");
    // A request WinINet cannot even make: nothing goes out, and the reason is the member's box.
    EXPECT_EQ(site::FormRequest().open("", "/takelogin.php").reason, "Failed to connect to https:///takelogin.php");
    Sleep(200);
    EXPECT_TRUE(m_boxes.texts().empty());
}

}  // namespace
