#include "site/LoginDlg.h"

#include <wininet.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/state/AppState.h"
#include "app/state/SettingsLayout.h"
#include "site/BoundedRun.h"
#include "site/GenreList.h"
#include "site/InetForm.h"
#include "site/LoginAnswer.h"
#include "site/RequestLimits.h"
#include "site/SiteTable.h"
#include "site/StoredPassword.h"
#include "site/UpdateOffer.h"
#include "site/res/SiteIds.h"
#include "win/App.h"
#include "win/MessageBox.h"

namespace {

const char* const kSection = settings::kProfileSection;
const char kNotRemembered[] =
    "Your password could not be remembered: Windows refused to protect it.\n"
    "Nothing was stored; you will have to type it again next time.";

constexpr UINT kExchangeDone = WM_APP + 1;

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

// What the worker sends and what comes back; the interface thread reads it after kExchangeDone.
struct LoginExchange {
    HWND dialog = nullptr;
    std::string host;
    std::string login;
    std::string password;

    bool answered = false;
    std::string failure;  // why no answer came
    long status = 0;
    bool fromLoginForm = false;  // the answer is the login form's own, not the page it leads to
    std::string answer;
    bool cookiesUnreadable = false;
    DWORD cookieError = 0;
    std::string cookies;  // the cookie text of the login address, empty when there is none
};

namespace {

void exchange(LoginExchange& ex) {
    auto form = std::make_shared<CMyInetForm>();
    form->openRequest(ex.host, "/takelogin.php");
    form->addText("username", ex.login);
    form->addText("password", ex.password);
    form->addText("returnto", "/genrelist.php");
    auto failed = std::make_shared<bool>(true);
    if (!runBounded([form, failed] { *failed = form->send(); }, requestWaitMilliseconds())) {
        ex.failure = reason::noAnswerWithin(requestLimits().m_totalSeconds);
        return;
    }
    if (*failed) {
        ex.failure = form->m_failure;
        return;
    }
    ex.answered = true;
    ex.status = form->m_status;
    ex.fromLoginForm = form->m_answerAddress.find("/takelogin.php") != std::string::npos;
    ex.answer = std::move(form->m_response);

    const std::string loginUrl = "https://" + ex.host + "/takelogin.php";
    DWORD size = 0;
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, nullptr, &size) || size == 0)
        return;
    std::vector<char> cookies(size);
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, cookies.data(), &size)) {
        ex.cookiesUnreadable = true;
        ex.cookieError = GetLastError();
        return;
    }
    ex.cookies.assign(cookies.data(), strnlen(cookies.data(), cookies.size()));
}

DWORD WINAPI exchangeWorker(void* param) {
    LoginExchange& ex = *static_cast<LoginExchange*>(param);
    try {
        exchange(ex);
    } catch (...) {
        ex.answered = false;
        ex.failure = "The answer could not be read.";
    }
    PostMessageA(ex.dialog, kExchangeDone, 0, 0);
    return 0;
}

}  // namespace

CLoginDlg::CLoginDlg(HWND parent) : CDialog(IDD_LOGIN, parent), m_protect(protectPassword) {}

CLoginDlg::~CLoginDlg() {
    m_worker.wait();
}

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
    if (!isBusy())
        onLogin();
}

void CLoginDlg::OnCancel() {
    if (!isBusy())
        EndDialog(IDCANCEL);
}

bool CLoginDlg::OnAppMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message != kExchangeDone || !m_exchange)
        return false;
    m_worker.wait();
    m_worker.close();
    const std::unique_ptr<LoginExchange> done = std::move(m_exchange);
    if (loggedIn(*done)) {
        EndDialog(IDOK);
        return true;
    }
    EnableWindow(item(IDOK), TRUE);
    return true;
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
    // Nothing of an earlier attempt stays: what follows fills the session or leaves it empty.
    session.m_categories.clear();
    session.m_uid.clear();
    session.m_pass.clear();

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

    auto ex = std::make_unique<LoginExchange>();
    ex->dialog = hwnd();
    ex->host = host;
    ex->login = login;
    ex->password = password;
    setStatus("Connecting...");
    EnableWindow(item(IDOK), FALSE);
    m_exchange = std::move(ex);
    if (!m_worker.start(exchangeWorker, m_exchange.get())) {
        m_exchange.reset();
        EnableWindow(item(IDOK), TRUE);
        setStatus("Connection failed: no thread could be started.");
    }
}

bool CLoginDlg::loggedIn(const LoginExchange& ex) {
    if (!ex.answered) {
        setStatus("Connection failed: " + ex.failure);
        return false;
    }
    if (ex.status >= 400 && ex.fromLoginForm) {
        setStatus("The site answered " + std::to_string(ex.status) + ": try again later");
        return false;
    }
    setStatus("Results:");
    const LoginRefusal refusal = classifyLoginAnswer(ex.answer);
    if (refusal != LoginRefusal::None) {
        setStatus(refusalStatus(refusal));
        return false;
    }
    if (ex.cookiesUnreadable) {
        char status[64];
        snprintf(status, sizeof status, "LastErrorA: %ld\n", static_cast<long>(ex.cookieError));
        setStatus(status);
        return false;
    }
    if (ex.cookies.empty()) {
        setStatus("The site did not log you in");
        return false;
    }
    SiteSession& session = appState().m_session;
    if (!extractSessionCookies(ex.cookies, session.m_uid, session.m_pass)) {
        session.m_uid.clear();
        session.m_pass.clear();
        setStatus("Login incorrect");
        return false;
    }
    const std::string trace = "Complete: " + ex.cookies + "\nuid=" + session.m_uid + "\npass=" + session.m_pass;
    OutputDebugStringA(trace.c_str());

    std::vector<std::string> categories;
    const GenreListResult list = parseGenreList(ex.answer, categories);
    if (list.m_cookiesRequired) {
        setStatus(genre::kCookiesRequired);
        return false;
    }
    if (ex.status >= 400 || !beginsWithAnnouncement(ex.answer)) {
        session.m_uid.clear();
        session.m_pass.clear();
        setStatus("Could not read the category list");
        return false;
    }
    session.m_categories = std::move(categories);
    offerUpdate(hwnd(), list.m_build, list.m_updateAddress, static_cast<int32_t>(appState().m_buildNumber));
    return true;
}
