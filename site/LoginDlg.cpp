#include "site/LoginDlg.h"

#include <wininet.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/AppState.h"
#include "app/SettingsLayout.h"
#include "app/res/resource.h"
#include "site/GenreList.h"
#include "site/InetForm.h"
#include "site/LoginAnswer.h"
#include "site/SiteTable.h"
#include "site/StoredPassword.h"
#include "site/UpdateOffer.h"
#include "win/App.h"
#include "win/MessageBox.h"

namespace {

const char* const kSection = settings::kProfileSection;
const char kNotRemembered[] =
    "Your password could not be remembered: Windows refused to protect it.\n"
    "Nothing was stored; you will have to type it again next time.";

std::string indexed(const char* name, int index) {
    return name + std::to_string(index);
}

int profileInt(const char* entry, int defaultValue) {
    const win::CApp* app = win::CApp::instance();
    return app ? app->GetProfileInt(kSection, entry, defaultValue) : defaultValue;
}

void writeProfileInt(const char* entry, int value) {
    if (const win::CApp* app = win::CApp::instance())
        app->WriteProfileInt(kSection, entry, value);
}

}  // namespace

CLoginDlg::CLoginDlg(HWND parent) : CDialog(IDD_LOGIN, parent), m_protect(protectPassword) {}

BOOL CLoginDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    bind(m_site, IDC_SITE);
    bind(m_login, IDC_LOGIN);
    bind(m_password, IDC_PASSWORD);
    bind(m_remember, IDC_REMEMBER);
    bind(m_status, IDC_LOGIN_STATUS);

    setWindowText(appState().m_title + " - Login");
    const int lastSite = profileInt(settings::kLastSite, 0);

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

    if (profileInt(settings::kRemember, 0) == 1) {
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
    onLogin();
}

void CLoginDlg::onSiteChanged() {
    loadCredentials(m_site.curSel());
}

void CLoginDlg::loadCredentials(int siteIndex) {
    std::string login;
    std::string password;
    const win::CApp* app = win::CApp::instance();
    if (siteIndex != -1 && app) {
        login = app->GetProfileString(kSection, indexed("Login", siteIndex));
        std::vector<BYTE> blob;
        if (app->GetProfileBinary(kSection, indexed("Password", siteIndex), blob))
            unprotectPassword(blob, password);
        else
            password = app->GetProfileString(kSection, indexed("Password", siteIndex));  // kept in plain text before
    }
    m_login.setText(login);
    m_password.setText(password);
}

bool CLoginDlg::storeCredentials(int siteIndex, const std::string& login, const std::string& password) {
    const win::CApp* app = win::CApp::instance();
    if (!app)
        return true;
    std::vector<BYTE> blob;
    // Never an empty password in place of one that could not be protected.
    if (!password.empty() && !m_protect(password, blob))
        return false;
    app->WriteProfileString(kSection, indexed("Login", siteIndex), login);
    if (password.empty())
        app->WriteProfileString(kSection, indexed("Password", siteIndex), std::string());
    else
        app->WriteProfileBinary(kSection, indexed("Password", siteIndex), blob);
    return true;
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
    const int index = m_site.curSel();
    if (index == CB_ERR || index == 0) {
        appMessageBox("You have to select a Site first!");
        return;
    }
    writeProfileInt(settings::kLastSite, index);

    SiteSession& session = appState().m_session;
    std::string host;
    if (!findSiteHost(siteText(index), host))
        return;  // the helpdesk entry is no site
    session.m_siteHost = host;

    const std::string login = m_login.text();
    const std::string password = m_password.text();
    if (login.empty() || password.empty()) {
        setStatus("Please enter your Login and Password to proceed");
        return;
    }
    if (m_remember.isChecked()) {
        // "Remember" stays as it was when the password cannot be kept safely.
        if (storeCredentials(index, login, password))
            writeProfileInt(settings::kRemember, 1);
        else
            appMessageBox(kNotRemembered);
    } else {
        writeProfileInt(settings::kRemember, 0);
        storeCredentials(index, std::string(), std::string());
    }

    CMyInetForm form;
    form.openRequest(host, "/takelogin.php");
    form.addText("username", login);
    form.addText("password", password);
    form.addText("returnto", "/genrelist.php");
    setStatus("Connecting...");
    const std::string loginUrl = "https://" + host + "/takelogin.php";
    if (form.send()) {
        // Stay open so the user can try again.
        setStatus("Connection failed");
        return;
    }
    setStatus("Results:");
    const std::string& answer = form.m_response;

    const LoginRefusal refusal = classifyLoginAnswer(answer);
    if (refusal != LoginRefusal::None) {
        setStatus(refusalStatus(refusal));
        return;
    }

    DWORD size = 0;
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, nullptr, &size) || size == 0) {
        EndDialog(IDOK);  // no cookie at all: the session stays without them
        return;
    }
    std::vector<char> cookies(size);
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, cookies.data(), &size)) {
        char status[96];
        snprintf(status, sizeof status, "LastErrorA: %ld 0x%lx %ld\n", static_cast<long>(GetLastError()),
                 static_cast<unsigned long>(reinterpret_cast<uintptr_t>(cookies.data())), static_cast<long>(size));
        setStatus(status);
        return;
    }
    const std::string cookieText(cookies.data(), strnlen(cookies.data(), cookies.size()));
    if (!extractSessionCookies(cookieText, session.m_uid, session.m_pass)) {
        setStatus("Login incorrect");
        return;
    }
    const std::string trace = "Complete: " + cookieText + "\nuid=" + session.m_uid + "\npass=" + session.m_pass;
    OutputDebugStringA(trace.c_str());

    const GenreListResult list = parseGenreList(answer, session.m_categories);
    if (list.m_cookiesRequired) {
        setStatus(genre::kCookiesRequired);
        return;
    }
    offerUpdate(hwnd(), list.m_build, list.m_updateAddress, static_cast<int32_t>(appState().m_buildNumber));
    EndDialog(IDOK);
}
