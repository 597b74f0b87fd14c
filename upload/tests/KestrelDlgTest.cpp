#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/state/AppState.h"
#include "tests/support/ModalDriver.h"
#include "upload/KestrelDlg.h"
#include "upload/res/UploadIds.h"
#include "upload/tests/DialogScripts.h"
#include "win/Handles.h"

using namespace testing_support;

namespace {

// The site's category lines: an update line, then three categories.
const std::vector<std::string> kCategories = {"1031=url=X", "12;Movies", "13;Music", "14;Games"};

std::string comboText(HWND dlg, int id, int index) {
    char text[256] = {};
    SendDlgItemMessageA(dlg, id, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int comboSel(HWND dlg, int id) {
    return int(SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0));
}

// The user picks an entry: the selection moves and the dialog hears of the change.
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
    CKestrelDlg dialog(loggedIn(kCategories));
    const auto run = runModal(dialog, [](HWND dlg) {
        char caption[256] = {};
        GetWindowTextA(dlg, caption, sizeof caption);
        EXPECT_EQ(std::string(caption), std::string(app::kTitle) + " - " + app::kNotice);
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
    CKestrelDlg dialog(loggedIn(kCategories));
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
    EXPECT_EQ(aboutTitle, app::kTitle);
}

TEST(KestrelDlg, CategoryRules) {
    CKestrelDlg dialog(loggedIn(kCategories));
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

// Enter and Escape in the fields of a filled form leave it as it is; Enter in the description is a
// line end, Escape closes an open drop-down list, and Enter on a button presses it.
TEST(KestrelDlg, EnterAndEscapeNeverThrowTheFormAway) {
    CKestrelDlg dialog(loggedIn(kCategories));
    bool openAfterKeys = false;
    std::string name, description, category;
    bool listClosed = false;
    const auto run = runModal(dialog, [&](HWND dlg) {
        fillFileForm(dlg, 2, "A film.");
        postKey(GetDlgItem(dlg, IDC_NAME), VK_RETURN);
        postKey(GetDlgItem(dlg, IDC_DESCRIPTION), VK_ESCAPE);
        postKey(comboEdit(dlg, IDC_CATEGORY), VK_ESCAPE);
        postKey(GetDlgItem(dlg, IDC_PATH), VK_RETURN);
        postKey(GetDlgItem(dlg, IDC_UPLOAD_FILE), VK_ESCAPE);
        postKey(GetDlgItem(dlg, IDC_DESCRIPTION), VK_RETURN);  // the last key, seen last
        waitUntil([&] { return itemText(dlg, IDC_DESCRIPTION).find("\r\n") != std::string::npos; });
        openAfterKeys = IsWindowVisible(dlg) != FALSE;
        name = itemText(dlg, IDC_NAME);
        description = itemText(dlg, IDC_DESCRIPTION);
        category = itemText(dlg, IDC_CATEGORY);

        SendDlgItemMessageA(dlg, IDC_SUBCATEGORY1, CB_SHOWDROPDOWN, TRUE, 0);
        postKey(comboEdit(dlg, IDC_SUBCATEGORY1), VK_ESCAPE);
        listClosed =
            waitUntil([&] { return SendDlgItemMessageA(dlg, IDC_SUBCATEGORY1, CB_GETDROPPEDSTATE, 0, 0) == 0; });
        postKey(GetDlgItem(dlg, IDCANCEL), VK_RETURN);
    });
    EXPECT_TRUE(openAfterKeys);
    EXPECT_EQ(name, "My Film");
    const std::size_t lineEnd = description.find("\r\n");
    ASSERT_NE(lineEnd, std::string::npos);
    EXPECT_EQ(description.erase(lineEnd, 2), "A film.");
    EXPECT_EQ(category, "Music");
    EXPECT_TRUE(listClosed);
    EXPECT_EQ(run.result, IDCANCEL);  // Enter on Quit
    EXPECT_FALSE(run.leftOpen);
}

// With the keyboard alone every subcategory is reachable: a step onto the main category goes on
// to the next entry. A mouse choice of it still resets the list.
TEST(KestrelDlg, TheKeyboardStepsOverTheMainCategory) {
    CKestrelDlg dialog(loggedIn(
        {"1;Movies", "2;TV Shows", "3;Music", "4;Games", "5;Software", "6;Books", "7;Documentaries", "8;Anime"}));
    std::vector<std::string> down, up;
    int afterMouse = -1;
    runModal(dialog, [&](HWND dlg) {
        choose(dlg, IDC_CATEGORY, 4);  // Games
        const HWND first = comboEdit(dlg, IDC_SUBCATEGORY1);
        const auto press = [&](UINT key, std::vector<std::string>& seen) {
            const std::string before = itemText(dlg, IDC_SUBCATEGORY1);
            postKey(first, key);
            waitUntil([&] { return itemText(dlg, IDC_SUBCATEGORY1) != before; }, 2000);
            seen.push_back(itemText(dlg, IDC_SUBCATEGORY1));
        };
        for (int i = 0; i < 8; ++i)
            press(VK_DOWN, down);
        for (int i = 0; i < 4; ++i)
            press(VK_UP, up);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, IDC_SUBCATEGORY2)));
        choose(dlg, IDC_SUBCATEGORY1, 4);
        afterMouse = comboSel(dlg, IDC_SUBCATEGORY1);
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(down, (std::vector<std::string>{"Movies", "TV Shows", "Music", "Software", "Books", "Documentaries",
                                              "Anime", "Anime"}));
    EXPECT_EQ(up, (std::vector<std::string>{"Documentaries", "Books", "Software", "Music"}));
    EXPECT_EQ(afterMouse, 0);
}

// Picture files of given sizes in the temp folder: a GIF's start, padded (0: an empty file).
std::string pictureFile(const std::string& name, size_t size) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + name;
    const std::string start("GIF89a\x01\0\x01\0", 10);
    std::ofstream(path, std::ios::binary) << (size == 0 ? "" : start + std::string(size - start.size(), 'p'));
    return path;
}

TEST(KestrelDlg, PictureRowsNumberedSizedAndRenumbered) {
    CKestrelDlg dialog(loggedIn(kCategories));
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

HWND focusOf(HWND dlg) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info);
    return info.hwndFocus;
}

// With the keyboard alone: the list shows where it stands when it gets the focus, a row chosen
// with the arrow keys offers Remove Picture, Tab goes there and Space removes the row.
TEST(KestrelDlg, APictureIsRemovedWithTheKeyboardAlone) {
    CKestrelDlg dialog(loggedIn(kCategories));
    const std::string a = pictureFile("a.jpg", 100), b = pictureFile("b.png", 100), c = pictureFile("c.gif", 100);
    int focusedRow = -1;
    bool offered = false, tabbed = false;
    std::vector<std::string> left;
    runModal(dialog, [&](HWND dlg) {
        for (const std::string& path : {a, b, c})
            EXPECT_TRUE(dialog.addPicture(path));
        const HWND list = GetDlgItem(dlg, IDC_PICTURES), remove = GetDlgItem(dlg, IDC_REMOVE_PICTURE);
        PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        waitUntil([&] { return focusOf(dlg) == list; });
        focusedRow = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
        postKey(list, VK_DOWN);
        offered = waitUntil([&] { return visible(dlg, IDC_REMOVE_PICTURE); });
        postKey(list, VK_TAB);
        tabbed = waitUntil([&] { return focusOf(dlg) == remove; });
        postKey(remove, VK_SPACE);
        waitUntil([&] { return rows(dlg, 1).size() == 2; });
        left = rows(dlg, 1);
        pressButton(dlg, IDCANCEL);
    });
    EXPECT_EQ(focusedRow, 0);
    EXPECT_TRUE(offered);
    EXPECT_TRUE(tabbed);
    EXPECT_EQ(left, (std::vector<std::string>{"a.jpg", "c.gif"}));
}

TEST(KestrelDlg, RowOneHundredSortsBetweenTenAndEleven) {
    CKestrelDlg dialog(loggedIn(kCategories));
    runModal(dialog, [&](HWND dlg) {
        for (int i = 0; i < 100; ++i)
            dialog.addPicture(pictureFile("p" + std::to_string(i) + ".jpg", 10));
        const std::vector<std::string> numbers = rows(dlg, 0);
        ASSERT_EQ(numbers.size(), 100u);
        EXPECT_EQ(numbers[9], "10");
        EXPECT_EQ(numbers[10], "100");
        EXPECT_EQ(numbers[11], "11");
        pressButton(dlg, IDCANCEL);
    });
}

// A picture that cannot be opened, one of 2 GiB or more, a file that is no picture and a picture
// already listed (in other letters too) are refused with a message each.
TEST(KestrelDlg, APictureThatCannotGoIsNotAdded) {
    CKestrelDlg dialog(loggedIn(kCategories));
    const std::string huge = pictureFile("huge.jpg", 0);
    {
        win::CHandle file(CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = 8LL << 30;
        ASSERT_TRUE(SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    const std::string text = pictureFile("text.jpg", 0);
    std::ofstream(text, std::ios::binary) << "A GIF picture, or so it says";
    const std::string listed = pictureFile("Listed.gif", 100);
    std::string other = listed;
    for (char& c : other)
        c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::vector<std::string> boxes;
    runModal(dialog, [&](HWND dlg) {
        EXPECT_TRUE(dialog.addPicture(listed));
        std::thread add([&] {
            for (const std::string& path : {std::string("C:\\no\\such\\picture.jpg"), huge, text, listed, other})
                EXPECT_FALSE(dialog.addPicture(path)) << path;
        });
        for (int i = 0; i < 5; ++i)
            boxes.push_back(answerMessageBox(dlg));
        add.join();
        EXPECT_EQ(rows(dlg, 1), std::vector<std::string>{"Listed.gif"});
        pressButton(dlg, IDCANCEL);
    });
    DeleteFileA(huge.c_str());
    const std::string refused = "This picture cannot be added:\n\n";
    EXPECT_EQ(boxes, (std::vector<std::string>{
                         "Open Error\n",
                         refused + huge + ": it is 8 GB; a picture must be smaller than 2 GB",
                         refused + text + ": it is not a JPEG, PNG or GIF picture",
                         refused + listed + ": it is in the list already",
                         refused + other + ": it is in the list already",
                     }));
}

}  // namespace
