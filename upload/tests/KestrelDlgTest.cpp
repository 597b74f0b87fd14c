#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/AppState.h"
#include "app/res/resource.h"
#include "tests/support/ModalDriver.h"
#include "upload/KestrelDlg.h"
#include "upload/tests/DialogScripts.h"

using namespace testing_support;

namespace {

void setSession() {
    AppState& state = appState();
    state.setIdentity();
    state.m_session.m_categories = {"1031=url=X", "12;Movies", "13;Music", "14;Games"};
}

std::string comboText(HWND dlg, int id, int index) {
    char text[256] = {};
    SendDlgItemMessageA(dlg, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int comboSel(HWND dlg, int id) {
    return int(SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0));
}

// The user picks an entry: the selection moves and the dialog hears of the change.
void choose(HWND dlg, int id, int index) {
    SendDlgItemMessageA(dlg, id, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

bool enabled(HWND dlg, int id) {
    return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE;
}

bool visible(HWND dlg, int id) {
    return IsWindowVisible(GetDlgItem(dlg, id)) != FALSE;
}

std::vector<std::string> rows(HWND dlg, int column) {
    std::vector<std::string> texts;
    const HWND list = GetDlgItem(dlg, IDC_PICTURES);
    const int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[260] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

void selectRow(HWND dlg, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageA(dlg, IDC_PICTURES, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

TEST(KestrelDlg, StartState) {
    setSession();
    CKestrelDlg dialog;
    const auto run = runModal(dialog, [](HWND dlg) {
        char caption[256] = {};
        GetWindowTextA(dlg, caption, sizeof caption);
        EXPECT_EQ(std::string(caption), appState().m_title + " - " + appState().m_notice);
        EXPECT_FALSE(enabled(dlg, IDC_PATH));
        EXPECT_FALSE(enabled(dlg, IDC_BROWSE));
        EXPECT_EQ(SendDlgItemMessageA(dlg, IDC_UPLOAD_FILE, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(visible(dlg, IDC_REMOVE_PICTURE));
        EXPECT_FALSE(visible(dlg, IDC_STATUS));
        EXPECT_EQ(itemText(dlg, IDC_UPLOAD), "Upload Torrent");

        const int lists[] = {IDC_CATEGORY, IDC_SUBCATEGORY1, IDC_SUBCATEGORY2, IDC_SUBCATEGORY3, IDC_SUBCATEGORY4};
        for (int id : lists) {
            ASSERT_EQ(SendDlgItemMessageA(dlg, id, CB_GETCOUNT, 0, 0), 4);
            EXPECT_EQ(comboText(dlg, id, 0), id == IDC_CATEGORY ? "Select Category" : "(optional)");
            EXPECT_EQ(comboText(dlg, id, 1), "Movies");
            EXPECT_EQ(SendDlgItemMessageA(dlg, id, CB_GETITEMDATA, 1, 0), 12);
            EXPECT_EQ(comboText(dlg, id, 2), "Music");
            EXPECT_EQ(SendDlgItemMessageA(dlg, id, CB_GETITEMDATA, 0, 0), -1);
            EXPECT_EQ(comboSel(dlg, id), 0);
            EXPECT_EQ(enabled(dlg, id), id == IDC_CATEGORY);
        }

        // The folder choice keeps the typed path and enables the path box.
        pressButton(dlg, IDC_UPLOAD_FOLDER);
        EXPECT_TRUE(enabled(dlg, IDC_PATH));
        EXPECT_TRUE(enabled(dlg, IDC_BROWSE));
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(run.result, IDCANCEL);
    EXPECT_FALSE(dialog.m_fileMode);
}

TEST(KestrelDlg, TheSystemMenuOpensTheAboutBox) {
    setSession();
    CKestrelDlg dialog;
    std::string menuText, aboutTitle;
    runModal(dialog, [&](HWND dlg) {
        const HMENU menu = GetSystemMenu(dlg, FALSE);
        char text[128] = {};
        GetMenuStringA(menu, 16, text, sizeof text, MF_BYCOMMAND);
        menuText = text;
        PostMessageA(dlg, WM_SYSCOMMAND, 16, 0);
        const HWND about = waitForWindow("About Seedwright", dlg, IDC_ABOUT_TITLE);
        ASSERT_NE(about, nullptr);
        aboutTitle = itemText(about, IDC_ABOUT_TITLE);
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        waitUntil([about] { return IsWindow(about) == FALSE; });
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(menuText, "&About Seedwright...");
    EXPECT_EQ(aboutTitle, appState().m_title);
}

TEST(KestrelDlg, CategoryRules) {
    setSession();
    CKestrelDlg dialog;
    runModal(dialog, [](HWND dlg) {
        choose(dlg, IDC_CATEGORY, 1);  // Movies
        EXPECT_TRUE(enabled(dlg, IDC_SUBCATEGORY1));
        choose(dlg, IDC_SUBCATEGORY1, 1);  // Movies again
        EXPECT_EQ(comboSel(dlg, IDC_SUBCATEGORY1), 0);
        EXPECT_TRUE(enabled(dlg, IDC_SUBCATEGORY1));
        EXPECT_FALSE(enabled(dlg, IDC_SUBCATEGORY2));

        choose(dlg, IDC_SUBCATEGORY1, 2);  // Music
        EXPECT_TRUE(enabled(dlg, IDC_SUBCATEGORY2));
        choose(dlg, IDC_CATEGORY, 2);  // Music as the category too: all five reset
        const int lists[] = {IDC_CATEGORY, IDC_SUBCATEGORY1, IDC_SUBCATEGORY2, IDC_SUBCATEGORY3, IDC_SUBCATEGORY4};
        for (int id : lists)
            EXPECT_EQ(comboSel(dlg, id), 0) << id;
        EXPECT_FALSE(enabled(dlg, IDC_SUBCATEGORY1));
        pressButton(dlg, IDCANCEL);
    });
}

// Picture files of given sizes in the temp folder.
std::string pictureFile(const std::string& name, size_t size) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + name;
    std::ofstream(path, std::ios::binary) << std::string(size, 'p');
    return path;
}

TEST(KestrelDlg, PictureRowsNumberedSizedAndRenumbered) {
    setSession();
    CKestrelDlg dialog;
    const std::string a = pictureFile("a.jpg", 1048576), b = pictureFile("b.png", 1048577),
                      c = pictureFile("c.gif", 1023), d = pictureFile("d.bmp", 5000000);
    runModal(dialog, [&](HWND dlg) {
        EXPECT_TRUE(dialog.addPicture(a));
        EXPECT_TRUE(dialog.addPicture(b));
        EXPECT_TRUE(dialog.addPicture(c));
        EXPECT_EQ(rows(dlg, 0), (std::vector<std::string>{"01", "02", "03"}));
        EXPECT_EQ(rows(dlg, 1), (std::vector<std::string>{"a.jpg", "b.png", "c.gif"}));
        EXPECT_EQ(rows(dlg, 2), (std::vector<std::string>{"1024 KB", "1 MB", "0 KB"}));

        pressButton(dlg, IDC_REMOVE_PICTURE);  // nothing selected: nothing happens
        EXPECT_EQ(rows(dlg, 1).size(), 3u);
        selectRow(dlg, 1);
        pressButton(dlg, IDC_REMOVE_PICTURE);
        EXPECT_EQ(rows(dlg, 0), (std::vector<std::string>{"01", "02"}));
        EXPECT_EQ(rows(dlg, 1), (std::vector<std::string>{"a.jpg", "c.gif"}));
        EXPECT_TRUE(dialog.addPicture(d));
        EXPECT_EQ(rows(dlg, 0), (std::vector<std::string>{"01", "02", "03"}));
        EXPECT_EQ(rows(dlg, 1).back(), "d.bmp");
        EXPECT_EQ(rows(dlg, 2).back(), "4 MB");
        pressButton(dlg, IDCANCEL);
    });
    ASSERT_EQ(dialog.m_pictures.size(), 0u);  // destroyed with the window
}

TEST(KestrelDlg, RowOneHundredSortsBetweenTenAndEleven) {
    setSession();
    CKestrelDlg dialog;
    const std::string p = pictureFile("p.jpg", 10);
    runModal(dialog, [&](HWND dlg) {
        for (int i = 0; i < 100; ++i)
            dialog.addPicture(p);
        const std::vector<std::string> numbers = rows(dlg, 0);
        ASSERT_EQ(numbers.size(), 100u);
        EXPECT_EQ(numbers[9], "10");
        EXPECT_EQ(numbers[10], "100");
        EXPECT_EQ(numbers[11], "11");
        pressButton(dlg, IDCANCEL);
    });
}

TEST(KestrelDlg, AMissingPictureIsNotAdded) {
    setSession();
    CKestrelDlg dialog;
    std::string box;
    runModal(dialog, [&](HWND dlg) {
        std::thread add([&] { dialog.addPicture("C:\\no\\such\\picture.jpg"); });
        box = answerMessageBox(dlg);
        add.join();
        EXPECT_TRUE(rows(dlg, 0).empty());
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(box, "Open Error\n");
}

}  // namespace
