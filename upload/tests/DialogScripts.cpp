#include "upload/tests/DialogScripts.h"

#include <utility>
#include <vector>

#include "app/state/AppState.h"
#include "tests/support/ModalDriver.h"
#include "upload/res/UploadIds.h"

namespace testing_support {

namespace {

constexpr int kMessageBoxText = 0xFFFF;

struct Search {
    std::string caption;
    HWND exclude;
    int withItem;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    Search& search = *reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (process != GetCurrentProcessId() || hwnd == search.exclude || lstrcmpA(className, "#32770") != 0 ||
        !IsWindowVisible(hwnd))
        return TRUE;
    if (search.withItem != 0 && GetDlgItem(hwnd, search.withItem) == nullptr)
        return TRUE;
    if (!search.caption.empty()) {
        char caption[512] = {};
        GetWindowTextA(hwnd, caption, sizeof caption);
        if (search.caption != caption)
            return TRUE;
    }
    search.found = hwnd;
    return FALSE;
}

}  // namespace

KestrelInputs loggedIn(std::vector<std::string> categories, const std::string& siteHost) {
    KestrelInputs inputs;
    inputs.title = app::kTitle;
    inputs.notice = app::kNotice;
    inputs.session.m_categories = std::move(categories);
    inputs.session.m_siteHost = siteHost;
    return inputs;
}

HWND waitForWindow(const std::string& caption, HWND exclude, int withItem, DWORD limitMs) {
    Search search{caption, exclude, withItem};
    waitUntil(
        [&] {
            EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        limitMs);
    return search.found;
}

std::string answerMessageBox(HWND exclude, int button, DWORD limitMs) {
    const HWND box = waitForWindow("", exclude, kMessageBoxText, limitMs);
    if (!box)
        return std::string();
    char text[4096] = {};  // a message box shows its text as it is, "&" included
    GetDlgItemTextA(box, kMessageBoxText, text, sizeof text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    waitUntil([box] { return IsWindow(box) == FALSE; });
    return text;
}

void postButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void fillFileForm(HWND dialog, int category, const std::string& description) {
    pressButton(dialog, IDC_UPLOAD_FILE);
    SetDlgItemTextA(dialog, IDC_PATH, "C:\\Data\\film.mkv");
    choose(dialog, IDC_CATEGORY, category);
    SetDlgItemTextA(dialog, IDC_NAME, "My Film");
    SetDlgItemTextA(dialog, IDC_DESCRIPTION, description.c_str());
}

void postKey(HWND window, UINT key) {
    const LPARAM scan = LPARAM(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, key, 1 | scan);
    PostMessageA(window, WM_KEYUP, key, 1 | scan | (LPARAM(3) << 30));
}

HWND comboEdit(HWND dialog, int id) {
    return FindWindowExA(GetDlgItem(dialog, id), nullptr, "Edit", nullptr);
}

}  // namespace testing_support
