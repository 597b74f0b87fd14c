// Finding another process's windows and working their controls through messages.
#include "tests/support/UiDriver.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "tests/support/ModalDriver.h"

namespace ui {

namespace {

constexpr UINT kSendLimitMs = 5000;

struct Search {
    const WindowQuery* query;
    HWND found = nullptr;
};

bool matches(HWND window, const WindowQuery& query) {
    if (!IsWindowVisible(window))
        return false;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (query.className != className)
        return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (query.processId != 0 && processId != query.processId)
        return false;
    if (!query.caption.empty() && windowText(window) != query.caption)
        return false;
    if (query.withItem != 0 && GetDlgItem(window, query.withItem) == nullptr)
        return false;
    // Every dialog of the program that shares the boxes' caption has an edit field.
    if (query.messageBox && FindWindowExA(window, nullptr, "Edit", nullptr) != nullptr)
        return false;
    return true;
}

BOOL CALLBACK visit(HWND window, LPARAM param) {
    Search& search = *reinterpret_cast<Search*>(param);
    if (!matches(window, *search.query))
        return TRUE;
    search.found = window;
    return FALSE;
}

LRESULT sendWithLimit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendLimitMs, &result))
        return -1;
    return LRESULT(result);
}

std::wstring widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), wide.data(), int(wide.size()))));
    return wide;
}

std::string narrow(const std::wstring& wide) {
    std::string text(wide.size() * 2 + 1, '\0');
    text.resize(size_t(WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), text.data(), int(text.size()),
                                           nullptr, nullptr)));
    return text;
}

}  // namespace

CProcess::~CProcess() {
    if (m_process.valid() && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT)
        TerminateProcess(m_process.get(), 1);
}

bool CProcess::start(const std::string& program, const std::string& arguments, const std::string& folder) {
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        m_startError = GetLastError();
        return false;
    }
    m_process.reset(info.hProcess);
    CloseHandle(info.hThread);
    m_id = info.dwProcessId;
    return true;
}

bool CProcess::attach(DWORD id) {
    m_process.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    m_id = m_process.valid() ? id : 0;
    return m_process.valid();
}

CWindowInFront::CWindowInFront()
    : m_window(CreateWindowExA(0,
                               "STATIC",
                               "Another program",
                               WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               40,
                               40,
                               320,
                               120,
                               nullptr,
                               nullptr,
                               GetModuleHandleA(nullptr),
                               nullptr)) {
    if (m_window != nullptr)
        SetForegroundWindow(m_window);
}

CWindowInFront::~CWindowInFront() {
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

bool CProcess::waitEnd(DWORD limitMs) const {
    return m_process.valid() && WaitForSingleObject(m_process.get(), limitMs) == WAIT_OBJECT_0;
}

std::string CProcess::state() const {
    if (!m_process.valid())
        return "did not start (error " + std::to_string(m_startError) + ")";
    DWORD code = 0;
    if (!waitEnd(0) || !GetExitCodeProcess(m_process.get(), &code))
        return "runs";
    char hex[16];
    wsprintfA(hex, "0x%08lX", static_cast<unsigned long>(code));
    return "ended with exit code " + std::string(hex);
}

HWND findWindow(const WindowQuery& query) {
    Search search{&query};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

std::string windowsOf(DWORD processId) {
    std::vector<HWND> windows;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&windows));
    std::string text;
    for (HWND window : windows) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != processId)
            continue;
        char className[64] = "";
        GetClassNameA(window, className, sizeof className);
        text += std::string(text.empty() ? "" : ", ") + className + " \"" + windowText(window) + "\"" +
                (IsWindowVisible(window) ? "" : " (hidden)");
    }
    return text.empty() ? "none" : text;
}

HWND waitForWindow(const WindowQuery& query, DWORD limitMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(query)) != nullptr; }, limitMs);
    return found;
}

bool waitGone(HWND window, DWORD limitMs) {
    return waitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, limitMs);
}

bool waitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    return testing_support::waitUntil(condition, limitMs);
}

std::string windowText(HWND window) {
    char text[4096] = {};
    if (sendWithLimit(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)) < 0)
        return std::string();
    return text;
}

std::string itemText(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    return item ? testing_support::shownText(item, windowText(item)) : std::string();
}

bool setItemText(HWND dialog, int id, const std::string& text) {
    const HWND item = GetDlgItem(dialog, id);
    return item && setWindowText(item, text);
}

bool setWindowText(HWND window, const std::string& text) {
    return sendWithLimit(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) == TRUE;
}

bool itemVisible(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    return item && IsWindowVisible(item);
}

bool itemEnabled(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    return item && IsWindowEnabled(item);
}

void pressButton(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void clickButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void mouseClick(HWND dialog, int id) {
    RECT r{};
    if (!GetWindowRect(GetDlgItem(dialog, id), &r))
        return;
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
}

bool isChecked(HWND dialog, int id) {
    return sendWithLimit(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void pressKey(HWND window, UINT virtualKey) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus &&
        (info.hwndFocus == window || IsChild(window, info.hwndFocus)))
        target = info.hwndFocus;
    pressKeyIn(target, virtualKey);
}

void pressKeyIn(HWND control, UINT virtualKey) {
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(control, WM_KEYDOWN, virtualKey, LPARAM(1 | (scan << 16)));
    PostMessageA(control, WM_KEYUP, virtualKey, LPARAM(1 | (scan << 16) | (3u << 30)));
}

void pressAltF4(HWND window) {
    const UINT scan = MapVirtualKeyA(VK_F4, MAPVK_VK_TO_VSC);
    // Bit 29: the Alt key is held down.
    PostMessageA(window, WM_SYSKEYDOWN, VK_F4, LPARAM(1 | (scan << 16) | (1u << 29)));
    PostMessageA(window, WM_SYSKEYUP, VK_F4, LPARAM(1 | (scan << 16) | (1u << 29) | (3u << 30)));
}

HWND comboEdit(HWND dialog, int id) {
    return FindWindowExA(GetDlgItem(dialog, id), nullptr, "Edit", nullptr);
}

// Combo box texts travel as UTF-16: across processes Wine hands the A variants' answers back
// unconverted.
std::vector<std::string> comboEntries(HWND dialog, int id) {
    std::vector<std::string> entries;
    const HWND combo = GetDlgItem(dialog, id);
    const LRESULT count = sendWithLimit(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, WPARAM(i), 0, SMTO_ABORTIFHUNG, kSendLimitMs, &length) ||
            LRESULT(length) < 0)
            break;
        std::wstring entry(size_t(length) + 1, L'\0');
        SendMessageTimeoutW(combo, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(entry.data()), SMTO_ABORTIFHUNG,
                            kSendLimitMs, nullptr);
        entry.resize(entry.find(L'\0'));
        entries.push_back(narrow(entry));
    }
    return entries;
}

bool selectComboEntry(HWND dialog, int id, const std::string& entry) {
    const HWND combo = GetDlgItem(dialog, id);
    const std::wstring wide = widen(entry);
    DWORD_PTR index = 0;
    if (!SendMessageTimeoutW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(wide.c_str()),
                             SMTO_ABORTIFHUNG, kSendLimitMs, &index) ||
        LRESULT(index) < 0 || sendWithLimit(combo, CB_SETCURSEL, WPARAM(index), 0) != LRESULT(index))
        return false;
    // Sent, as the combo box sends it: whatever the dialog does about the choice is done on return.
    return sendWithLimit(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo)) >= 0;
}

HWND waitForDialog(DWORD processId, const std::string& caption, DWORD limitMs) {
    WindowQuery query;
    query.processId = processId;
    query.caption = caption;
    return waitForWindow(query, limitMs);
}

HWND waitForMessageBox(DWORD processId, const std::string& caption, DWORD limitMs) {
    WindowQuery query;
    query.processId = processId;
    query.caption = caption;
    query.messageBox = true;
    return waitForWindow(query, limitMs);
}

std::string messageText(HWND box) {
    // A message box shows its text as it is, "&" included.
    return windowText(GetDlgItem(box, 0xFFFF));
}

std::string answerMessageBox(DWORD processId, const std::string& caption, int button, DWORD limitMs) {
    const HWND box = waitForMessageBox(processId, caption, limitMs);
    if (box == nullptr)
        return std::string();
    const std::string text = messageText(box);
    pressButton(box, button);
    waitGone(box);
    return text;
}

}  // namespace ui
