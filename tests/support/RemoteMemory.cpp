#include "tests/support/RemoteMemory.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/UiDriver.h"

namespace ui {

CRemoteMemory::CRemoteMemory(HWND window, std::size_t size) : m_size(size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    m_process.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (m_process.valid())
        m_address = VirtualAllocEx(m_process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

CRemoteMemory::~CRemoteMemory() {
    if (m_address != nullptr)
        VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
}

bool CRemoteMemory::write(std::size_t offset, const void* bytes, std::size_t size) {
    SIZE_T done = 0;
    return valid() && offset + size <= m_size &&
           WriteProcessMemory(m_process.get(), static_cast<char*>(m_address) + offset, bytes, size, &done) &&
           done == size;
}

bool CRemoteMemory::read(std::size_t offset, void* bytes, std::size_t size) const {
    SIZE_T done = 0;
    return valid() && offset + size <= m_size &&
           ReadProcessMemory(m_process.get(), static_cast<char*>(m_address) + offset, bytes, size, &done) &&
           done == size;
}

std::vector<std::vector<std::string>> listViewRows(HWND list, int columns) {
    std::vector<std::vector<std::string>> rows;
    constexpr std::size_t kTextSize = 1024;
    CRemoteMemory memory(list, sizeof(LVITEMA) + kTextSize);
    if (!memory.valid())
        return rows;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 5000, &count))
        return rows;
    for (int row = 0; row < int(count); ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = reinterpret_cast<char*>(memory.address(sizeof(LVITEMA)));
            item.cchTextMax = int(kTextSize);
            char text[kTextSize] = {};
            DWORD_PTR length = 0;
            if (!memory.write(0, &item, sizeof item) ||
                !SendMessageTimeoutA(list, LVM_GETITEMTEXTA, WPARAM(row), memory.address(), SMTO_ABORTIFHUNG, 5000,
                                     &length) ||
                !memory.read(sizeof(LVITEMA), text, kTextSize - 1))
                return {};
            texts.emplace_back(text, std::min<std::size_t>(length, kTextSize - 1));
        }
        rows.push_back(texts);
    }
    return rows;
}

}  // namespace ui
