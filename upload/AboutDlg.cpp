#include "upload/AboutDlg.h"

#include "app/state/AppState.h"
#include "upload/res/UploadIds.h"

CAboutDlg::CAboutDlg(HWND parent) : CResizeDlg(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
    CResizeDlg::OnInitDialog();
    setItemText(IDC_ABOUT_TITLE, appState().m_title);
    setItemText(IDC_ABOUT_NOTICE, appState().m_notice);
    return TRUE;
}
