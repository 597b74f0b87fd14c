#include "install/Setup.h"

#include <utility>

#include "app/state/SettingsLayout.h"
#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "install/SettingsKey.h"
#include "install/SetupRules.h"
#include "install/res/InstallIds.h"

CSetup::CSetup(install::SetupContext context) : CSetup(std::move(context), std::make_unique<CWinSetupSystem>()) {}

CSetup::CSetup(install::SetupContext context, CWinSetupSystem& system)
    : win::CDialog(IDD_SETUP), m_system(system), m_context(std::move(context)) {}

CSetup::CSetup(install::SetupContext context, std::unique_ptr<CWinSetupSystem> own)
    : win::CDialog(IDD_SETUP), m_ownSystem(std::move(own)), m_system(*m_ownSystem), m_context(std::move(context)) {}

BOOL CSetup::OnInitDialog() {
    m_system.setOwner(hwnd());
    m_system.setCaption(m_context.title);
    if (!m_system.probeWriteAccess()) {
        m_outcome.elevationNeeded = true;
        EndDialog(IDCANCEL);
        return FALSE;
    }
    bind(m_folderEdit, IDC_SETUP_FOLDER);
    bind(m_menuEdit, IDC_SETUP_MENU);
    bind(m_clientEdit, IDC_SETUP_CLIENT);

    setWindowText(m_context.title + " - Installation");
    // A repeated installation keeps what the member chose the last time.
    const std::string storedMenu = install::readSettingsValue(app::settings::kStartMenuPath);
    const std::string foundClient = m_context.utorrentPath.empty() ? findUTorrentPath() : std::string();
    const install::InstallFields fields =
        install::prefilledFields(m_context, storedMenu, m_system.m_programFilesFolder, foundClient);
    m_folderEdit.setText(fields.folder);
    m_menuEdit.setText(fields.menu);
    m_clientEdit.setText(fields.client);
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

bool CSetup::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (code != BN_CLICKED)
        return false;
    if (id == IDC_SETUP_FOLDER_BROWSE) {
        chooseInstallFolder();
        return true;
    }
    if (id == IDC_SETUP_CLIENT_BROWSE) {
        chooseClient();
        return true;
    }
    return false;
}

void CSetup::chooseInstallFolder() {
    std::string chosen;
    if (chooseFolder(hwnd(), chosen))
        m_folderEdit.setText(install::withProductFolder(chosen));
}

void CSetup::chooseClient() {
    CFindExe findExe(m_chosenClient, hwnd());
    const INT_PTR result = findExe.DoModal();
    m_chosenClient = findExe.path();
    if (result == IDOK)
        m_clientEdit.setText(m_chosenClient);
}

void CSetup::OnOK() {
    const install::InstallFields fields = {m_folderEdit.text(), m_menuEdit.text(), m_clientEdit.text()};
    switch (install::install(m_system, m_context, fields, m_outcome)) {
        case install::InstallEnd::StayOpen:
            break;
        case install::InstallEnd::Cancel:
            EndDialog(IDCANCEL);
            break;
        case install::InstallEnd::Done:
            EndDialog(IDOK);
            break;
    }
}

install::SetupOutcome CSetup::uninstall() {
    m_system.setCaption(m_context.title);
    return install::uninstall(m_system, m_context);
}

void CSetup::OnDestroy() {
    m_system.setOwner(nullptr);
}
