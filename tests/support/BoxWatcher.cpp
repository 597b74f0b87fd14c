#include "tests/support/BoxWatcher.h"

namespace {

struct Search {
    const std::string* caption;
    std::vector<HWND> found;
};

BOOL CALLBACK collectBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(window))
        return TRUE;
    char className[32] = {};
    GetClassNameA(window, className, sizeof className);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (std::string(className) == "#32770" && *search->caption == caption)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectText(HWND child, LPARAM param) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    char text[4096] = {};
    GetWindowTextA(child, text, sizeof text);
    if (*text)
        *reinterpret_cast<std::string*>(param) = text;
    return TRUE;
}

}  // namespace

CBoxWatcher::CBoxWatcher(std::string caption) : m_caption(std::move(caption)), m_thread([this] { run(); }) {}

CBoxWatcher::~CBoxWatcher() {
    m_stop = true;
    m_thread.join();
}

void CBoxWatcher::answer(std::initializer_list<int> buttons) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.insert(m_answers.end(), buttons);
}

std::vector<std::string> CBoxWatcher::texts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts;
}

void CBoxWatcher::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts.clear();
}

void CBoxWatcher::run() {
    while (!m_stop) {
        Search search{&m_caption, {}};
        EnumWindows(collectBox, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.found)
            handle(box);
        Sleep(20);
    }
}

void CBoxWatcher::handle(HWND box) {
    if (m_handled.count(box) && IsWindow(box))
        return;
    std::string text;
    EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&text));
    const bool yesNo = GetDlgItem(box, IDYES) != nullptr;
    int button = yesNo ? IDNO : IDOK;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.push_back(text);
        if (!m_answers.empty()) {
            button = m_answers.front();
            m_answers.pop_front();
        }
    }
    m_handled.insert(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}
