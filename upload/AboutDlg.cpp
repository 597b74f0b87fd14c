#include "upload/AboutDlg.h"

#include <utility>

#include "upload/res/UploadIds.h"

CAboutDlg::CAboutDlg(std::string title, std::string notice, HWND parent)
    : CResizeDlg(IDD_ABOUTBOX, parent), m_title(std::move(title)), m_notice(std::move(notice)) {}

BOOL CAboutDlg::OnInitDialog() {
    CResizeDlg::OnInitDialog();
    setItemText(IDC_ABOUT_TITLE, m_title);
    setItemText(IDC_ABOUT_NOTICE, m_notice);
    return TRUE;
}
