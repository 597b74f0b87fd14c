#pragma once
// The two small dialogs about the torrent client: pointing at its executable, and choosing
// between uTorrent and Azureus when both are known.

#include <string>

#include "win/Dialog.h"

// "Select executable...": edits the path it is given. OK with a path ends it with IDOK and
// gives that path; OK with none gives an empty path and stays open; closing the window cancels.
class CFindExe : public win::CDialog {
  public:
    explicit CFindExe(std::string path, HWND parent = nullptr);

    const std::string& path() const { return m_path; }
    void onBrowse();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;

  private:
    std::string m_path;
};

// "Please choose your Client": 1029 for uTorrent, 1030 for Azureus, IDCANCEL when closed.
class SelectClient : public win::CDialog {
  public:
    explicit SelectClient(HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
};
