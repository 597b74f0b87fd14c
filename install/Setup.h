#pragma once
// The installation dialog (template 137): the folder, Start-menu and client fields with their
// browse buttons. It also carries the uninstaller, which start-up runs on an object whose dialog
// is never shown. The steps are install/SetupSequence's; the system they work on is a
// CWinSetupSystem, the dialog's own or one it is given.

#include <windows.h>

#include <memory>
#include <string>

#include "install/WinSetupSystem.h"
#include "win/Controls.h"
#include "win/Dialog.h"

class CSetup : public win::CDialog {
  public:
    CSetup();
    // Works on `system`, which outlives the dialog.
    explicit CSetup(CWinSetupSystem& system);

    void uninstall();
    // Writes the batch that removes the recorded installation folder; start-up starts it as the
    // program ends (AppState::m_removalBatch). What it comes to is the uninstaller's to tell.
    void writeSelfDeleteBatch(const std::string& installationPath);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;
    void OnDestroy() override;

  private:
    explicit CSetup(std::unique_ptr<CWinSetupSystem> own);
    void chooseInstallFolder();
    void chooseClient();

    std::unique_ptr<CWinSetupSystem> m_ownSystem;  // empty when the system was given
    CWinSetupSystem& m_system;
    win::CEdit m_folderEdit;
    win::CEdit m_menuEdit;
    win::CEdit m_clientEdit;
};
