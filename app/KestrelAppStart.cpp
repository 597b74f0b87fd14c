#include <windows.h>

#include "app/CommandLine.h"
#include "app/KestrelApp.h"
#include "app/Startup.h"
#include "app/WinStartup.h"
#include "site/LoginDlg.h"
#include "upload/KestrelDlg.h"

namespace {

// The program's own start-up host: the working session is the login, then the main dialog.
class CSessionStartupHost : public CWinStartupHost {
  public:
    using CWinStartupHost::CWinStartupHost;

    int runLogin() override {
        CLoginDlg login;
        return static_cast<int>(login.DoModal());
    }
    void runMainDialog() override {
        CKestrelDlg main;
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
