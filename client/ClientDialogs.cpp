#include "client/ClientDialogs.h"

#include <commdlg.h>

#include <utility>

#include "client/res/ClientIds.h"
#include "win/CodePage.h"

namespace {

// All executables, uTorrent's only, qBittorrent's only, Azureus's only.
const char kExeFilter[] =
    "Executable Files (*.exe)\0*.exe;utorrent.exe;qbittorrent.exe;azureus.exe\0"
    "utorrent.exe (Utorrent.exe)\0utorrent.exe\0"
    "qbittorrent.exe (qBittorrent.exe)\0qbittorrent.exe\0"
    "azureus.exe (Azureus.exe)\0azureus.exe\0";

}  // namespace

CFindExe::CFindExe(std::string path, HWND parent) : CDialog(IDD_FINDEXE, parent), m_path(std::move(path)) {}

BOOL CFindExe::OnInitDialog() {
    setItemText(IDC_EXE_PATH, m_path);
    return TRUE;
}

bool CFindExe::OnCommand(WORD code, WORD id, HWND /*control*/) {
    if (id == IDC_EXE_BROWSE && code == BN_CLICKED) {
        onBrowse();
        return true;
    }
    return id == IDC_EXE_PROMPT;  // clicks on the prompt do nothing
}

void CFindExe::onBrowse() {
    char path[win::codepage::kPathBytes] = {};
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = hwnd();
    request.lpstrFilter = kExeFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = sizeof path;
    request.Flags = OFN_EXPLORER;
    if (GetOpenFileNameA(&request))
        setItemText(IDC_EXE_PATH, path);
}

void CFindExe::OnOK() {
    m_path = itemText(IDC_EXE_PATH);
    if (m_path.empty()) {
        setItemText(IDC_EXE_PROMPT, "You have to se&lect a Client Software");
        return;
    }
    EndDialog(IDOK);
}

SelectClient::SelectClient(HWND parent) : CDialog(IDD_SELECTCLIENT, parent) {}

BOOL SelectClient::OnInitDialog() {
    BringWindowToTop(hwnd());
    return TRUE;
}

bool SelectClient::OnCommand(WORD /*code*/, WORD id, HWND /*control*/) {
    if (id == IDC_UTORRENT || id == IDC_AZUREUS) {
        EndDialog(id);
        return true;
    }
    return false;
}
