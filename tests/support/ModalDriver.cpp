#include "tests/support/ModalDriver.h"

#include <thread>
#include <vector>

namespace testing_support {

namespace {

struct Search {
    HWND found = nullptr;
};

BOOL CALLBACK findDialog(HWND hwnd, LPARAM param) {
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (lstrcmpA(className, "#32770") == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<Search*>(param)->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Answers every message box of this process, on any thread: a worker's box left open keeps a
// busy dialog from closing, and the test would hang instead of failing.
BOOL CALLBACK dismissMessageBox(HWND hwnd, LPARAM) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (processId == GetCurrentProcessId() && lstrcmpA(className, "#32770") == 0 &&
        GetDlgItem(hwnd, 0xFFFF) != nullptr) {
        for (const int button : {IDCANCEL, IDNO, IDOK})
            PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    return TRUE;
}

}  // namespace

ModalRun runModal(const std::function<INT_PTR()>& show, const DialogScript& script, DWORD limitMs) {
    ModalRun run;
    std::atomic<bool> ended{false};
    const DWORD uiThread = GetCurrentThreadId();
    std::thread driver([&] {
        HWND found = nullptr;
        while (!ended.load()) {
            Search search;
            EnumThreadWindows(uiThread, findDialog, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) {
                found = search.found;
                break;
            }
            Sleep(5);
        }
        if (found == nullptr)
            return;
        run.seen = true;
        script(found);
        if (!waitUntil([&] { return ended.load(); }, limitMs)) {
            run.leftOpen = true;
            while (!ended.load()) {
                EnumWindows(dismissMessageBox, 0);
                PostMessageA(found, WM_CLOSE, 0, 0);
                Sleep(200);
            }
        }
    });
    run.result = show();
    ended = true;
    driver.join();
    return run;
}

ModalRun runModal(win::CDialog& dialog, const DialogScript& script, DWORD limitMs) {
    return runModal([&dialog] { return dialog.DoModal(); }, script, limitMs);
}

std::string shownText(HWND control, const std::string& text) {
    char className[16] = {};
    GetClassNameA(control, className, sizeof className);
    const bool label = lstrcmpiA(className, "Static") == 0;
    if (!(label || lstrcmpiA(className, "Button") == 0) ||
        (label && (GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) != 0))
        return text;
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

std::string itemText(HWND dialog, int id) {
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return shownText(GetDlgItem(dialog, id), buffer);
}

void pressButton(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool waitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!condition()) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(5);
    }
    return true;
}

}  // namespace testing_support
