#include "site/CompleteUpload.h"

#include <cstdio>

#include "site/res/SiteIds.h"

CompleteUpload::CompleteUpload(HWND parent) : CDialog(IDD_COMPLETEUPLOAD, parent) {}

BOOL CompleteUpload::OnInitDialog() {
    CDialog::OnInitDialog();
    bind(m_text, IDC_BACKEND_TEXT);
    setWindowText("Finishing upload...");
    setTimer(kBackendWaitTimerId, m_tickMilliseconds);
    m_secondsLeft = 30;
    showSecondsLeft();
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

void CompleteUpload::showSecondsLeft() const {
    char text[96];
    std::snprintf(text, sizeof text, "Waiting for Backend to complete upload (%d seconds)", m_secondsLeft);
    m_text.setText(text);
}
