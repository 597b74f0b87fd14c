#pragma once
// One owner for each system handle: each closes what it holds when it goes, and each is a
// COwnedHandle (win/Owner.h) with the same interface.

#include <windows.h>

#include <wininet.h>

#include <atomic>
#include <utility>

#include "win/Owner.h"

namespace win {

struct KernelHandleTraits {
    using Handle = HANDLE;
    // Both null and INVALID_HANDLE_VALUE mean none.
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static bool valid(HKEY key) { return key != nullptr; }
    static void close(HKEY key) { RegCloseKey(key); }
};

struct MenuTraits {
    using Handle = HMENU;
    static bool valid(HMENU menu) { return menu != nullptr; }
    static void close(HMENU menu) { DestroyMenu(menu); }
};

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static bool valid(HINTERNET h) { return h != nullptr; }
    static void close(HINTERNET h) { InternetCloseHandle(h); }
};

struct GdiObjectTraits {
    using Handle = HGDIOBJ;
    static bool valid(HGDIOBJ h) { return h != nullptr; }
    static void close(HGDIOBJ h) { DeleteObject(h); }
};

// A kernel handle (thread, process, event, file).
using CHandle = COwnedHandle<KernelHandleTraits>;
// A file search (FindFirstFile).
using CFindHandle = COwnedHandle<FindHandleTraits>;
// An open registry key.
using CRegKey = COwnedHandle<RegKeyTraits>;
// A menu of the program's own making (not one a window owns, such as its system menu).
using CMenu = COwnedHandle<MenuTraits>;
// A WinINet session, connection or request.
using CInternetHandle = COwnedHandle<InternetHandleTraits>;
// A GDI object (bitmap, brush, font).
using CGdiObject = COwnedHandle<GdiObjectTraits>;

// A WinINet handle that another thread may close while a call on it waits, which is how WinINet
// ends a blocking call early. Whoever takes the handle out first closes it, so it is closed once.
class CSharedInternetHandle {
  public:
    CSharedInternetHandle() = default;
    CSharedInternetHandle(const CSharedInternetHandle&) = delete;
    CSharedInternetHandle& operator=(const CSharedInternetHandle&) = delete;
    ~CSharedInternetHandle() { reset(); }

    HINTERNET get() const { return m_h.load(); }
    bool valid() const { return get() != nullptr; }
    explicit operator bool() const { return valid(); }
    void reset(HINTERNET h = nullptr) {
        if (HINTERNET old = m_h.exchange(h))
            InternetCloseHandle(old);
    }

  private:
    std::atomic<HINTERNET> m_h{nullptr};
};

// A manual-reset event that one thread raises and others wait on: the member's Cancel.
class CSignal {
  public:
    CSignal() : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    void raise() const { SetEvent(m_event.get()); }
    void clear() const { ResetEvent(m_event.get()); }
    bool raised() const { return WaitForSingleObject(m_event.get(), 0) == WAIT_OBJECT_0; }
    HANDLE handle() const { return m_event.get(); }

  private:
    CHandle m_event;
};

template <class T>
struct ComTraits {
    using Handle = T*;
    static bool valid(T* p) { return p != nullptr; }
    static void close(T* p) { p->Release(); }
};

// A COM interface pointer, released when it goes.
template <class T>
class CComPtr : public COwnedHandle<ComTraits<T>> {
  public:
    using COwnedHandle<ComTraits<T>>::COwnedHandle;

    T* operator->() const { return this->get(); }
    // For CoCreateInstance and QueryInterface, which fill a void*.
    void** receive() { return reinterpret_cast<void**>(COwnedHandle<ComTraits<T>>::receive()); }
};

}  // namespace win
