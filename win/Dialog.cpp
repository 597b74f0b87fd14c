#include "win/Dialog.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace win {

INT_PTR CDialog::DoModal() {
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), m_parent, dialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

std::string CDialog::itemText(int id) const {
    const HWND control = item(id);
    std::vector<char> buffer(static_cast<size_t>(GetWindowTextLengthA(control)) + 1);
    const int length = GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

void CDialog::centre() const {
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    RECT area{};
    if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT r{};
    GetWindowRect(m_hWnd, &r);
    const int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
    const int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
    SetWindowPos(m_hWnd, nullptr, x > area.left ? x : area.left, y > area.top ? y : area.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// At a high DPI on a small screen a dialog can come out larger than the work area: one that
// resizes is made to fit it (down to the least size it allows), and any dialog is moved so that
// as much of it as fits is on the screen, its top-left corner first.
void CDialog::keepInWorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    RECT r{};
    GetWindowRect(m_hWnd, &r);
    int width = r.right - r.left;
    int height = r.bottom - r.top;
    if ((GetWindowLongA(m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0) {
        width = std::min<int>(width, area.right - area.left);
        height = std::min<int>(height, area.bottom - area.top);
    }
    const int x = std::max<int>(area.left, std::min<int>(r.left, area.right - width));
    const int y = std::max<int>(area.top, std::min<int>(r.top, area.bottom - height));
    if (x != r.left || y != r.top || width != r.right - r.left || height != r.bottom - r.top)
        SetWindowPos(m_hWnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // The system may have cut the window to the screen before it was initialised: a resizing
    // dialog lays its controls out for the size it has now, whichever made it.
    if ((GetWindowLongA(m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0 && !IsZoomed(m_hWnd) && !IsIconic(m_hWnd)) {
        RECT client{};
        GetClientRect(m_hWnd, &client);
        SendMessageA(m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    }
}

INT_PTR CALLBACK CDialog::dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG and after WM_DESTROY get the default handling.
    if (dialog == nullptr)
        return FALSE;
    try {
        return dialog->dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        OutputDebugStringA(e.what());
    } catch (...) {
        OutputDebugStringA("unknown exception in a dialog handler");
    }
    return FALSE;
}

// The few messages whose answer is the dialog procedure's own return value.
bool CDialog::answersDirectly(UINT message) {
    switch (message) {
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return true;
        default:
            return false;
    }
}

// Results of most messages go back through DWLP_MSGRESULT.
INT_PTR CDialog::answer(LRESULT result) const {
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CDialog::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            RECT before{};
            GetWindowRect(m_hWnd, &before);
            const INT_PTR result = OnInitDialog();
            RECT after{};
            GetWindowRect(m_hWnd, &after);
            // A dialog that its initialisation did not place appears centred.
            if (m_hWnd != nullptr && EqualRect(&before, &after))
                centre();
            if (m_hWnd != nullptr)
                keepInWorkArea();
            return result;
        }
        case WM_COMMAND: {
            const WORD id = LOWORD(wParam);
            if (OnCommand(HIWORD(wParam), id, reinterpret_cast<HWND>(lParam)))
                return TRUE;
            if (id == IDOK) {
                OnOK();
                return TRUE;
            }
            if (id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return FALSE;
        }
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam), result))
                return answer(result);
            return FALSE;
        }
        case WM_TIMER:
            return OnTimer(wParam) ? TRUE : FALSE;
        case WM_SIZE:
            return OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam)) ? TRUE : FALSE;
        case WM_DESTROY:
            OnDestroy();
            SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
            m_hWnd = nullptr;
            return FALSE;
        default: {
            if (message >= WM_APP && message <= 0xBFFF)
                return OnAppMessage(message, wParam, lParam) ? TRUE : FALSE;
            LRESULT result = 0;
            if (!OnMessage(message, wParam, lParam, result))
                return FALSE;
            return answersDirectly(message) ? static_cast<INT_PTR>(result) : answer(result);
        }
    }
}

}  // namespace win
