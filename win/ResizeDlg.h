#pragma once
// Base of the resizable dialogs. A derived dialog runs OnInitDialog of this class first and
// then registers its controls with addAnchor; every size change then moves or stretches
// them in one deferred batch. The base adds a size grip, keeps the dialog from shrinking
// below its initial size (or the least size the derived dialog sets) and lets the user drag it
// by any free spot.

#include <vector>

#include "win/AnchorLayout.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Handles.h"

inline constexpr int kSizeGripId = 50;

class CResizeDlg : public win::CDialog {
  public:
    CResizeDlg(UINT templateId, HWND parent = nullptr) : CDialog(templateId, parent) {}

    // Modes and options are reduced to their low 4 and 2 bits. Call once the control exists.
    void addAnchor(int id,
                   unsigned mode1,
                   unsigned mode2,
                   unsigned mode3,
                   unsigned mode4,
                   unsigned options,
                   double horizontalOffset = -1.0,
                   double horizontalSize = -1.0,
                   double verticalOffset = -1.0,
                   double verticalSize = -1.0);

  protected:
    BOOL OnInitDialog() override;
    // The least client size the member can drag the dialog to, in dialog units; after
    // OnInitDialog of this class.
    void setMinimumSize(int dialogUnitsWide, int dialogUnitsHigh);
    bool OnSize(UINT type, int width, int height) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    std::vector<AnchorRecord> m_anchors;
    RECT m_initialClientRect{};  // screen coordinates
    RECT m_lastClientRect{};     // screen coordinates
    int m_minTrackWidth = 32;
    int m_minTrackHeight = 32;
    win::CStatic m_grip;

  private:
    bool limitTracking(MINMAXINFO* info) const;
    void clipAnchoredControls(HDC dc) const;
    LRESULT hitTest(LPARAM screenPoint) const;
    RECT clientRectOnScreen() const;
    LayoutRect controlRect(HWND control) const;

    // The grip's image, deleted when the dialog object goes (after its window).
    win::CGdiObject m_gripBitmap;
};
