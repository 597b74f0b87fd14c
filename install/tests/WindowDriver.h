#pragma once
// Finding and answering the program's windows from a test thread or another process: message
// boxes (read their text, press a button) and dialogs by caption.

#include <windows.h>

#include <string>

namespace install_tests {

// A visible message box captioned `caption` that belongs to `processId` (0: this process).
HWND waitForMessageBox(const std::string& caption, DWORD processId = 0, DWORD limitMs = 15000);
// A visible dialog of `processId` whose caption is exactly `caption`.
HWND waitForDialog(const std::string& caption, DWORD processId = 0, DWORD limitMs = 15000);
// Any visible dialog of `processId` with an edit field (not a message box).
HWND waitForAnyDialog(DWORD processId, DWORD limitMs = 15000);
// The message text of a box.
std::string messageText(HWND box);
// Reads the box's text, presses `button` (posted, so the caller never waits on the box's
// owner) and waits until the box is gone. Empty text when no box appeared.
std::string answerMessageBox(const std::string& caption, int button, DWORD processId = 0);
std::string controlText(HWND dialog, int id);
void setControlText(HWND dialog, int id, const std::string& text);
// The click, posted.
void click(HWND dialog, int id);
bool waitGone(HWND window, DWORD limitMs = 15000);

}  // namespace install_tests
