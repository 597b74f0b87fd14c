// The system's file-open dialog and folder chooser, opened by the program under test.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/RemoteMemory.h"
#include "tests/support/UiDriver.h"

namespace ui {

namespace {

// The file name box of the explorer-style dialog (a combo box with an edit field), or the plain
// edit field of the older one.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

HWND waitForDialogWithChild(DWORD processId, const char* childClass, DWORD limitMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            WindowQuery query;
            query.processId = processId;
            found = findWindow(query);
            return found != nullptr && FindWindowExA(found, nullptr, childClass, nullptr) != nullptr;
        },
        limitMs);
    return found != nullptr && FindWindowExA(found, nullptr, childClass, nullptr) != nullptr ? found : nullptr;
}

// A tree view of another process, read item by item through memory in that process.
class CRemoteTree {
  public:
    explicit CRemoteTree(HWND tree) : m_tree(tree), m_memory(tree, sizeof(TVITEMA) + kTextSize) {}

    HTREEITEM root() const { return next(nullptr, TVGN_ROOT); }
    HTREEITEM firstChild(HTREEITEM item) const { return next(item, TVGN_CHILD); }
    HTREEITEM sibling(HTREEITEM item) const { return next(item, TVGN_NEXT); }
    // Expanding fills a folder's children in, as a click on its plus sign does.
    void expand(HTREEITEM item) const { send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }
    bool select(HTREEITEM item) const { return send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0; }

    std::string text(HTREEITEM item) {
        TVITEMA request = {};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = reinterpret_cast<char*>(m_memory.address(sizeof(TVITEMA)));
        request.cchTextMax = int(kTextSize);
        char text[kTextSize] = {};
        if (!m_memory.write(0, &request, sizeof request) || !send(TVM_GETITEMA, 0, m_memory.address()) ||
            !m_memory.read(sizeof(TVITEMA), text, kTextSize - 1))
            return std::string();
        return text;
    }

    // The child of `parent` whose text `wanted` accepts, after expanding `parent`.
    template <typename Accept>
    HTREEITEM findChild(HTREEITEM parent, Accept wanted) {
        expand(parent);
        for (HTREEITEM child = firstChild(parent); child != nullptr; child = sibling(child))
            if (wanted(text(child)))
                return child;
        return nullptr;
    }

  private:
    static constexpr std::size_t kTextSize = 520;

    HTREEITEM next(HTREEITEM item, UINT relation) const {
        return reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) const {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(m_tree, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result);
        return LRESULT(result);
    }

    HWND m_tree;
    CRemoteMemory m_memory;
};

bool sameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// parts: the drive ("Z:") and the folders below it. The drive sits in the computer's entry below
// the desktop, shown as "label (Z:)".
bool selectTreePath(HWND window, const std::vector<std::string>& parts) {
    CRemoteTree tree(window);
    const HTREEITEM desktop = tree.root();
    if (desktop == nullptr)
        return false;
    const std::string driveTag = "(" + parts.front() + ")";
    auto isDrive = [&](const std::string& text) {
        return text.size() >= driveTag.size() && sameName(text.substr(text.size() - driveTag.size()), driveTag);
    };
    HTREEITEM item = nullptr;
    tree.expand(desktop);
    for (HTREEITEM place = tree.firstChild(desktop); place != nullptr && item == nullptr; place = tree.sibling(place)) {
        const std::string name = tree.text(place);
        if (sameName(name, "My Computer") || sameName(name, "Computer") || sameName(name, "This PC"))
            item = tree.findChild(place, isDrive);
    }
    for (std::size_t i = 1; i < parts.size() && item != nullptr; ++i)
        item = tree.findChild(item, [&](const std::string& text) { return sameName(text, parts[i]); });
    return item != nullptr && tree.select(item);
}

// The file-open dialog of `processId`, either kind.
HWND waitForFileOpen(DWORD processId, DWORD limitMs) {
    HWND dialog = nullptr;
    waitUntil(
        [&] {
            for (int id : {kFileNameCombo, kFileNameEdit}) {
                WindowQuery query;
                query.processId = processId;
                query.withItem = id;
                if ((dialog = findWindow(query)) != nullptr)
                    return true;
            }
            return false;
        },
        limitMs);
    return dialog;
}

}  // namespace

std::string fileOpenFolder(DWORD processId, DWORD limitMs) {
    const HWND dialog = waitForFileOpen(processId, limitMs);
    if (dialog == nullptr)
        return std::string();
    char folder[MAX_PATH * 3] = {};
    CRemoteMemory memory(dialog, sizeof folder);
    DWORD_PTR length = 0;
    if (!memory.valid() ||
        !SendMessageTimeoutA(dialog, CDM_GETFOLDERPATH, sizeof folder, memory.address(), SMTO_ABORTIFHUNG, 10000,
                             &length) ||
        LONG_PTR(length) <= 0 || !memory.read(0, folder, sizeof folder - 1))
        return std::string();
    return folder;
}

bool fillFileOpen(DWORD processId, const std::string& path, DWORD limitMs) {
    const HWND dialog = waitForFileOpen(processId, limitMs);
    if (dialog == nullptr)
        return false;
    const int box = GetDlgItem(dialog, kFileNameCombo) ? kFileNameCombo : kFileNameEdit;
    if (!setItemText(dialog, box, path))
        return false;
    pressButton(dialog, IDOK);
    return waitGone(dialog, limitMs);
}

bool fillFolderChooser(DWORD processId, const std::string& path, DWORD limitMs) {
    const HWND dialog = waitForDialogWithChild(processId, "SysTreeView32", limitMs);
    if (dialog == nullptr)
        return false;
    const HWND tree = FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    // A person opens the computer, the drive, then each folder in turn.
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (parts.empty() || !selectTreePath(tree, parts))
        return false;
    pressButton(dialog, IDOK);
    return waitGone(dialog, limitMs);
}

}  // namespace ui
