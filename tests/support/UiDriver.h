#pragma once
// Drives the windows of another process the way a person would: finds them by caption and
// class, reads and sets texts, picks combo entries, ticks buttons, answers message boxes and the
// common dialogs. Everything waits with a time limit, and nothing waits on a window that hangs.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/Handles.h"

namespace ui {

constexpr DWORD kWaitMs = 20000;

// A program started as its own process. One still running when this goes is ended by force.
class CProcess {
  public:
    CProcess() = default;
    ~CProcess();
    CProcess(const CProcess&) = delete;
    CProcess& operator=(const CProcess&) = delete;

    // The command line is the quoted program, then `arguments`; `folder` empty: the caller's.
    bool start(const std::string& program, const std::string& arguments, const std::string& folder = {});
    // A process someone else started (the shell, say), followed from here on.
    bool attach(DWORD id);
    DWORD id() const { return m_id; }
    bool waitEnd(DWORD limitMs = kWaitMs) const;
    // Whether it runs, else how it ended: "runs", "ended with exit code N" or "did not start
    // (error N)".
    std::string state() const;

  private:
    win::CHandle m_process;
    DWORD m_id = 0;
    DWORD m_startError = 0;
};

// A plain window of this process put in front of every other, as the program a person switched
// to; it goes with the object.
class CWindowInFront {
  public:
    CWindowInFront();
    ~CWindowInFront();
    CWindowInFront(const CWindowInFront&) = delete;
    CWindowInFront& operator=(const CWindowInFront&) = delete;

    // It is the foreground window.
    bool inFront() const { return m_window != nullptr && GetForegroundWindow() == m_window; }

  private:
    HWND m_window = nullptr;
};

struct WindowQuery {
    DWORD processId = 0;  // 0: any process
    std::string caption;  // exact; empty: any
    std::string className = "#32770";
    int withItem = 0;         // a control with this id must be in it; 0: no such condition
    bool messageBox = false;  // a message box: no edit field in it
};

// A visible top-level window that answers the query; null when none does.
HWND findWindow(const WindowQuery& query);
HWND waitForWindow(const WindowQuery& query, DWORD limitMs = kWaitMs);
// The top-level windows of a process, by class and caption, for a report of what was there instead.
std::string windowsOf(DWORD processId);
bool waitGone(HWND window, DWORD limitMs = kWaitMs);
bool waitUntil(const std::function<bool()>& condition, DWORD limitMs = kWaitMs);

std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
bool setItemText(HWND dialog, int id, const std::string& text);
bool setWindowText(HWND window, const std::string& text);
bool itemVisible(HWND dialog, int id);
bool itemEnabled(HWND dialog, int id);

// The command a button sends when clicked, posted to its dialog.
void pressButton(HWND dialog, int id);
// A click on the button itself: check boxes and radio buttons change state as under the mouse.
void clickButton(HWND dialog, int id);
// A click with the mouse in the middle of the control, through the system's input queue: what a
// disabled window refuses, it refuses here too.
void mouseClick(HWND dialog, int id);
bool isChecked(HWND dialog, int id);
// A key pressed and released in the window's focused control (or the window itself), posted so
// that the window's own message loop sees it as it sees typing.
void pressKey(HWND window, UINT virtualKey);
// The same in `control`, wherever the focus is.
void pressKeyIn(HWND control, UINT virtualKey);
// Alt+F4 in `window`, as the keyboard sends it: the system turns it into a close command.
void pressAltF4(HWND window);
// The edit field of a combo box that has one: where typing into the box goes.
HWND comboEdit(HWND dialog, int id);

std::vector<std::string> comboEntries(HWND dialog, int id);
// Selects the entry and sends the selection-change notification a person's choice sends.
bool selectComboEntry(HWND dialog, int id, const std::string& entry);

// A dialog of `processId` captioned exactly `caption`.
HWND waitForDialog(DWORD processId, const std::string& caption, DWORD limitMs = kWaitMs);

// Message boxes: dialogs of `processId` captioned `caption` that hold no edit field.
HWND waitForMessageBox(DWORD processId, const std::string& caption, DWORD limitMs = kWaitMs);
std::string messageText(HWND box);
// Reads the next box, presses `button` and waits until the box has gone; empty when none came.
std::string answerMessageBox(DWORD processId, const std::string& caption, int button, DWORD limitMs = kWaitMs);

// The texts of a list view's rows, top to bottom, `columns` columns each. The list view lives in
// another process, so the request and its answer go through memory in that process.
std::vector<std::vector<std::string>> listViewRows(HWND list, int columns);

// The folder the file-open dialog of `processId` shows, once it is open; empty when none opened.
std::string fileOpenFolder(DWORD processId, DWORD limitMs = kWaitMs);
// The file-open dialog of `processId`: types `path` as the file name and presses Open.
bool fillFileOpen(DWORD processId, const std::string& path, DWORD limitMs = kWaitMs);
// The folder chooser of `processId`: selects `path` in its tree and presses OK.
bool fillFolderChooser(DWORD processId, const std::string& path, DWORD limitMs = kWaitMs);

}  // namespace ui
