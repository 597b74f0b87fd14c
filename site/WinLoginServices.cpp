#include "site/WinLoginServices.h"

#include <windows.h>

#include <shellapi.h>
#include <wininet.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/state/SettingsLayout.h"
#include "site/BoundedRequests.h"
#include "site/FormRequest.h"
#include "site/LoginDlg.h"
#include "site/RequestLimits.h"
#include "site/StoredPassword.h"
#include "site/res/SiteIds.h"
#include "win/MessageBox.h"

namespace {

const char* const kSection = app::settings::kProfileSection;

std::string indexed(const char* name, int index) {
    return name + std::to_string(index);
}

// What the worker sends and what comes back; read once the worker has ended.
struct LoginExchange {
    std::shared_ptr<site::FormRequest> form;  // opened
    site::login::Request request;
    site::login::Answer answer;
    HANDLE cancel = nullptr;
};

void exchange(LoginExchange& ex) {
    site::login::Answer& answer = ex.answer;
    ex.form->addText("username", ex.request.login);
    ex.form->addText("password", ex.request.password);
    ex.form->addText("returnto", site::login::kReturnTo);
    BoundedResult sent = sendBounded(ex.form, ex.cancel);
    if (sent.end == WaitEnd::Cancelled) {
        answer.cancelled = true;
        return;
    }
    if (!sent.result.ok) {
        answer.failure = sent.result.reason;
        return;
    }
    answer.answered = true;
    answer.status = sent.result.status;
    answer.fromLoginForm = ex.form->answerAddress().find(site::login::kLoginPath) != std::string::npos;
    answer.page = std::move(sent.result.page);

    const std::string loginUrl = "https://" + ex.request.host + site::login::kLoginPath;
    DWORD size = 0;
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, nullptr, &size) || size == 0)
        return;
    std::vector<char> cookies(size);
    if (!InternetGetCookieA(loginUrl.c_str(), nullptr, cookies.data(), &size)) {
        answer.cookiesUnreadable = true;
        answer.cookieError = GetLastError();
        return;
    }
    answer.cookies.assign(cookies.data(), strnlen(cookies.data(), cookies.size()));
}

DWORD WINAPI exchangeWorker(void* param) {
    LoginExchange& ex = *static_cast<LoginExchange*>(param);
    try {
        exchange(ex);
    } catch (...) {
        ex.answer.answered = false;
        ex.answer.failure = "The answer could not be read.";
    }
    return 0;
}

// Keeps the dialog's messages flowing until the thread has ended, as the dialog's own loop
// would; a quit asked for meanwhile is passed on once it has.
void waitDispatching(HANDLE thread, const CLoginDlg& dialog) {
    bool quit = false;
    WPARAM quitCode = 0;
    while (!quit) {
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woke != WAIT_OBJECT_0 + 1)
            break;  // ended, or no wait is possible: the thread ends on its own in bounded time
        MSG message;
        while (!quit && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = message.wParam;
            } else if (!IsDialogMessageA(dialog.hwnd(), &message)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        }
    }
    WaitForSingleObject(thread, INFINITE);
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace

CWinLoginServices::~CWinLoginServices() {
    m_worker.wait();
}

void CWinLoginServices::cancel() {
    m_cancel.raise();
}

void CWinLoginServices::setStatus(const std::string& text) {
    m_dialog.setStatus(text);
}

void CWinLoginServices::message(const std::string& text) {
    appMessageBox(text);
}

bool CWinLoginServices::ask(const std::string& text) {
    return appMessageBox(text, MB_YESNO) == IDYES;
}

void CWinLoginServices::writeLastSite(int siteIndex) {
    m_profile.WriteProfileInt(kSection, app::settings::kLastSite, siteIndex);
}

void CWinLoginServices::writeRemember(bool remember) {
    m_profile.WriteProfileInt(kSection, app::settings::kRemember, remember ? 1 : 0);
}

bool CWinLoginServices::storeCredentials(int siteIndex, const std::string& login, const std::string& password) {
    std::vector<BYTE> blob;
    // Never an empty password in place of one that could not be protected.
    if (!password.empty() && !m_dialog.m_protect(password, blob))
        return false;
    m_profile.WriteProfileString(kSection, indexed(app::settings::kLoginPrefix, siteIndex), login);
    const std::string passwordEntry = indexed(app::settings::kPasswordPrefix, siteIndex);
    if (password.empty())
        m_profile.WriteProfileString(kSection, passwordEntry, std::string());
    else
        m_profile.WriteProfileBinary(kSection, passwordEntry, blob);
    return true;
}

site::login::Answer CWinLoginServices::exchange(const site::login::Request& request) {
    LoginExchange ex;
    ex.request = request;
    ex.form = std::make_shared<site::FormRequest>();
    const site::RequestResult opened = ex.form->open(request.host, site::login::kLoginPath);
    if (!opened.ok) {
        // Nothing went out: a fault of this machine's, told in a box of its own.
        message(opened.reason);
        ex.answer.failure = site::reason::kNotMade;
        return ex.answer;
    }
    m_cancel.clear();
    ex.cancel = m_cancel.handle();
    EnableWindow(m_dialog.item(IDOK), FALSE);
    if (!m_worker.start(exchangeWorker, &ex)) {
        ex.answer.failure = "no thread could be started.";
        return ex.answer;
    }
    // A press sent from another thread (an accessibility tool, a test's driver) returns now, as
    // it would from a dialog that waits in its own loop.
    if (InSendMessage())
        ReplyMessage(0);
    waitDispatching(m_worker.handle(), m_dialog);
    m_worker.close();
    return ex.answer;
}

void CWinLoginServices::trace(const std::string& text) {
    OutputDebugStringA(text.c_str());
}

bool CWinLoginServices::openAddress(const std::string& address) {
    // Above 32: the shell opened it.
    return reinterpret_cast<INT_PTR>(
               ShellExecuteA(m_dialog.hwnd(), "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

void CWinLoginServices::keepSession(const site::login::Session& session) {
    m_session = SiteSession{session.siteHost, session.uid, session.pass, session.categories};
}

int CWinLoginServices::lastSite() const {
    return m_profile.GetProfileInt(kSection, app::settings::kLastSite, 0);
}

bool CWinLoginServices::remembered() const {
    return m_profile.GetProfileInt(kSection, app::settings::kRemember, 0) == 1;
}

void CWinLoginServices::readCredentials(int siteIndex, std::string& login, std::string& password) const {
    login.clear();
    password.clear();
    if (siteIndex == -1)
        return;
    login = m_profile.GetProfileString(kSection, indexed(app::settings::kLoginPrefix, siteIndex));
    const std::string passwordEntry = indexed(app::settings::kPasswordPrefix, siteIndex);
    std::vector<BYTE> blob;
    if (m_profile.GetProfileBinary(kSection, passwordEntry, blob))
        static_cast<void>(unprotectPassword(blob, password));  // one that cannot be read shows empty
    else
        password = m_profile.GetProfileString(kSection, passwordEntry);  // kept in plain text before
}
