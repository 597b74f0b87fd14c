#pragma once
// Helpers for scripts that drive the upload dialogs: finding the windows that the dialog or
// its worker opens (message boxes, the hashing and backend dialogs) anywhere in the process.

#include <windows.h>

#include <string>
#include <vector>

#include "upload/KestrelDlg.h"

namespace testing_support {

// What the program gives the main dialog after a login on `siteHost` whose category lines are
// `categories`: the title, the notice and that session.
KestrelInputs loggedIn(std::vector<std::string> categories, const std::string& siteHost = std::string());

// A visible dialog window of this process other than `exclude`, whose caption is `caption`
// (any caption when empty) and which holds a control with id `withItem` (any when 0).
HWND waitForWindow(const std::string& caption, HWND exclude, int withItem, DWORD limitMs = 20000);

// Waits for a message box (any window but `exclude`), returns its text and presses `button`.
// Empty text when none came within the limit.
std::string answerMessageBox(HWND exclude, int button = IDOK, DWORD limitMs = 20000);

// Clicks a button with a posted message, for commands whose handler opens a modal window.
void postButton(HWND dialog, int id);

// Selects the list's entry and tells the dialog, as a mouse choice does.
void choose(HWND dialog, int id, int index);
// The main dialog filled for a file upload of C:\Data\film.mkv named "My Film", with the category
// at `category` in its list.
void fillFileForm(HWND dialog, int category, const std::string& description);

// A key pressed and released in `window`, posted as typing is: the dialog's loop sees it.
void postKey(HWND window, UINT key);
// The edit field of a combo box with one, where its typing goes.
HWND comboEdit(HWND dialog, int id);

}  // namespace testing_support
