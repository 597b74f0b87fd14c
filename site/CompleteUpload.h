#pragma once
// The 30-second wait that gives the site's backend time to finish an upload. Ends by itself
// with 0 on the 30th tick; Escape or the close box end it early with IDCANCEL.

#include "win/Controls.h"
#include "win/Dialog.h"

inline constexpr UINT_PTR kBackendWaitTimerId = 123;

class CompleteUpload : public win::CDialog {
  public:
    explicit CompleteUpload(HWND parent = nullptr);

    int m_secondsLeft = 30;
    // One tick's period. A test that sends the ticks itself sets it far longer, so that the
    // dialog's own timer never ticks in between.
    UINT m_tickMilliseconds = 1000;

  protected:
    BOOL OnInitDialog() override;
    bool OnTimer(UINT_PTR id) override;

  private:
    void showSecondsLeft() const;

    win::CStatic m_text;
};
