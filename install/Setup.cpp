#include "install/Setup.h"

#include <utility>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "install/SettingsKey.h"
#include "install/SetupRules.h"
#include "install/res/InstallIds.h"

CSetup::CSetup() : CSetup(std::make_unique<CWinSetupSystem>()) {}

CSetup::CSetup(CWinSetupSystem& system) : win::CDialog(IDD_SETUP), m_system(system) {}

CSetup::CSetup(std::unique_ptr<CWinSetupSystem> own)
    : win::CDialog(IDD_SETUP), m_ownSystem(std::move(own)), m_system(*m_ownSystem) {}

BOOL CSetup::OnInitDialog() {
    m_system.setOwner(hwnd());
    if (!m_system.probeWriteAccess()) {
        EndDialog(IDCANCEL);
        return FALSE;
    }
    bind(m_folderEdit, IDC_SETUP_FOLDER);
    bind(m_menuEdit, IDC_SETUP_MENU);
    bind(m_clientEdit, IDC_SETUP_CLIENT);

    const AppState& state = appState();
    setWindowText(state.m_title + " - Installation");
    // A repeated installation keeps what the member chose the last time.
    const std::string storedMenu = install::readSettingsValue(app::settings::kStartMenuPath);
    const std::string foundClient = state.m_utorrentPath.empty() ? findUTorrentPath() : std::string();
    const install::InstallFields fields =
        install::prefilledFields(state, storedMenu, m_system.m_programFilesFolder, foundClient);
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
    CFindExe findExe(hwnd());
    if (findExe.DoModal() == IDOK)
        m_clientEdit.setText(appState().m_clientExePath);
}

void CSetup::OnOK() {
    const install::InstallFields fields = {m_folderEdit.text(), m_menuEdit.text(), m_clientEdit.text()};
    switch (install::install(m_system, appState(), fields)) {
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

void CSetup::uninstall() {
    install::uninstall(m_system, appState());
}

void CSetup::writeSelfDeleteBatch(const std::string& installationPath) {
    static_cast<void>(install::writeSelfDeleteBatch(m_system, appState(), installationPath,
                                                    m_system.readSetting(app::settings::kCreatedFolder)));
}

void CSetup::OnDestroy() {
    m_system.setOwner(nullptr);
}
