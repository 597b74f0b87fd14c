#define OEMRESOURCE
#include "win/ResizeDlg.h"

namespace {

LayoutRect toLayout(const RECT& r) {
    return LayoutRect{r.left, r.top, r.right, r.bottom};
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

    RECT client{};
    GetClientRect(hwnd(), &client);
    m_initialClientRect = clientRectOnScreen();
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

    RECT outer{};
    GetWindowRect(hwnd(), &outer);
    m_minTrackWidth = outer.right - outer.left;
    m_minTrackHeight = outer.bottom - outer.top;
    return result;
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
