#pragma once
// The login dialog (133): site, login, password, "Remember Login/Password". A good login
// leaves the site session in the dialog and closes with IDOK; the site's
// refusals and every failure show in the status line and the user may try again. Escape
// ends it with IDCANCEL. The steps of a login are site/LoginSequence's, on a
// CWinLoginServices; the exchange with the site runs on a worker thread, so the dialog
// stays alive meanwhile; Login and Enter do nothing until the attempt has ended, and Escape or
// the close box give the request up and end the dialog with IDCANCEL.

#include <string>
#include <vector>

#include "app/state/AppState.h"
#include "site/WinLoginServices.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Profile.h"

// What the login dialog is given: the program's title for its caption, the program's own build
// for the update offer, and the per-user profile that holds the stored logins.
struct LoginInputs {
    std::string title;
    long ownBuild = 0;
    win::CProfile profile;
};

class CLoginDlg : public win::CDialog {
  public:
    explicit CLoginDlg(LoginInputs inputs, HWND parent = nullptr);

    // The session the last attempt left: after IDOK, the logged-in one.
    const SiteSession& session() const { return m_services.session(); }

    bool isBusy() const { return m_busy; }

    // Index -1 empties both edits; any other fills them from that site index's stored values.
    void loadCredentials(int siteIndex);
    // False when the password could not be protected: then nothing at all is stored.
    [[nodiscard]] bool storeCredentials(int siteIndex, const std::string& login, const std::string& password);
    void setStatus(const std::string& text) const { m_status.setText(text); }

    // How a password is protected before it is stored; tests put a failing one here.
    bool (*m_protect)(const std::string& password, std::vector<BYTE>& blob);

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnOK() override;
    void OnCancel() override;

  private:
    void onSiteChanged();
    void onLogin();
    std::string siteText(int index) const;

    win::CComboBox m_site;
    win::CEdit m_login;
    win::CEdit m_password;
    win::CCheckBox m_remember;
    win::CStatic m_status;
    LoginInputs m_inputs;
    bool m_busy = false;  // an attempt is running
    CWinLoginServices m_services;
};
