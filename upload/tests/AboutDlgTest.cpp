#include <gtest/gtest.h>

#include "app/state/AppState.h"
#include "tests/support/ModalDriver.h"
#include "upload/AboutDlg.h"
#include "upload/res/UploadIds.h"
#include "win/ResizeDlg.h"

using testing_support::itemText;
using testing_support::runModal;

namespace {

std::string caption(HWND dialog) {
    char text[128] = {};
    GetWindowTextA(dialog, text, sizeof text);
    return text;
}

// True when the control's text, in the control's font, fits its width.
bool textFits(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    char text[256] = {};
    const int length = GetWindowTextA(control, text, sizeof text);
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32A(dc, text, length, &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    return extent.cx <= client.right;
}

TEST(AboutDlg, ShowsTitleAndNoticeAndEndsWithOk) {
    CAboutDlg dialog(app::kTitle, app::kNotice);
    std::string title, notice, windowCaption;
    bool hasGrip = false;
    bool hasIcon = false;
    bool fits = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        windowCaption = caption(dlg);
        title = itemText(dlg, IDC_ABOUT_TITLE);
        notice = itemText(dlg, IDC_ABOUT_NOTICE);
        hasGrip = GetDlgItem(dlg, kSizeGripId) != nullptr;
        fits = textFits(dlg, IDC_ABOUT_TITLE) && textFits(dlg, IDC_ABOUT_NOTICE);
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
    EXPECT_EQ(notice, app::kNotice);
    EXPECT_TRUE(hasGrip);
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(fits);
}

}  // namespace
