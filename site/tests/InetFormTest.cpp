#include <gtest/gtest.h>

#include <cctype>

#include "site/InetForm.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/OnlineTest.h"
#include "tests/support/Pictures.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

namespace {

using InetForm = OnlineTest;

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
void expectHeadersSent(const CMyInetForm& form, const std::string& head) {
    std::size_t start = 0;
    while (start < form.m_headers.size()) {
        const std::size_t end = form.m_headers.find("\r\n", start);
        const std::string line = form.m_headers.substr(start, end - start);
        const std::string name = line.substr(0, line.find(':') + 1);
        EXPECT_EQ(occurrences(head, "\r\n" + line + "\r\n"), 1u) << line << "\n--- sent:\n" << head;
        EXPECT_EQ(occurrences(lower(head), "\r\n" + lower(name)), 1u) << name << "\n--- sent:\n" << head;
        start = end + 2;
    }
}

std::string login(CMyInetForm& form, const std::string& host, const std::string& user, const std::string& password) {
    EXPECT_FALSE(form.openRequest(host, "/takelogin.php"));
    form.addText("username", user);
    form.addText("password", password);
    form.addText("returnto", "/genrelist.php");
    EXPECT_FALSE(form.send());
    return form.m_response;
}

// A small single-file torrent; the name makes its info dictionary unique.
std::string smallTorrent(const std::string& name) {
    const std::string info = "d6:lengthi3e4:name" + std::to_string(name.size()) + ":" + name +
                             "12:piece lengthi16384e6:pieces20:" + std::string(20, 'x') + "e";
    return "d8:announce12:http://x/ann10:created by16:Seedwright V1.144:info" + info + "e";
}

TEST_F(InetForm, LoginBodyReachesTheSiteByteForByteAndTheRedirectIsFollowed) {
    const int before = m_site.requestCount();
    CMyInetForm form;
    const std::string answer = login(form, m_site.host(), "alice", "wonderland\xE9");  // wrong: é goes out as UTF-8
    EXPECT_TRUE(contains(answer, "Invalid Password"));

    CMyInetForm good;
    EXPECT_EQ(login(good, m_site.host(), "alice", "wonderland").substr(0, 9), "swr=1024=");

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].m_method, "POST");
    EXPECT_EQ(sent[0].m_target, "/takelogin.php");
    EXPECT_EQ(sent[0].m_body, form.body());
    EXPECT_TRUE(contains(sent[0].m_body, "name=\"password\"\r\n\r\nwonderland\xC3\xA9\r\n"));
    expectHeadersSent(form, sent[0].m_head);
    EXPECT_TRUE(contains(sent[0].m_head, "Content-Length: " + std::to_string(form.body().size()) + "\r\n"));

    EXPECT_EQ(sent[1].m_body, good.body());
    EXPECT_EQ(sent[1].m_status, 302);
    EXPECT_EQ(sent[2].m_method, "GET");
    EXPECT_EQ(sent[2].m_target, "/genrelist.php");
    EXPECT_TRUE(contains(sent[2].m_head, "uid=1001"));
    EXPECT_TRUE(contains(cookiesFor("/takelogin.php"), "uid=1001"));
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(InetForm, UploadsAndTheDownloadCarryTheLoginCookies) {
    CMyInetForm session;
    login(session, m_site.host(), "bob", "builder");
    const std::string cookies = cookiesFor("/");
    ASSERT_TRUE(contains(cookies, "uid=1002")) << cookies;
    const int before = m_site.requestCount();

    // A picture with every kind of byte, announced under a name with a Latin-1 letter.
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const std::string picturePath = tempFile("pic.gif", gifPicture(everyByte));
    CMyInetForm post;
    ASSERT_FALSE(post.openRequest(m_site.host(), "/doupload.php"));
    post.addText("upload", "Upload");
    ASSERT_FALSE(post.addFile(picturePath, fileNamePart(picturePath) + "\xE9.gif", "ulpic"));
    ASSERT_FALSE(post.send());
    EXPECT_TRUE(contains(post.m_response, "Picture uploaded"));

    const std::string name = "My Film " + std::to_string(GetTickCount());
    const std::string torrentPath = tempFile("MyNew.torrent", smallTorrent(name));
    CMyInetForm upload;
    ASSERT_FALSE(upload.openRequest(m_site.host(), "/doupload.php"));
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
    ASSERT_FALSE(upload.addFile(torrentPath, name + ".torrent", "file"));
    ASSERT_FALSE(upload.send());
    const std::string marker = "href=\"/download.php/";
    const std::size_t at = upload.m_response.find(marker);
    ASSERT_NE(at, std::string::npos) << upload.m_response;
    const std::size_t end = upload.m_response.find("\">", at);
    const std::string link = upload.m_response.substr(at + 6, end - at - 6);

    const std::string copyPath = tempFile("swr.torrent", "stale");
    CMyInetForm download;
    EXPECT_FALSE(download.downloadFile(m_site.host(), link, copyPath));
    const std::string copy = readFileBytes(copyPath);
    const std::string original = smallTorrent(name);
    const std::string info = original.substr(original.find("4:info") + 6);
    EXPECT_TRUE(contains(copy, "/announce.php?passkey=")) << copy;
    EXPECT_EQ(copy.substr(copy.size() - info.size()), info);  // same info dictionary, same hash

    const std::vector<StandinRequest> sent = m_site.requestsSince(before);
    ASSERT_EQ(sent.size(), 4u);  // picture, torrent form, its redirect to the details, the download
    EXPECT_EQ(sent[0].m_body, post.body());
    EXPECT_TRUE(contains(sent[0].m_body, "filename=\"pic.gif\xC3\xA9.gif\""));
    EXPECT_EQ(sent[1].m_body, upload.body());
    EXPECT_EQ(sent[3].m_target, link);
    for (const StandinRequest& request : sent)
        EXPECT_TRUE(contains(request.m_head, "uid=1002")) << request.m_target;
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(InetForm, ErrorPagesAreAnswersLikeAnyOther) {
    m_site.setScenario(R"({"status": {"/takelogin.php": 500}})");
    CMyInetForm form;
    EXPECT_TRUE(contains(login(form, m_site.host(), "alice", "wonderland"), "<h1>Error 500</h1>"));
    EXPECT_EQ(form.m_status, 500);
    EXPECT_EQ(form.m_answerAddress, "https://" + m_site.host() + "/takelogin.php");
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(InetForm, AnswerChunksStopAtAZeroByte) {
    // The pattern starts with a zero byte: the first 511-byte chunk gives nothing.
    CMyInetForm form;
    ASSERT_FALSE(form.openRequest(m_site.host(), "/testdata/600/x"));
    ASSERT_FALSE(form.send());
    const std::string pattern = patternBytes(600);
    std::string expected;
    for (std::size_t chunk = 0; chunk < pattern.size(); chunk += 511) {
        const std::string piece = pattern.substr(chunk, 511);
        expected += piece.substr(0, piece.find('\0'));
    }
    EXPECT_EQ(form.m_response, expected);
}

TEST_F(InetForm, UnreadableFilesFailAtAddAndAgainAtSend) {
    CMyInetForm form;
    ASSERT_FALSE(form.openRequest(m_site.host(), "/doupload.php"));
    const std::string missing = tempFile("", "") + "no-such-picture.jpg";
    EXPECT_TRUE(form.addFile(missing, "", "ulpic"));
    EXPECT_EQ(form.m_lastError, "Failed to open " + missing);
    ASSERT_EQ(form.m_fields.size(), 1u);
    EXPECT_EQ(form.m_fields[0]->m_dataSize, -1);
    EXPECT_EQ(form.m_fields[0]->m_length, 0);

    EXPECT_TRUE(form.addFile(tempFile("empty.jpg", ""), "", "ulpic"));
    EXPECT_TRUE(form.send());
    EXPECT_EQ(form.m_lastError, "Error on InternetWriteFile 0\n");
    EXPECT_EQ(form.m_failure, "A file of the form could not be read.");

    // The send's failure is left to the caller's message.
    const std::vector<std::string> texts = m_boxes.texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].rfind("Can't open file " + missing + ", error = 2\n", 0), 0u) << texts[0];
    EXPECT_EQ(texts[1], "Failed to open " + missing);
    EXPECT_EQ(texts[2], "Couldn allocate needed memory");

    // Held, the same failure shows nothing: its texts are kept, in order, for one box of the caller's.
    {
        const CHeldMessages held;
        CMyInetForm quiet;
        ASSERT_FALSE(quiet.openRequest(m_site.host(), "/doupload.php"));
        EXPECT_TRUE(quiet.addFile(missing, "", "ulpic"));
        ASSERT_EQ(held.texts().size(), 2u);
        EXPECT_EQ(held.texts()[0], texts[0]);
        EXPECT_EQ(held.texts()[1], "Failed to open " + missing);
    }
    EXPECT_EQ(m_boxes.texts().size(), 4u);
}

TEST_F(InetForm, FilesOpenForReadingOnlyAndShareReading) {
    const std::string readOnly = tempFile("readonly.jpg", "abc");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string viewed = tempFile("viewed.jpg", "defg");
    win::CHandle viewer(CreateFileA(viewed.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(viewer.get(), INVALID_HANDLE_VALUE);

    CMyInetForm form;
    ASSERT_FALSE(form.openRequest(m_site.host(), "/doupload.php"));
    EXPECT_FALSE(form.addFile(readOnly, "", "ulpic"));
    EXPECT_FALSE(form.addFile(viewed, "", "ulpic"));
    EXPECT_EQ(form.m_fields[0]->m_dataSize, 3);
    EXPECT_EQ(form.m_fields[1]->m_dataSize, 4);
    viewer.reset();

    const std::string locked = tempFile("locked.jpg", "xyz");
    win::CHandle writer(CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(form.addFile(locked, "", "ulpic"));
    writer.reset();
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::vector<std::string> texts = m_boxes.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("Can't open file " + locked + ", error = 11\n", 0), 0u) << texts[0];
}

// The certificate checks are on: a post and a download to the site with a certificate from a CA
// the prefix does not trust, an expired one or one made out to another host both fail, and the
// site sees the TLS handshake but no request.
TEST_F(InetForm, RefusedCertificatesStopPostsAndDownloadsAtTheHandshake) {
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
        CMyInetForm post;
        ASSERT_FALSE(post.openRequest(host, "/doupload.php"));
        post.addText("upload", "Upload");
        EXPECT_TRUE(post.send());
        const DWORD error = GetLastError();
        EXPECT_TRUE(error == reason || error == wineReason) << error;
        EXPECT_TRUE(post.m_response.empty());
        EXPECT_TRUE(testing_support::waitUntil([&] { return m_site.handshakes(certificate) > handshakes; }));

        const std::string local = tempFile("swr.torrent", "an older torrent");
        CMyInetForm download;
        EXPECT_TRUE(download.downloadFile(host, "/download.php/1/a.torrent", local));
        EXPECT_EQ(readFileBytes(local), "");
        EXPECT_TRUE(testing_support::waitUntil([&] { return m_site.handshakes(certificate) > handshakes + 1; }));
        EXPECT_EQ(post.m_failure.rfind("The site's certificate was refused (error ", 0), 0u) << post.m_failure;
        const std::string expected = "Failed to download https://" + host +
                                     "/download.php/1/a.torrent\n\nThe site's certificate was refused (error ";
        EXPECT_EQ(download.m_failure.rfind(expected, 0), 0u) << download.m_failure;
    }
    EXPECT_EQ(m_site.requestCount(), before);
    EXPECT_TRUE(m_boxes.texts().empty());
}

TEST_F(InetForm, AnUnreachableSiteFailsWithoutAMessage) {
    CMyInetForm form;
    EXPECT_FALSE(form.openRequest("127.0.0.1:1", "/takelogin.php"));  // WinINet connects when sending
    form.addText("username", "alice");
    EXPECT_TRUE(form.send());
    EXPECT_EQ(form.m_failure, "Cannot connect to 127.0.0.1:1.");
    Sleep(200);
    EXPECT_TRUE(m_boxes.texts().empty());
}

}  // namespace
