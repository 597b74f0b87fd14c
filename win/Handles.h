#pragma once
// One owner for each system handle: each closes what it holds when it goes, and each is a
// COwnedHandle (win/Owner.h) with the same interface.

#include <windows.h>

#include <wininet.h>

#include <utility>

#include "win/Owner.h"

namespace win {

struct KernelHandleTraits {
    using Handle = HANDLE;
    // Both null and INVALID_HANDLE_VALUE mean none.
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
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
// An open registry key.
using CRegKey = COwnedHandle<RegKeyTraits>;
// A menu of the program's own making (not one a window owns, such as its system menu).
using CMenu = COwnedHandle<MenuTraits>;
// A WinINet session, connection or request.
using CInternetHandle = COwnedHandle<InternetHandleTraits>;
// A GDI object (bitmap, brush, font).
using CGdiObject = COwnedHandle<GdiObjectTraits>;

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
