#pragma once
// The About box: the program icon, the application title and the notice line.

#include <string>

#include "win/ResizeDlg.h"

class CAboutDlg : public CResizeDlg {
  public:
    CAboutDlg(std::string title, std::string notice, HWND parent = nullptr);

  protected:
    BOOL OnInitDialog() override;

  private:
    std::string m_title;
    std::string m_notice;
};
