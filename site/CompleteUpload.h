#pragma once
// The wait that gives the site's backend time to finish an upload, at most 30 seconds. Ends by
// itself with 0 on the 30th tick, or earlier with 0 once its check (when it has one) finds the
// upload done; Escape or the close box end it early with IDCANCEL.

#include <functional>
#include <memory>

#include "site/Scrape.h"
#include "win/Controls.h"
#include "win/Dialog.h"
#include "win/Thread.h"

inline constexpr UINT_PTR kBackendWaitTimerId = 123;

// Asks once whether the backend is done (the tracker lists the upload). It runs on a thread of
// the dialog's own, never on the dialog's, and must return soon after `stop` is raised.
using BackendCheck = std::function<site::scrape::Seen(HANDLE stop)>;

class CompleteUpload : public win::CDialog {
  public:
    explicit CompleteUpload(HWND parent = nullptr, BackendCheck check = BackendCheck());
    ~CompleteUpload() override;

    int m_secondsLeft = 30;
    // One tick's period. A test that sends the ticks itself sets it far longer, so that the
    // dialog's own timer never ticks in between.
    UINT m_tickMilliseconds = 1000;
    // The period of the check, counted from the start of one ask to the start of the next.
    DWORD m_askMilliseconds = 1000;

    struct Asker;

  protected:
    BOOL OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;
    bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

  private:
    void showSecondsLeft() const;
    void stopAsking();

    win::CStatic m_text;
    BackendCheck m_check;
    std::shared_ptr<Asker> m_asker;
    win::CThread m_thread;
};
