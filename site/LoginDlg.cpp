#include "site/LoginDlg.h"

#include <utility>

#include "site/LoginSequence.h"
#include "site/SiteTable.h"
#include "site/StoredPassword.h"
#include "site/res/SiteIds.h"

CLoginDlg::CLoginDlg(LoginInputs inputs, HWND parent)
    : CDialog(IDD_LOGIN, parent),
      m_protect(protectPassword),
      m_inputs(std::move(inputs)),
      m_services(*this, m_inputs.profile) {}

BOOL CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    bind(m_site, IDC_SITE);
    bind(m_login, IDC_LOGIN);
    bind(m_password, IDC_PASSWORD);
    bind(m_remember, IDC_REMEMBER);
    bind(m_status, IDC_LOGIN_STATUS);

    setWindowText(m_inputs.title + " - Login");
    const int lastSite = m_services.lastSite();

    m_site.addString(site::kSelectSite);
    for (const SiteEntry& entry : siteTable())
        m_site.addString(entry.m_displayName);
    m_site.addString(site::kHelpdeskEntry);
    m_site.setCurSel(lastSite > 0 && lastSite < m_site.count() ? lastSite : 0);

    COMBOBOXINFO info = {};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(m_site.hwnd(), &info)) {
        win::CEdit edit;
        edit.attach(info.hwndItem);
        edit.setReadOnly(true);
    }
    setStatus(std::string());

    if (m_services.remembered()) {
        m_remember.setChecked(true);
        if (m_site.curSel() != 0)
            loadCredentials(m_site.curSel());
    }
    BringWindowToTop(hwnd());
    return TRUE;
}

bool CLoginDlg::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (id == IDC_SITE && code == CBN_SELCHANGE) {
        onSiteChanged();
        return true;
    }
    return false;
}

// "Login" is the default button: Enter and the click both come here.
void CLoginDlg::OnOK() {
    if (!isBusy())
        onLogin();
}

// Escape, Cancel and the close box. While the site is asked, they give the request up; the
// dialog then ends as soon as the attempt has.
void CLoginDlg::OnCancel() {
    if (!isBusy()) {
        EndDialog(IDCANCEL);
        return;
    }
    m_services.cancel();
}

void CLoginDlg::onSiteChanged() {
    loadCredentials(m_site.curSel());
}

void CLoginDlg::loadCredentials(int siteIndex) {
    std::string login;
    std::string password;
    m_services.readCredentials(siteIndex, login, password);
    m_login.setText(login);
    m_password.setText(password);
}

bool CLoginDlg::storeCredentials(int siteIndex, const std::string& login, const std::string& password) {
    return m_services.storeCredentials(siteIndex, login, password);
}

std::string CLoginDlg::siteText(int index) const {
    const LRESULT length = SendMessageA(m_site.hwnd(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    SendMessageA(m_site.hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

void CLoginDlg::onLogin() {
    site::login::Attempt attempt;
    attempt.siteIndex = m_site.curSel();
    attempt.siteText = siteText(attempt.siteIndex);
    attempt.login = m_login.text();
    attempt.password = m_password.text();
    attempt.remember = m_remember.isChecked();
    attempt.ownBuild = static_cast<int32_t>(m_inputs.ownBuild);

    struct Busy {
        bool& busy;
        explicit Busy(bool& flag) : busy(flag) { busy = true; }
        ~Busy() { busy = false; }
    } busy(m_busy);
    switch (site::login::run(attempt, m_services)) {
        case site::login::Outcome::LoggedIn:
            EndDialog(IDOK);
            break;
        case site::login::Outcome::Cancelled:
            EndDialog(IDCANCEL);
            break;
        case site::login::Outcome::StayOpen:
            EnableWindow(item(IDOK), TRUE);
            break;
    }
}
