#pragma once
// A look at the messages of this thread's dialog loops before the dialog manager turns keys into
// commands (Enter into IDOK, Escape into IDCANCEL): a message-filter hook on the thread for as
// long as the object lives. The filter answers true for a message it has dealt with, which then
// goes no further; false leaves it to the dialog manager. Filters nest: the newest one sees
// the messages, the one it hides is back when it goes.

#include <windows.h>

#include <functional>

namespace win {

class CMessageFilter {
  public:
    using Filter = std::function<bool(MSG& message)>;

    explicit CMessageFilter(Filter filter);
    ~CMessageFilter();
    CMessageFilter(const CMessageFilter&) = delete;
    CMessageFilter& operator=(const CMessageFilter&) = delete;

  private:
    static LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam);

    Filter m_filter;
    HHOOK m_hook;  // null inside another filter, or when the system refused the hook
    CMessageFilter* m_hidden;
};

}  // namespace win
