#include "upload/UploadServices.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "app/res/resource.h"
#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "site/CompleteUpload.h"
#include "site/InetForm.h"
#include "torrent/MyProgress.h"
#include "upload/FileChecks.h"
#include "upload/KestrelDlg.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

void CWinUploadServices::setStatus(const std::string& text) {
    SetDlgItemTextA(m_dialog.hwnd(), IDC_STATUS, text.c_str());
}

void CWinUploadServices::message(const std::string& text) {
    appMessageBox(text);
}

std::string CWinUploadServices::contentProblem(const std::string& path, bool fileMode) {
    return upload::contentProblem(path, fileMode);
}

std::string CWinUploadServices::pictureProblem(const std::string& path) {
    return upload::pictureReason(upload::lookAtPicture(path));
}

BuildResult CWinUploadServices::buildTorrent(const std::string& contentPath, bool fileMode) {
    CMyProgress progress(m_dialog.hwnd());
    progress.m_sourcePath = contentPath;
    progress.m_singleFile = fileMode;
    switch (progress.DoModal()) {
        case IDOK:
            return BuildResult::written();
        case IDCANCEL:
            return BuildResult::cancelled();
        case kProgressFailed:
            return progress.m_result;
        default:
            return BuildResult::failed("The hashing dialog could not be shown");
    }
}

bool CWinUploadServices::postForm(const std::string& host,
                                  const std::vector<upload::FormField>& fields,
                                  std::string& answer) {
    CMyInetForm form;
    form.openRequest(host, upload::kUploadPath);
    for (const upload::FormField& field : fields) {
        // A file that cannot be read (the poster has said so) sends nothing: the site would get
        // a request cut short.
        if (!field.isFile)
            form.addText(field.name, field.value);
        else if (form.addFile(field.value, field.fileName, field.name))
            return false;
    }
    if (form.send())
        return false;
    answer = form.m_response;
    return true;
}

bool CWinUploadServices::postPicture(const std::string& host,
                                     const std::vector<upload::FormField>& fields,
                                     std::string& failure) {
    const CHeldMessages held;
    std::string ignored;
    if (postForm(host, fields, ignored))
        return true;
    // The first box the poster would have shown is the nearest to the cause.
    failure = held.texts().empty() ? "The site could not be reached." : held.texts().front();
    return false;
}

bool CWinUploadServices::writeFile(const std::string& path, const std::string& bytes) {
    win::CHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    // A short write leaves what fitted, as a text file opened for writing would.
    WriteFile(file.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr);
    return true;
}

bool CWinUploadServices::readFile(const std::string& path, std::size_t maxBytes, std::string& bytes) {
    win::CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    bytes.clear();
    char block[65536];
    while (bytes.size() < maxBytes) {
        DWORD read = 0;
        const DWORD want = DWORD(std::min<std::size_t>(sizeof block, maxBytes - bytes.size()));
        if (!ReadFile(file.get(), block, want, &read, nullptr))
            return false;
        if (read == 0)
            break;
        bytes.append(block, read);
    }
    return true;
}

bool CWinUploadServices::downloadTorrent(const std::string& host,
                                         const std::string& linkPath,
                                         const std::string& localPath) {
    CMyInetForm download;
    return !download.downloadFile(host, linkPath, localPath);
}

void CWinUploadServices::waitForBackend() {
    CompleteUpload wait(m_dialog.hwnd());
    wait.DoModal();
}

int CWinUploadServices::majorVersion(const std::string& executable) {
    return executableMajorVersion(executable);
}

upload::ClientChoice CWinUploadServices::chooseClient() {
    SelectClient choice(m_dialog.hwnd());
    switch (choice.DoModal()) {
        case IDC_UTORRENT:
            return upload::ClientChoice::Utorrent;
        case IDC_AZUREUS:
            return upload::ClientChoice::Azureus;
        default:
            return upload::ClientChoice::Closed;
    }
}

void CWinUploadServices::startClient(const upload::ClientStart& start) {
    ShellExecuteA(start.ownedByDialog ? m_dialog.hwnd() : nullptr, "open", start.program.c_str(),
                  start.parameters.c_str(), nullptr, SW_SHOW);
}

std::unique_ptr<upload::UploadServices> makeUploadServices(CKestrelDlg& dialog) {
    return std::make_unique<CWinUploadServices>(dialog);
}
