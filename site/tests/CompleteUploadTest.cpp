#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "site/CompleteUpload.h"
#include "site/res/SiteIds.h"
#include "tests/support/ModalDriver.h"

using site::scrape::Seen;
using testing_support::itemText;
using testing_support::runModal;
using testing_support::waitUntil;

namespace {

std::string countdown(int seconds) {
    return "Waiting for Backend to complete upload (" + std::to_string(seconds) + " seconds)";
}

std::string caption(HWND dialog) {
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    return text;
}

// The ticks come from the test alone: the dialog's own timer would tick once a second, and a
// loaded machine can start the test's script later than that.
constexpr UINT kNever = 3600 * 1000;

TEST(CompleteUpload, CountsDownFrom30To1AndClosesOnThe30thTick) {
    CompleteUpload dialog;
    dialog.m_tickMilliseconds = kNever;
    std::vector<std::string> texts;
    std::string title;
    int ticks = 0;
    const auto run = runModal(dialog, [&](HWND dlg) {
        title = caption(dlg);
        texts.push_back(itemText(dlg, IDC_BACKEND_TEXT));
        SendMessageA(dlg, WM_TIMER, 999, 0);  // not the countdown's timer
        while (IsWindow(dlg) && IsWindowVisible(dlg) && ticks < 40) {
            SendMessageA(dlg, WM_TIMER, kBackendWaitTimerId, 0);
            ++ticks;
            if (IsWindowVisible(dlg))
                texts.push_back(itemText(dlg, IDC_BACKEND_TEXT));
        }
    });
    ASSERT_TRUE(run.seen);
    EXPECT_FALSE(run.leftOpen);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(title, "Finishing upload...");
    EXPECT_EQ(ticks, 30);
    std::vector<std::string> expected;
    for (int s = 30; s >= 1; --s)
        expected.push_back(countdown(s));
    EXPECT_EQ(texts, expected);
}

TEST(CompleteUpload, EscapeOrCloseBoxEndItEarly) {
    for (UINT message : {WM_KEYDOWN, WM_CLOSE}) {
        CompleteUpload dialog;
        dialog.m_tickMilliseconds = kNever;
        const auto run = runModal(dialog, [&](HWND dlg) {
            SendMessageA(dlg, WM_TIMER, kBackendWaitTimerId, 0);
            EXPECT_EQ(itemText(dlg, IDC_BACKEND_TEXT), countdown(29));
            PostMessageA(dlg, message, message == WM_KEYDOWN ? VK_ESCAPE : 0, 0);
        });
        EXPECT_TRUE(run.seen);
        EXPECT_FALSE(run.leftOpen);
        EXPECT_EQ(run.result, IDCANCEL) << message;
    }
}

// The check runs beside the countdown, whose text stays as it is: an answer that lists the
// upload closes the wait at once; one that never will, or Escape while a check hangs, leaves
// the countdown to run as without one, and the check is stopped when the wait ends.
TEST(CompleteUpload, EndsWhenTheCheckFindsTheUploadDone) {
    const struct {
        std::vector<Seen> answers;  // the last one repeats
        bool hangs;                 // the last ask waits for its stop
        int asks;                   // when the wait is ended
        INT_PTR result;
    } rows[] = {
        {{Seen::NotYet, Seen::NotYet, Seen::Listed}, false, 3, 0},
        {{Seen::Never}, false, 1, IDCANCEL},
        {{Seen::NotYet}, true, 1, IDCANCEL},
    };
    for (const auto& row : rows) {
        std::atomic<int> asks{0};
        std::atomic<bool> stopped{false};
        std::atomic<bool> looked{false};  // the answers count from when the test has seen the dialog
        CompleteUpload dialog(nullptr, [&](HANDLE stop) {
            if (!looked)
                return Seen::NotYet;
            const std::size_t n = std::size_t(asks++);
            if (row.hangs) {
                stopped = WaitForSingleObject(stop, 60000) == WAIT_OBJECT_0;
                return Seen::NotYet;
            }
            return row.answers[n < row.answers.size() ? n : row.answers.size() - 1];
        });
        dialog.m_tickMilliseconds = kNever;
        dialog.m_askMilliseconds = 10;
        std::string text;
        const auto run = runModal(dialog, [&](HWND dlg) {
            text = itemText(dlg, IDC_BACKEND_TEXT);
            looked = true;
            if (row.result == 0)
                return;  // it closes by itself
            EXPECT_TRUE(waitUntil([&] { return asks == row.asks; }));
            Sleep(200);  // twenty periods: a check that went on asking would have
            EXPECT_TRUE(IsWindowVisible(dlg));
            PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_TRUE(run.seen);
        EXPECT_FALSE(run.leftOpen);
        EXPECT_EQ(run.result, row.result) << row.asks;
        EXPECT_EQ(asks, row.asks);
        EXPECT_EQ(text, countdown(30));
        EXPECT_EQ(stopped, row.hangs);
    }
}

}  // namespace
