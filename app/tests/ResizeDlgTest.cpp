#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/ModalDriver.h"
#include "upload/KestrelAnchors.h"
#include "upload/res/UploadIds.h"
#include "win/ResizeDlg.h"

using testing_support::runModal;

// Found by argument lookup from inside GoogleTest and the standard containers.
bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}
std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

namespace {

// The main dialog's template with the main dialog's own anchor table and least size.
class AnchoredDialog : public CResizeDlg {
  public:
    AnchoredDialog() : CResizeDlg(IDD_SEEDWRIGHT_DIALOG) {}

    int m_initialOuterWidth = 0;
    int m_initialOuterHeight = 0;

  protected:
    BOOL OnInitDialog() override {
        const BOOL result = CResizeDlg::OnInitDialog();
        for (const KestrelAnchor& anchor : kKestrelAnchors)
            addAnchor(anchor.id, anchor.mode1, anchor.mode2, anchor.mode3, anchor.mode4, anchor.options);
        setMinimumSize(kKestrelMinimumWidth, kKestrelMinimumHeight);
        RECT outer{};
        GetWindowRect(hwnd(), &outer);
        m_initialOuterWidth = outer.right - outer.left;
        m_initialOuterHeight = outer.bottom - outer.top;
        return result;
    }
};

RECT controlRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT shifted(RECT r, int left, int top, int right, int bottom) {
    r.left += left;
    r.top += top;
    r.right += right;
    r.bottom += bottom;
    return r;
}

SIZE outerSize(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE clientSize(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return SIZE{r.right, r.bottom};
}

void resizeBy(HWND dialog, int dx, int dy) {
    const SIZE outer = outerSize(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, outer.cx + dx, outer.cy + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const int kAnchored[] = {IDC_NAME,   IDC_DESCRIPTION, IDC_NOTE,   IDC_PICTURES,
                         IDC_UPLOAD, IDCANCEL,        IDC_STATUS, kSizeGripId};
const int kUnanchored[] = {IDC_PATH, IDC_BROWSE, IDC_CATEGORY, IDC_ADD_PICTURE, IDC_REMOVE_PICTURE};

std::map<int, RECT> snapshot(HWND dialog) {
    std::map<int, RECT> rects;
    for (int id : kAnchored)
        rects[id] = controlRect(dialog, id);
    for (int id : kUnanchored)
        rects[id] = controlRect(dialog, id);
    return rects;
}

void expectGripInCorner(HWND dialog) {
    const RECT grip = controlRect(dialog, kSizeGripId);
    const SIZE client = clientSize(dialog);
    EXPECT_EQ(grip.right, client.cx);
    EXPECT_EQ(grip.bottom, client.cy);
}

// Counts the position changes of the dialog's controls, seen on the dialog's own thread.
std::mutex g_movesLock;
std::map<int, int> g_moves;
HWND g_watched = nullptr;

LRESULT CALLBACK countMoves(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGED && GetParent(message->hwnd) == g_watched) {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
        if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            std::lock_guard<std::mutex> lock(g_movesLock);
            ++g_moves[GetDlgCtrlID(message->hwnd)];
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ResizeDlg, GripMinimumSizeAndCaptionDragging) {
    AnchoredDialog dialog;
    const auto run = runModal(dialog, [&](HWND dlg) {
        const HWND grip = GetDlgItem(dlg, kSizeGripId);
        ASSERT_NE(grip, nullptr);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(grip, GWL_STYLE)), 0x5000010Eu);
        expectGripInCorner(dlg);
        const RECT gripRect = controlRect(dlg, kSizeGripId);
        EXPECT_GT(gripRect.right - gripRect.left, 0);

        // Smaller than its design, down to a least size where everything still has its place:
        // the path row whole, the description a few lines high, the buttons and the status line
        // inside and clear of each other and of the note.
        MINMAXINFO info{};
        SendMessageA(dlg, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_LT(info.ptMinTrackSize.x, dialog.m_initialOuterWidth);
        EXPECT_LT(info.ptMinTrackSize.y, dialog.m_initialOuterHeight);
        SetWindowPos(dlg, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(outerSize(dlg).cx, info.ptMinTrackSize.x);
        EXPECT_EQ(outerSize(dlg).cy, info.ptMinTrackSize.y);
        const RECT all{0, 0, clientSize(dlg).cx, clientSize(dlg).cy};
        RECT overlap{};
        for (int id : {IDC_UPLOAD, IDCANCEL, IDC_STATUS, IDC_BROWSE, IDC_NOTE}) {
            const RECT r = controlRect(dlg, id);
            EXPECT_TRUE(IntersectRect(&overlap, &r, &all) && EqualRect(&overlap, &r)) << id << " " << r;
        }
        const RECT description = controlRect(dlg, IDC_DESCRIPTION), note = controlRect(dlg, IDC_NOTE),
                   upload = controlRect(dlg, IDC_UPLOAD), quit = controlRect(dlg, IDCANCEL);
        EXPECT_GT(description.bottom - description.top, 3 * (note.bottom - note.top));
        EXPECT_LE(description.bottom, note.top);
        for (const RECT& button : {upload, quit})
            EXPECT_FALSE(IntersectRect(&overlap, &button, &note)) << button;
        EXPECT_FALSE(IntersectRect(&overlap, &upload, &quit));
        expectGripInCorner(dlg);

        // A free spot of the client area drags the window; a control's spot too, as the
        // dialog itself answers for its whole client area.
        POINT freeSpot{3, 3};
        ClientToScreen(dlg, &freeSpot);
        EXPECT_EQ(SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(freeSpot.x, freeSpot.y)), HTCAPTION);
        // Outside the client area the default answer stays.
        RECT outer{};
        GetWindowRect(dlg, &outer);
        EXPECT_EQ(SendMessageA(dlg, WM_NCHITTEST, 0, MAKELPARAM(outer.right + 50, outer.bottom + 50)), HTNOWHERE);
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.seen);
    EXPECT_EQ(run.result, IDCANCEL);
}

TEST(ResizeDlg, AnchorsFollowTheSizeAndComeBack) {
    AnchoredDialog dialog;
    const auto run = runModal(dialog, [&](HWND dlg) {
        const auto before = snapshot(dlg);
        const SIZE client = clientSize(dlg);

        resizeBy(dlg, 60, 40);
        const SIZE grown = clientSize(dlg);
        const int dx = grown.cx - client.cx;
        const int dy = grown.cy - client.cy;
        ASSERT_EQ(dx, 60);
        ASSERT_EQ(dy, 40);
        EXPECT_EQ(controlRect(dlg, IDC_NAME), shifted(before.at(IDC_NAME), 0, 0, dx, 0));
        EXPECT_EQ(controlRect(dlg, IDC_DESCRIPTION), shifted(before.at(IDC_DESCRIPTION), 0, 0, dx, dy));
        EXPECT_EQ(controlRect(dlg, IDC_NOTE), shifted(before.at(IDC_NOTE), 0, dy, 0, dy));
        EXPECT_EQ(controlRect(dlg, IDC_PICTURES), shifted(before.at(IDC_PICTURES), 0, 0, dx, 0));
        EXPECT_EQ(controlRect(dlg, IDC_UPLOAD), shifted(before.at(IDC_UPLOAD), 0, dy, 0, dy));
        EXPECT_EQ(controlRect(dlg, IDCANCEL), shifted(before.at(IDCANCEL), dx, dy, dx, dy));
        EXPECT_EQ(controlRect(dlg, IDC_STATUS), shifted(before.at(IDC_STATUS), 0, dy, dx, dy));
        expectGripInCorner(dlg);
        for (int id : kUnanchored)
            EXPECT_EQ(controlRect(dlg, id), before.at(id)) << id;

        resizeBy(dlg, -60, -40);
        EXPECT_EQ(snapshot(dlg), before);

        ShowWindow(dlg, SW_MAXIMIZE);
        EXPECT_TRUE(IsZoomed(dlg));
        expectGripInCorner(dlg);
        ShowWindow(dlg, SW_RESTORE);
        EXPECT_EQ(snapshot(dlg), before);

        ShowWindow(dlg, SW_MINIMIZE);
        EXPECT_TRUE(IsIconic(dlg));
        ShowWindow(dlg, SW_RESTORE);
        EXPECT_FALSE(IsIconic(dlg));
        EXPECT_EQ(snapshot(dlg), before);
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.seen);
    EXPECT_FALSE(run.leftOpen);
}

TEST(ResizeDlg, OnlyControlsWhosePlaceChangesAreMovedOncePerPass) {
    AnchoredDialog dialog;
    std::map<int, int> widened;
    std::map<int, int> same;
    const auto run = runModal(dialog, [&](HWND dlg) {
        g_watched = dlg;
        const HHOOK hook =
            SetWindowsHookExA(WH_CALLWNDPROCRET, countMoves, nullptr, GetWindowThreadProcessId(dlg, nullptr));
        ASSERT_NE(hook, nullptr);
        resizeBy(dlg, 30, 0);
        {
            std::lock_guard<std::mutex> lock(g_movesLock);
            widened.swap(g_moves);
        }
        // A size message for an unchanged size queues nothing.
        const SIZE client = clientSize(dlg);
        SendMessageA(dlg, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.cx, client.cy));
        {
            std::lock_guard<std::mutex> lock(g_movesLock);
            same.swap(g_moves);
        }
        UnhookWindowsHookEx(hook);
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.seen);
    const std::map<int, int> expected = {{IDC_NAME, 1}, {IDC_DESCRIPTION, 1}, {IDC_PICTURES, 1},
                                         {IDCANCEL, 1}, {IDC_STATUS, 1},      {kSizeGripId, 1}};
    EXPECT_EQ(widened, expected);
    EXPECT_TRUE(same.empty());
}

TEST(ResizeDlg, ClippedAnchorsAreKeptOutOfErasing) {
    AnchoredDialog dialog;
    const auto run = runModal(dialog, [&](HWND dlg) {
        const SIZE client = clientSize(dlg);
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.cx, client.cy);
        ReleaseDC(nullptr, screen);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        const COLORREF marker = RGB(255, 0, 255);
        const HBRUSH brush = CreateSolidBrush(marker);
        const RECT all{0, 0, client.cx, client.cy};
        FillRect(dc, &all, brush);
        DeleteObject(brush);

        SendMessageA(dlg, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);

        auto centre = [&](int id) {
            const RECT r = controlRect(dlg, id);
            return GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        };
        EXPECT_EQ(centre(IDC_DESCRIPTION), marker);  // option 1: clipped
        EXPECT_EQ(centre(IDC_PICTURES), marker);
        EXPECT_NE(centre(IDC_UPLOAD), marker);  // option 0: erased
        EXPECT_NE(GetPixel(dc, 2, 2), marker);  // a free spot: erased
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.seen);
}

}  // namespace
