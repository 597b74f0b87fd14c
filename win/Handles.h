#pragma once
// One owner for each system handle: the wrappers close what they hold when they go.

#include <windows.h>

#include <utility>

namespace win {

// A kernel handle (thread, event, file). Both null and INVALID_HANDLE_VALUE mean none.
class CHandle {
  public:
    CHandle() = default;
    explicit CHandle(HANDLE h) : m_h(h) {}
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    CHandle(CHandle&& other) noexcept : m_h(other.detach()) {}
    CHandle& operator=(CHandle&& other) noexcept {
        reset(other.detach());
        return *this;
    }
    ~CHandle() { reset(); }

    HANDLE get() const { return m_h; }
    bool valid() const { return m_h != nullptr && m_h != INVALID_HANDLE_VALUE; }
    HANDLE detach() { return std::exchange(m_h, nullptr); }
    void reset(HANDLE h = nullptr) {
        if (valid())
            CloseHandle(m_h);
        m_h = h;
    }

  private:
    HANDLE m_h = nullptr;
};

// An open registry key.
class CRegKey {
  public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    ~CRegKey() { reset(); }

    HKEY get() const { return m_key; }
    HKEY* receive() {
        reset();
        return &m_key;
    }
    void reset() {
        if (m_key != nullptr)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

  private:
    HKEY m_key = nullptr;
};

// A COM interface pointer, released when it goes.
template <class T>
class CComPtr {
  public:
    CComPtr() = default;
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    ~CComPtr() { reset(); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    void** receive() {
        reset();
        return reinterpret_cast<void**>(&m_p);
    }
    void reset() {
        if (m_p != nullptr)
            m_p->Release();
        m_p = nullptr;
    }

  private:
    T* m_p = nullptr;
};

// A GDI object (bitmap, brush, font).
class CGdiObject {
  public:
    CGdiObject() = default;
    explicit CGdiObject(HGDIOBJ h) : m_h(h) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { reset(); }

    HGDIOBJ get() const { return m_h; }
    void reset(HGDIOBJ h = nullptr) {
        if (m_h != nullptr)
            DeleteObject(m_h);
        m_h = h;
    }

  private:
    HGDIOBJ m_h = nullptr;
};

}  // namespace win
