#include "site/CompleteUpload.h"

#include <cstdio>
#include <utility>

#include "site/BoundedRun.h"
#include "site/res/SiteIds.h"
#include "win/Handles.h"

// What the asking thread shares with the dialog. The thread holds it as long as it runs, so a
// thread the dialog stopped waiting for still touches only this.
struct CompleteUpload::Asker {
    BackendCheck m_check;
    DWORD m_period = 1000;
    HWND m_dialog = nullptr;
    win::CSignal m_stop;
};

namespace {

constexpr UINT kListedMessage = WM_APP + 1;

DWORD WINAPI askUntilDone(void* param) {
    const std::unique_ptr<std::shared_ptr<CompleteUpload::Asker>> owned(
        static_cast<std::shared_ptr<CompleteUpload::Asker>*>(param));
    CompleteUpload::Asker& asker = **owned;
    try {
        for (;;) {
            const DWORD started = GetTickCount();
            const site::scrape::Seen seen = asker.m_check(asker.m_stop.handle());
            if (asker.m_stop.raised() || seen == site::scrape::Seen::Never)
                return 0;
            if (seen == site::scrape::Seen::Listed) {
                PostMessageA(asker.m_dialog, kListedMessage, 0, 0);
                return 0;
            }
            const DWORD spent = GetTickCount() - started;
            if (WaitForSingleObject(asker.m_stop.handle(), spent < asker.m_period ? asker.m_period - spent : 0) ==
                WAIT_OBJECT_0)
                return 0;
        }
    } catch (...) {
        // The countdown goes on without the check.
    }
    return 0;
}

}  // namespace

CompleteUpload::CompleteUpload(HWND parent, BackendCheck check)
    : CDialog(IDD_COMPLETEUPLOAD, parent), m_check(std::move(check)) {}

CompleteUpload::~CompleteUpload() {
    stopAsking();
}

BOOL CompleteUpload::OnInitDialog() {
    CDialog::OnInitDialog();
    bind(m_text, IDC_BACKEND_TEXT);
    setWindowText("Finishing upload...");
    setTimer(kBackendWaitTimerId, m_tickMilliseconds);
    m_secondsLeft = 30;
    showSecondsLeft();
    if (m_check) {
        m_asker = std::make_shared<Asker>();
        m_asker->m_check = m_check;
        m_asker->m_period = m_askMilliseconds;
        m_asker->m_dialog = hwnd();
        auto param = std::make_unique<std::shared_ptr<Asker>>(m_asker);
        if (m_thread.start(askUntilDone, param.get()))
            static_cast<void>(param.release());  // the thread's now
    }
    return TRUE;
}

// The next period counts from the end of this tick's work.
bool CompleteUpload::OnTimer(UINT_PTR id) {
    if (id != kBackendWaitTimerId)
        return false;
    killTimer(kBackendWaitTimerId);
    const int before = m_secondsLeft--;
    if (before < 2) {
        EndDialog(0);
        return true;
    }
    showSecondsLeft();
    setTimer(kBackendWaitTimerId, m_tickMilliseconds);
    return true;
}

bool CompleteUpload::OnAppMessage(UINT message, WPARAM, LPARAM) {
    if (message != kListedMessage)
        return false;
    killTimer(kBackendWaitTimerId);
    EndDialog(0);
    return true;
}

void CompleteUpload::OnDestroy() {
    stopAsking();
}

// A check given up on ends its request within the grace it gives abandoned work.
void CompleteUpload::stopAsking() {
    if (m_asker)
        m_asker->m_stop.raise();
    if (m_thread.exists())
        m_thread.wait(kAbandonGraceMs + 1000);
    m_thread.close();
}

void CompleteUpload::showSecondsLeft() const {
    char text[96];
    std::snprintf(text, sizeof text, "Waiting for Backend to complete upload (%d seconds)", m_secondsLeft);
    m_text.setText(text);
}
