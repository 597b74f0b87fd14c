#pragma once
// Drives a modal dialog from a second thread: the calling thread runs DoModal while the
// script waits for the dialog to appear and works it through messages, as a user would.

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "win/Dialog.h"

namespace testing_support {

using DialogScript = std::function<void(HWND dialog)>;

struct ModalRun {
    INT_PTR result = -1;
    bool seen = false;      // the script found the dialog and ran
    bool leftOpen = false;  // the dialog outlived the time limit and was closed by force
};

// Runs show() on this thread; script(dialog window) runs on another thread once a dialog of
// this thread is visible. A dialog that is still open limitMs after it appeared is sent
// WM_CLOSE and reported as leftOpen.
ModalRun runModal(const std::function<INT_PTR()>& show, const DialogScript& script, DWORD limitMs = 20000);
// The same for dialog.DoModal().
ModalRun runModal(win::CDialog& dialog, const DialogScript& script, DWORD limitMs = 20000);

// The text a control shows: a label's or a button's "&" marks its mnemonic and is not shown ("&&"
// shows one "&"), unless the label takes its text as it is.
std::string shownText(HWND control, const std::string& text);

// What scripts do with a dialog of another thread. Texts as shown.
std::string itemText(HWND dialog, int id);
void pressButton(HWND dialog, int id);  // the command a click sends
bool waitUntil(const std::function<bool()>& condition, DWORD limitMs = 10000);

}  // namespace testing_support
