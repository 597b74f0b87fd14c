#define OEMRESOURCE
#include "win/ResizeDlg.h"

namespace {

LayoutRect toLayout(const RECT& r) {
    return LayoutRect{r.left, r.top, r.right, r.bottom};
}

// The client size the dialog's template gives it, in dialog units; {0, 0} when unreadable.
SIZE templateSize(UINT templateId) {
    const HMODULE module = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(templateId), MAKEINTRESOURCEA(5));  // RT_DIALOG
    const auto* words = found ? static_cast<const WORD*>(LockResource(LoadResource(module, found))) : nullptr;
    if (words == nullptr || SizeofResource(module, found) < 26)
        return SIZE{0, 0};
    // DLGTEMPLATEEX: version, 0xFFFF, help id, extended style, style, count, x, y, cx, cy.
    // DLGTEMPLATE: style, extended style, count, x, y, cx, cy.
    const int at = words[1] == 0xFFFF ? 11 : 7;
    return SIZE{static_cast<short>(words[at]), static_cast<short>(words[at + 1])};
}

}  // namespace

void CResizeDlg::addAnchor(int id,
                           unsigned mode1,
                           unsigned mode2,
                           unsigned mode3,
                           unsigned mode4,
                           unsigned options,
                           double horizontalOffset,
                           double horizontalSize,
                           double verticalOffset,
                           double verticalSize) {
    const double ratios[4] = {horizontalOffset, horizontalSize, verticalOffset, verticalSize};
    addAnchorRecord(m_anchors, id, packAnchor(mode1, mode2, mode3, mode4, options), controlRect(item(id)), ratios);
}

RECT CResizeDlg::clientRectOnScreen() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    // Two points: in a mirrored window this also exchanges left and right.
    MapWindowPoints(hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LayoutRect CResizeDlg::controlRect(HWND control) const {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return toLayout(r);
}

BOOL CResizeDlg::OnInitDialog() {
    const BOOL result = CDialog::OnInitDialog();
    m_anchors.clear();

    // The layout starts from the size the template was designed for, even where the system
    // has already cut the window to a screen too small for it; the first size pass then fits
    // the controls into the client area the window really has.
    RECT client{};
    GetClientRect(hwnd(), &client);
    const SIZE design = templateSize(templateId());
    if (design.cx > 0 && design.cy > 0) {
        RECT r{0, 0, design.cx, design.cy};
        MapDialogRect(hwnd(), &r);
        client.right = r.right;
        client.bottom = r.bottom;
    }
    m_initialClientRect = clientRectOnScreen();
    m_initialClientRect.right = m_initialClientRect.left + client.right;
    m_initialClientRect.bottom = m_initialClientRect.top + client.bottom;
    m_lastClientRect = m_initialClientRect;

    m_gripBitmap.reset(LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_SIZE)));
    BITMAP info{};
    if (m_gripBitmap.get() == nullptr || GetObjectA(m_gripBitmap.get(), sizeof info, &info) == 0)
        info = BITMAP{};
    m_grip.attach(CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_NOTIFY, 0, 0, info.bmWidth,
                                  info.bmHeight, hwnd(), reinterpret_cast<HMENU>(kSizeGripId),
                                  GetModuleHandleA(nullptr), nullptr));
    if (m_grip.hwnd() != nullptr) {
        m_grip.setImage(IMAGE_BITMAP, m_gripBitmap.get());
        SetWindowPos(m_grip.hwnd(), HWND_TOP, client.right - info.bmWidth, client.bottom - info.bmHeight, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE);
        addAnchor(kSizeGripId, kMove, kMove, kMove, kMove, 0);
    }

    if (design.cx > 0 && design.cy > 0) {
        setMinimumSize(design.cx, design.cy);
    } else {
        RECT outer{};
        GetWindowRect(hwnd(), &outer);
        m_minTrackWidth = outer.right - outer.left;
        m_minTrackHeight = outer.bottom - outer.top;
    }
    return result;
}

void CResizeDlg::setMinimumSize(int dialogUnitsWide, int dialogUnitsHigh) {
    RECT r{0, 0, dialogUnitsWide, dialogUnitsHigh};
    MapDialogRect(hwnd(), &r);
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd(), GWL_EXSTYLE)));
    m_minTrackWidth = r.right - r.left;
    m_minTrackHeight = r.bottom - r.top;
}

bool CResizeDlg::OnSize(UINT type, int /*width*/, int /*height*/) {
    if (m_anchors.empty())
        return false;
    const RECT now = clientRectOnScreen();
    if (type == SIZE_RESTORED || type == SIZE_MAXIMIZED) {
        const LayoutRect last = toLayout(m_lastClientRect);
        const LayoutRect initial = toLayout(m_initialClientRect);
        const LayoutRect current = toLayout(now);
        HDWP batch = BeginDeferWindowPos(static_cast<int>(m_anchors.size()));
        for (AnchorRecord& anchor : m_anchors) {
            const HWND control = item(anchor.id);
            if (control == nullptr)
                continue;
            const AnchorPlacement placed = placeAnchor(anchor, last, initial, current);
            const LayoutRect compared = placed.keep ? anchor.rect : controlRect(control);
            if (placed.rect == compared)
                continue;
            if (anchor.repaints())
                InvalidateRect(control, nullptr, TRUE);
            const LayoutRect& r = placed.rect;
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (batch != nullptr)
                batch = DeferWindowPos(batch, control, nullptr, r.left, r.top, r.width(), r.height(), flags);
            else  // the batch failed: place the rest one by one
                SetWindowPos(control, nullptr, r.left, r.top, r.width(), r.height(), flags);
            if (anchor.repaints()) {
                const RECT old{compared.left, compared.top, compared.right, compared.bottom};
                InvalidateRect(hwnd(), &old, TRUE);
                UpdateWindow(hwnd());
            }
            if (placed.keep)
                anchor.rect = placed.rect;
        }
        if (batch != nullptr)
            EndDeferWindowPos(batch);
        // Moved controls would otherwise keep the picture of their old place, or none, until the
        // mouse passes over them: everything is drawn anew at once.
        RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    if (type != SIZE_MINIMIZED)
        m_lastClientRect = now;
    return false;
}

bool CResizeDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_GETMINMAXINFO:
            return limitTracking(reinterpret_cast<MINMAXINFO*>(lParam));
        case WM_ERASEBKGND:
            clipAnchoredControls(reinterpret_cast<HDC>(wParam));
            return false;  // the system erases what is left
        case WM_NCHITTEST:
            result = hitTest(lParam);
            return true;
        default:
            return CDialog::OnMessage(message, wParam, lParam, result);
    }
}

bool CResizeDlg::limitTracking(MINMAXINFO* info) const {
    if (m_grip.hwnd() == nullptr)
        return false;
    info->ptMinTrackSize.x = m_minTrackWidth;
    info->ptMinTrackSize.y = m_minTrackHeight;
    return true;
}

void CResizeDlg::clipAnchoredControls(HDC dc) const {
    if ((GetWindowLongA(hwnd(), GWL_STYLE) & WS_CLIPCHILDREN) != 0)
        return;
    for (const AnchorRecord& anchor : m_anchors) {
        const HWND control = item(anchor.id);
        if (anchor.clips() && control != nullptr && IsWindowVisible(control))
            ExcludeClipRect(dc, anchor.rect.left, anchor.rect.top, anchor.rect.right, anchor.rect.bottom);
    }
}

// Any free spot of the client area drags the dialog like its caption.
LRESULT CResizeDlg::hitTest(LPARAM screenPoint) const {
    const LRESULT hit = DefWindowProcA(hwnd(), WM_NCHITTEST, 0, screenPoint);
    return hit == HTCLIENT ? HTCAPTION : hit;
}
