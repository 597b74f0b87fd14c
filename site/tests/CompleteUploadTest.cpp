#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "site/CompleteUpload.h"
#include "site/res/SiteIds.h"
#include "tests/support/ModalDriver.h"

using testing_support::itemText;
using testing_support::runModal;

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

}  // namespace
