#pragma once
// One owned WinINet handle, closed when the owner goes or calls close().

#include <windows.h>

#include <wininet.h>

class CInetHandle {
  public:
    CInetHandle() = default;
    ~CInetHandle() { close(); }
    CInetHandle(const CInetHandle&) = delete;
    CInetHandle& operator=(const CInetHandle&) = delete;

    void reset(HINTERNET handle) {
        close();
        m_handle = handle;
    }
    void close() {
        if (m_handle)
            InternetCloseHandle(m_handle);
        m_handle = nullptr;
    }
    HINTERNET get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

  private:
    HINTERNET m_handle = nullptr;
};
