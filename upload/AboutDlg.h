#pragma once
// The About box: the program icon, the application title and the notice line.

#include "win/ResizeDlg.h"

class CAboutDlg : public CResizeDlg {
  public:
    explicit CAboutDlg(HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;
};
