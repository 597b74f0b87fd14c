#pragma once
// A block of memory in another process, for messages whose parameters point at memory the
// window's own process must read or fill (list view items, the folder chooser's path).

#include <windows.h>

#include <cstddef>

#include "win/Handles.h"

namespace ui {

class CRemoteMemory {
  public:
    // `size` bytes in the process that owns `window`; valid() tells whether that worked.
    CRemoteMemory(HWND window, std::size_t size);
    ~CRemoteMemory();
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;

    bool valid() const { return m_address != nullptr; }
    // The block's address as the other process sees it, at `offset`.
    LPARAM address(std::size_t offset = 0) const {
        return reinterpret_cast<LPARAM>(static_cast<char*>(m_address) + offset);
    }
    bool write(std::size_t offset, const void* bytes, std::size_t size);
    bool read(std::size_t offset, void* bytes, std::size_t size) const;

  private:
    win::CHandle m_process;
    void* m_address = nullptr;
    std::size_t m_size = 0;
};

}  // namespace ui
