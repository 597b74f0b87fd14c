#pragma once
// The installation dialog (template 137): the folder, Start-menu and client fields with their
// browse buttons. It also carries the uninstaller, which start-up runs on an object whose dialog
// is never shown. Both are given what they need of the run and hand back what they came to. The
// steps are install/SetupSequence's; the system they work on is a CWinSetupSystem, the dialog's
// own or one it is given.

#include <windows.h>

#include <memory>
#include <string>

#include "install/WinSetupSystem.h"
#include "win/Controls.h"
#include "win/Dialog.h"

class CSetup : public win::CDialog {
  public:
    explicit CSetup(install::SetupContext context);
    // Works on `system`, which outlives the dialog.
    CSetup(install::SetupContext context, CWinSetupSystem& system);

    // What the dialog came to, beside its result.
    const install::SetupOutcome& outcome() const { return m_outcome; }
    install::SetupOutcome uninstall();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;
    void OnDestroy() override;

  private:
    CSetup(install::SetupContext context, std::unique_ptr<CWinSetupSystem> own);
    void chooseInstallFolder();
    void chooseClient();

    std::unique_ptr<CWinSetupSystem> m_ownSystem;  // empty when the system was given
    CWinSetupSystem& m_system;
    const install::SetupContext m_context;
    install::SetupOutcome m_outcome;
    std::string m_chosenClient;  // what "Select executable..." gave last; it shows it again
    win::CEdit m_folderEdit;
    win::CEdit m_menuEdit;
    win::CEdit m_clientEdit;
};
