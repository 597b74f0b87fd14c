#include "win/MessageFilter.h"

#include <utility>

namespace win {

namespace {
thread_local CMessageFilter* t_filter = nullptr;
}

// One hook per thread, set by the outermost filter; the ones inside it only take its place.
CMessageFilter::CMessageFilter(Filter filter) : m_filter(std::move(filter)), m_hidden(t_filter) {
    m_hook = m_hidden ? nullptr : SetWindowsHookExA(WH_MSGFILTER, hookProc, nullptr, GetCurrentThreadId());
    t_filter = this;
}

CMessageFilter::~CMessageFilter() {
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    t_filter = m_hidden;
}

LRESULT CALLBACK CMessageFilter::hookProc(int code, WPARAM wParam, LPARAM lParam) {
    // Called from inside the system's dialog loop: nothing may be thrown through it.
    try {
        if (code == MSGF_DIALOGBOX && t_filter && t_filter->m_filter(*reinterpret_cast<MSG*>(lParam)))
            return TRUE;
    } catch (...) {
        OutputDebugStringA("exception in a message filter");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace win
