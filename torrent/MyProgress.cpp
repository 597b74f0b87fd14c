#include "torrent/MyProgress.h"

#include <exception>
#include <new>

#include "torrent/ProgressPosition.h"
#include "torrent/res/TorrentIds.h"

namespace {

constexpr UINT kTickMilliseconds = 30;

// A build that threw wrote nothing; its reason is kept when there is memory for the words.
void thrown(BuildResult& result, const char* why) noexcept {
    result.m_end = BuildEnd::Failed;
    try {
        result.m_reason = why;
    } catch (...) {
    }
}

}  // namespace

CMyProgress::CMyProgress(HWND parent) : CDialog(IDD_PROGRESS, parent) {}

CMyProgress::~CMyProgress() {
    // The worker touches this object until it has returned.
    m_thread.wait();
}

DWORD WINAPI CMyProgress::hashWorker(void* param) {
    auto* self = static_cast<CMyProgress*>(param);
    const std::string& output = self->m_outputPath;
    // Whatever happens, the dialog has to end and tell why.
    try {
        self->m_result = self->m_singleFile ? self->m_maker.buildFromFile(self->m_sourcePath, output)
                                            : self->m_maker.buildFromFolder(self->m_sourcePath, output);
    } catch (const std::bad_alloc&) {
        thrown(self->m_result, torrent::buildreason::kNoMemory);
    } catch (const std::exception& e) {
        thrown(self->m_result, e.what());
    } catch (...) {
        thrown(self->m_result, "Unknown error");
    }
    // Published after the build has returned, so its output file is complete and closed.
    self->m_done.store(true, std::memory_order_release);
    return 0;
}

BOOL CMyProgress::OnInitDialog() {
    CDialog::OnInitDialog();
    setTimer(kProgressTimerId, kTickMilliseconds);
    bind(m_progress, IDC_PROGRESS);
    m_progress.setRange(0, kProgressRange);
    m_progress.setStep(1);
    // Without a worker the first tick ends the dialog.
    if (!m_thread.start(hashWorker, this))
        m_result = BuildResult::failed("Windows could not start the hashing");
    return TRUE;
}

bool CMyProgress::OnTimer(UINT_PTR id) {
    if (id != kProgressTimerId)
        return false;
    m_progress.setPos(progressPosition(m_maker.m_totalSize.load(std::memory_order_relaxed),
                                       m_maker.m_bytesDone.load(std::memory_order_relaxed)));
    if (m_done.load(std::memory_order_acquire) || !m_thread.exists()) {
        m_thread.wait();  // it has nothing left to do but return
        killTimer(kProgressTimerId);
        MessageBeep(MB_ICONEXCLAMATION);
        EndDialog(m_result ? IDOK : kProgressFailed);
    }
    return true;
}

void CMyProgress::OnCancel() {
    m_maker.m_cancel.store(true, std::memory_order_relaxed);
    // The build notices the flag before its next piece or inside its current read.
    m_thread.wait();
    CDialog::OnCancel();
}
