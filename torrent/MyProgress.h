#pragma once
// The small modal dialog that runs one torrent build on a worker thread, shows how far it
// has got and lets the user cancel it. It ends with IDOK once the build has returned
// (whether or not it wrote the file) and with IDCANCEL when the user cancelled; never while
// the worker still runs. The output goes to appState().m_newTorrentPath.

#include <atomic>
#include <string>

#include "torrent/MakeTorrent.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Thread.h"

inline constexpr UINT_PTR kProgressTimerId = 1088;

class CMyProgress : public win::CDialog {
  public:
    explicit CMyProgress(HWND parent = nullptr);
    ~CMyProgress() override;

    CMakeTorrent m_maker;
    std::string m_sourcePath;  // set by the caller before DoModal
    bool m_singleFile = false;
    std::atomic<bool> m_done{false};
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
