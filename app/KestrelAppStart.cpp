#include <windows.h>

#include "app/CommandLine.h"
#include "app/KestrelApp.h"
#include "app/Startup.h"
#include "app/WinStartup.h"
#include "site/LoginDlg.h"
#include "upload/KestrelDlg.h"

namespace {

KestrelInputs mainDialogInputs(const AppState& state) {
    KestrelInputs inputs;
    inputs.title = state.m_title;
    inputs.notice = state.m_notice;
    inputs.session = state.m_session;
    inputs.workingFolder = state.m_workingFolder;
    inputs.currentFolder = state.m_currentFolder;
    inputs.newTorrentPath = state.m_newTorrentPath;
    inputs.clients = {state.m_utorrentPath, state.m_azureusPath, state.m_clientExePath};
    return inputs;
}

// The program's own start-up host: the working session is the login, then the main dialog.
class CSessionStartupHost : public CWinStartupHost {
  public:
    using CWinStartupHost::CWinStartupHost;

    int runLogin(const AppState& state, SiteSession& session) override {
        CLoginDlg login({state.m_title, state.m_buildNumber, m_app.profile()});
        const int result = static_cast<int>(login.DoModal());
        session = login.session();
        return result;
    }
    void runMainDialog(const AppState& state) override {
        CKestrelDlg main(mainDialogInputs(state));
        main.DoModal();
    }
};

}  // namespace

bool CKestrelApp::InitInstance() {
    CSessionStartupHost host(*this);
    CCommandLine commandLine;
    commandLine.parse();
    app::startup::run(host, state(), commandLine);
    return false;
}
