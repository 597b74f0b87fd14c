#include "install/tests/WindowDriver.h"

namespace install_tests {

namespace {

struct Search {
    std::string caption;
    DWORD processId;
    bool messageBox;
    bool anyCaption = false;
    HWND found = nullptr;
};

BOOL CALLBACK visit(HWND hwnd, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != search.processId)
        return TRUE;
    char caption[512] = {};
    GetWindowTextA(hwnd, caption, sizeof caption);
    if (!search.anyCaption && search.caption != caption)
        return TRUE;
    // A message box has no edit field; every dialog of the program that shares its caption has.
    const bool hasEdit = FindWindowExA(hwnd, nullptr, "Edit", nullptr) != nullptr;
    if (search.messageBox == hasEdit)
        return TRUE;
    search.found = hwnd;
    return FALSE;
}

HWND waitFor(const std::string& caption, DWORD processId, bool messageBox, DWORD limitMs, bool anyCaption = false) {
    Search search{caption, processId != 0 ? processId : GetCurrentProcessId(), messageBox, anyCaption};
    const ULONGLONG end = GetTickCount64() + limitMs;
    do {
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(10);
    } while (GetTickCount64() < end);
    return nullptr;
}

}  // namespace

HWND waitForMessageBox(const std::string& caption, DWORD processId, DWORD limitMs) {
    return waitFor(caption, processId, true, limitMs);
}

HWND waitForDialog(const std::string& caption, DWORD processId, DWORD limitMs) {
    return waitFor(caption, processId, false, limitMs);
}

HWND waitForAnyDialog(DWORD processId, DWORD limitMs) {
    return waitFor(std::string(), processId, false, limitMs, true);
}

std::string messageText(HWND box) {
    char text[2048] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

std::string answerMessageBox(const std::string& caption, int button, DWORD processId) {
    HWND box = waitForMessageBox(caption, processId);
    if (box == nullptr)
        return std::string();
    const std::string text = messageText(box);
    click(box, button);
    waitGone(box);
    return text;
}

std::string controlText(HWND dialog, int id) {
    char text[2048] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void setControlText(HWND dialog, int id, const std::string& text) {
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                        5000, nullptr);
}

void click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool waitGone(HWND window, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
    return true;
}

}  // namespace install_tests
