#include <gtest/gtest.h>

#include <windows.h>

#include "client/ClientDialogs.h"
#include "client/res/ClientIds.h"
#include "tests/support/ModalDriver.h"

using testing_support::itemText;
using testing_support::pressButton;
using testing_support::runModal;

namespace {

const char kPrompt[] = "Please Locate your Client Software\n(uTorrent, BitTorrent or qBittorrent):";

TEST(FindExe, OpensWithTheGivenPathAndGivesATypedOne) {
    CFindExe dialog("C:\\old\\uTorrent.exe");
    std::string shown;
    const auto run = runModal(dialog, [&](HWND dlg) {
        shown = itemText(dlg, IDC_EXE_PATH);
        pressButton(dlg, IDC_EXE_PROMPT);  // nothing happens
        SetDlgItemTextA(dlg, IDC_EXE_PATH, "C:\\nowhere\\client.exe");
        pressButton(dlg, IDOK);
    });
    EXPECT_EQ(run.result, IDOK);
    EXPECT_EQ(shown, "C:\\old\\uTorrent.exe");
    EXPECT_EQ(dialog.path(), "C:\\nowhere\\client.exe");
}

TEST(FindExe, AnEmptyFieldIsRefusedButEmptiesThePath) {
    CFindExe dialog("C:\\old\\uTorrent.exe");
    std::string promptBefore, promptAfter;
    bool stillOpen = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        promptBefore = itemText(dlg, IDC_EXE_PROMPT);
        SetDlgItemTextA(dlg, IDC_EXE_PATH, "");
        pressButton(dlg, IDOK);
        stillOpen = IsWindowVisible(dlg) != FALSE;
        promptAfter = itemText(dlg, IDC_EXE_PROMPT);
        SendMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(promptBefore, kPrompt);
    EXPECT_EQ(promptAfter, "You have to select a Client Software");
    EXPECT_EQ(dialog.path(), "");
}

TEST(FindExe, TheCloseBoxKeepsThePath) {
    CFindExe dialog("C:\\kept.exe");
    const auto run = runModal(dialog, [](HWND dlg) {
        SetDlgItemTextA(dlg, IDC_EXE_PATH, "C:\\typed.exe");
        SendMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_EQ(dialog.path(), "C:\\kept.exe");
}

TEST(SelectClient, EachButtonGivesItsIdAndClosingCancels) {
    const int pressed[] = {IDC_UTORRENT, IDC_AZUREUS};
    for (int id : pressed) {
        SelectClient dialog;
        const auto run = runModal(dialog, [id](HWND dlg) { pressButton(dlg, id); });
        EXPECT_EQ(run.result, id);
    }
    SelectClient dialog;
    const auto run = runModal(dialog, [](HWND dlg) { SendMessageA(dlg, WM_CLOSE, 0, 0); });
    EXPECT_EQ(run.result, IDCANCEL);
}

}  // namespace
