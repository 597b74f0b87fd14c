#pragma once
// The program's message box: captioned with the caption the program sets at start-up (its
// title), owned by the program's active window, or by the window a CMessageOwner names for the
// thread, with the icon of win::withDefaultIcon when the type names none.

#include <windows.h>

#include <string>

int appMessageBox(const std::string& text, UINT type = MB_OK);

namespace win {

// The program's icon rule for every box it shows: a box whose type names no icon gets the
// exclamation icon when it has only OK (or OK and Cancel), the question icon when it asks Yes or
// No (with or without Cancel). Other types pass unchanged.
UINT withDefaultIcon(UINT type);

// The caption of every appMessageBox. Set once at start-up, before any other thread runs.
void setMessageCaption(const std::string& caption);
}  // namespace win

// While it lives, every box of this thread is owned by `owner`, which is disabled while a box
// shows. A worker thread has no active window of its own; its boxes belong to the dialog it
// works for, in front of it.
class CMessageOwner {
  public:
    explicit CMessageOwner(HWND owner);
    ~CMessageOwner();
    CMessageOwner(const CMessageOwner&) = delete;
    CMessageOwner& operator=(const CMessageOwner&) = delete;

  private:
    HWND m_previous;
};
