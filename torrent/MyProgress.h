#pragma once
// The small modal dialog that runs one torrent build on a worker thread, shows how far it
// has got and lets the user cancel it. It ends with IDOK once the build has written the file
// complete, with kProgressFailed when it ended without it (m_result says why) and with IDCANCEL
// when the user cancelled; never while the worker still runs. The output goes to m_outputPath.

#include <atomic>
#include <string>

#include "torrent/MakeTorrent.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Thread.h"

inline constexpr UINT_PTR kProgressTimerId = 1088;
// The third end of the dialog: the build wrote no torrent.
inline constexpr INT_PTR kProgressFailed = IDABORT;

class CMyProgress : public win::CDialog {
  public:
    explicit CMyProgress(HWND parent = nullptr);
    ~CMyProgress() override;

    CMakeTorrent m_maker;
    std::string m_sourcePath;  // set by the caller before DoModal, with m_outputPath
    std::string m_outputPath;  // and the creator of m_maker
    bool m_singleFile = false;
    std::atomic<bool> m_done{false};
    BuildResult m_result;  // written by the worker before m_done
    win::CThread m_thread;
    win::CProgressBar m_progress;

  protected:
    BOOL OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;
    // Enter must not end the dialog while the worker runs; only the build or Cancel end it.
    void OnOK() override {}
    void OnCancel() override;

  private:
    static DWORD WINAPI hashWorker(void* param);
};
