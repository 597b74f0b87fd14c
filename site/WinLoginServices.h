#pragma once
// The login's outside world on Windows: the dialog's status line, message boxes, the profile
// with the protected passwords, the exchange with the site over WinINet and the shell. Runs on
// the dialog's thread; only the exchange runs on a worker, and the dialog's messages keep
// flowing while it does.

#include <string>

#include "app/state/AppState.h"
#include "site/LoginSequence.h"
#include "win/Handles.h"
#include "win/Profile.h"
#include "win/Thread.h"

class CLoginDlg;

class CWinLoginServices : public site::login::LoginServices {
  public:
    // Reads and writes the stored logins in `profile`.
    CWinLoginServices(CLoginDlg& dialog, const win::CProfile& profile) : m_dialog(dialog), m_profile(profile) {}
    ~CWinLoginServices() override;
    CWinLoginServices(const CWinLoginServices&) = delete;
    CWinLoginServices& operator=(const CWinLoginServices&) = delete;

    void setStatus(const std::string& text) override;
    void message(const std::string& text) override;
    bool ask(const std::string& text) override;
    void writeLastSite(int siteIndex) override;
    void writeRemember(bool remember) override;
    bool storeCredentials(int siteIndex, const std::string& login, const std::string& password) override;
    site::login::Answer exchange(const site::login::Request& request) override;
    void trace(const std::string& text) override;
    bool openAddress(const std::string& address) override;
    void keepSession(const site::login::Session& session) override;
    // Gives up the exchange that runs now: it ends at once as cancelled.
    void cancel();

    // What the dialog shows first: the stored site index (0 for none), whether "Remember" was
    // ticked, and the login and password stored for a site index (both empty for -1).
    int lastSite() const;
    bool remembered() const;
    void readCredentials(int siteIndex, std::string& login, std::string& password) const;
    // What keepSession kept last.
    const SiteSession& session() const { return m_session; }

  private:
    CLoginDlg& m_dialog;
    const win::CProfile& m_profile;
    SiteSession m_session;
    win::CThread m_worker;
    win::CSignal m_cancel;
};
