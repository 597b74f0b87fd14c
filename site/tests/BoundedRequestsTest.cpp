#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "site/BoundedRequests.h"
#include "tests/support/OnlineTest.h"

namespace {

using BoundedRequests = OnlineTest;

double secondsSince(ULONGLONG start) {
    return double(GetTickCount64() - start) / 1000;
}

// Calls `each` with every file of a folder (a Windows path ending in '\\'); returns their count.
int forFilesIn(const std::string& folder, const std::function<void(const std::string&)>& each) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ++count;
            each(folder + found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

int filesIn(const std::string& folder) {
    return forFilesIn(folder, [](const std::string&) {});
}

void emptyFolder(const std::string& folder) {
    forFilesIn(folder, [](const std::string& path) { DeleteFileA(path.c_str()); });
}

// Within a step limit and a little more: when the given-up request's thread has surely ended.
bool waitUntil(const std::function<bool()>& condition) {
    for (int i = 0; i < 40; ++i, Sleep(100))
        if (condition())
            return true;
    return false;
}

// Raises the signal after `ms`, as the member's Cancel would, on a thread of its own.
std::thread cancelAfter(const win::CSignal& cancel, DWORD ms) {
    return std::thread([&cancel, ms] {
        Sleep(ms);
        cancel.raise();
    });
}

// A request given up on, at its limit or at the member's Cancel, ends for good: the caller is
// back at once, the message names the limit that was really waited, no earlier copy is left
// where the client would look, the download's own file goes when its thread ends (WinINet under
// Wine finishes a waiting call only at its own step limit), and nothing shows.
TEST_F(BoundedRequests, GivenUpRequestsEndForGood) {
    const std::string folder = tempFile("", "") + "bounded\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    emptyFolder(folder);
    const std::string local = folder + "swr.torrent";
    writeFileBytes(local, "an older torrent");

    _putenv("SEEDWRIGHT_TIMEOUT=1");  // 4 seconds for a whole request
    m_site.setScenario(R"({"fault": {"/testdata/": "drip"}})");
    ULONGLONG start = GetTickCount64();
    const BoundedResult dripped = downloadBounded(m_site.host(), "/testdata/100/a.torrent", local, nullptr);
    double seconds = secondsSince(start);
    EXPECT_EQ(dripped.end, WaitEnd::TimedOut);
    EXPECT_EQ(dripped.result.reason,
              "Failed to download https://" + m_site.host() +
                  "/testdata/100/a.torrent\n\nThe site did not finish its answer within 4 seconds.");
    EXPECT_GE(seconds, 3.9);
    EXPECT_LT(seconds, 5.5);
    EXPECT_EQ(GetFileAttributesA(local.c_str()), INVALID_FILE_ATTRIBUTES) << "no earlier copy";
    EXPECT_TRUE(waitUntil([&] { return filesIn(folder) == 0; })) << "the part file went with its thread";

    _putenv("SEEDWRIGHT_TIMEOUT=2");
    m_site.setScenario(R"({"fault": {"/testdata/": "stall", "/doupload.php": "stall"}})");
    const win::CSignal cancel;
    std::thread member = cancelAfter(cancel, 500);
    start = GetTickCount64();
    const BoundedResult stalled = downloadBounded(m_site.host(), "/testdata/100/a.torrent", local, cancel.handle());
    seconds = secondsSince(start);
    member.join();
    EXPECT_EQ(stalled.end, WaitEnd::Cancelled);
    EXPECT_EQ(stalled.result.reason, "");
    EXPECT_LT(seconds, 1.5);
    EXPECT_TRUE(waitUntil([&] { return filesIn(folder) == 0; })) << "the part file went with its thread";

    cancel.clear();
    auto form = std::make_shared<site::FormRequest>();
    ASSERT_TRUE(form->open(m_site.host(), "/doupload.php").ok);
    form->addText("upload", "Upload");
    member = cancelAfter(cancel, 500);
    start = GetTickCount64();
    const BoundedResult posted = sendBounded(form, cancel.handle());
    seconds = secondsSince(start);
    member.join();
    EXPECT_EQ(posted.end, WaitEnd::Cancelled);
    EXPECT_TRUE(posted.bodySent) << "the site may have acted on it";
    EXPECT_LT(seconds, 1.5);
    EXPECT_FALSE(form->handlesOpen()) << "its handles are closed";

    _putenv("SEEDWRIGHT_TIMEOUT=");
    EXPECT_TRUE(m_boxes.texts().empty());
}

}  // namespace
