#pragma once
// What the driver tells as it goes: each step as it happens, what it saw, every check that
// failed, and a screenshot of each dialog when a folder for them is given.

#include <windows.h>

#include <string>

class CReport {
  public:
    // shots: the folder for screenshots (a Windows path), empty for none.
    explicit CReport(std::string shots);

    void step(const std::string& text);
    void info(const std::string& text);
    // Counts and prints a failed check; returns `ok`.
    bool check(bool ok, const std::string& what);
    bool checkEqual(const std::string& actual, const std::string& expected, const std::string& what);
    // A step that cannot go on: printed and counted; always false.
    bool fail(const std::string& what);
    int failures() const { return m_failures; }

    // Asks the host for a picture of `window` as NAME.png: the window's screen rectangle (and X
    // window) go to NAME.rect, and the host's watcher answers with NAME.done when it has the picture.
    void shot(const std::string& name, HWND window);

  private:
    void print(const std::string& line);

    std::string m_shots;
    ULONGLONG m_start;
    int m_failures = 0;
    int m_shotCount = 0;
};

std::string quoted(const std::string& text);
