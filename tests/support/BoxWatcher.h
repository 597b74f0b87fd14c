#pragma once
// Sees and answers the program's message boxes from a thread of its own, so a test can run
// code that shows them without anything in the product knowing about tests. A box is any
// dialog window of this process captioned with the application title.

#include <windows.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

class CBoxWatcher {
  public:
    // caption: the boxes' caption (the application title).
    explicit CBoxWatcher(std::string caption);
    ~CBoxWatcher();
    CBoxWatcher(const CBoxWatcher&) = delete;
    CBoxWatcher& operator=(const CBoxWatcher&) = delete;

    // The next boxes are answered with these buttons in turn; afterwards OK, or No for Yes/No boxes.
    void answer(std::initializer_list<int> buttons);
    // Texts of the boxes seen so far, oldest first; clear() forgets them.
    std::vector<std::string> texts();
    void clear();

  private:
    void run();
    void handle(HWND box);

    std::string m_caption;
    std::mutex m_mutex;
    std::deque<int> m_answers;
    std::vector<std::string> m_texts;
    std::set<HWND> m_handled;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
