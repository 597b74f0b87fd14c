// The main dialog's keyboard. Left to the dialog manager, Enter becomes IDOK and Escape IDCANCEL
// (and the description box answers Escape with WM_CLOSE), so one key would end the dialog and
// throw the whole form away. Here they do what they do in any field of a form: Enter presses the
// focused button, is a line end in the description and picks the entry of an open drop-down
// list, and otherwise does nothing; Escape closes an open drop-down list or does nothing.
// The keys that step through a category list are marked, so that the category rules can tell a
// step from a choice made with the mouse.
#include <windows.h>

#include <cstring>

#include "upload/KestrelDlg.h"

namespace {

bool isPushButton(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    const LONG_PTR type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    return std::strcmp(className, "Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// +1 for the keys that move towards the end of a list, -1 towards its top, 0 for the others.
int stepDirection(WPARAM key) {
    switch (key) {
        case VK_DOWN:
        case VK_NEXT:
        case VK_END:
            return 1;
        case VK_UP:
        case VK_PRIOR:
        case VK_HOME:
            return -1;
        default:
            return 0;
    }
}

}  // namespace

int CKestrelDlg::categoryListHolding(HWND window) const {
    for (int i = 0; i < upload::category::kListCount; ++i) {
        const HWND list = m_categories[i].hwnd();
        if (window == list || IsChild(list, window))
            return i;
    }
    return -1;
}

bool CKestrelDlg::filterKey(MSG& message) {
    const HWND target = message.hwnd;
    if (message.message != WM_KEYDOWN || !hwnd() || (target != hwnd() && !IsChild(hwnd(), target)))
        return false;
    const int list = categoryListHolding(target);
    const bool dropped = list >= 0 && m_categories[list].isDroppedDown();
    switch (message.wParam) {
        case VK_ESCAPE:
            return !dropped;
        case VK_RETURN:
            if (SendMessageA(target, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) &
                DLGC_WANTMESSAGE)
                return false;
            if (isPushButton(target) && IsWindowEnabled(target))
                PostMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(target), BN_CLICKED),
                             reinterpret_cast<LPARAM>(target));
            return true;
        default:
            break;
    }
    const int direction = stepDirection(message.wParam);
    if (list < 0 || direction == 0)
        return false;
    // The list changes its selection while it handles the key, and tells the dialog at once.
    m_keyList = list;
    m_keyDirection = direction;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    m_keyList = -1;
    return true;
}
