#pragma once
// The two small dialogs about the torrent client: pointing at its executable, and choosing
// between uTorrent and Azureus when both are known.

#include "win/Dialog.h"

// "Select executable...": edits m_clientExePath of the application state. OK leaves a
// non-empty path there; closing the window cancels.
class CFindExe : public win::CDialog {
  public:
    explicit CFindExe(HWND parent = nullptr);

    void onBrowse();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;
};

// "Please choose your Client": 1029 for uTorrent, 1030 for Azureus, IDCANCEL when closed.
class SelectClient : public win::CDialog {
  public:
    explicit SelectClient(HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
};
