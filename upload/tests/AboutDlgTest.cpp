#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/ResizeDlg.h"
#include "app/res/resource.h"
#include "tests/support/ModalDriver.h"
#include "upload/AboutDlg.h"

using testing_support::itemText;
using testing_support::runModal;

namespace {

std::string caption(HWND dialog) {
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    return text;
}

TEST(AboutDlg, ShowsTitleAndNoticeAndEndsWithOk) {
    appState().setIdentity();
    CAboutDlg dialog;
    std::string title, notice, windowCaption;
    bool hasGrip = false;
    bool hasIcon = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        windowCaption = caption(dlg);
        title = itemText(dlg, IDC_ABOUT_TITLE);
        notice = itemText(dlg, IDC_ABOUT_NOTICE);
        hasGrip = GetDlgItem(dlg, kSizeGripId) != nullptr;
        for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                hasIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
        }
        // Enter presses the default button.
        PostMessageA(dlg, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_TRUE(run.seen);
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(windowCaption, "About Seedwright");
    EXPECT_EQ(title, "Seedwright V1.14");
    EXPECT_EQ(notice, appState().m_notice);
    EXPECT_TRUE(hasGrip);
    EXPECT_TRUE(hasIcon);
}

}  // namespace
