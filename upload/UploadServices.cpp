#include "upload/UploadServices.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "client/ClientDialogs.h"
#include "client/ClientDiscovery.h"
#include "client/res/ClientIds.h"
#include "site/BoundedRequests.h"
#include "site/CompleteUpload.h"
#include "site/FormRequest.h"
#include "site/RequestLimits.h"
#include "torrent/MyProgress.h"
#include "upload/FileChecks.h"
#include "upload/KestrelDlg.h"
#include "upload/res/UploadIds.h"
#include "win/Handles.h"
#include "win/MessageBox.h"
#include "win/SystemErrorText.h"
#include "win/WholeFile.h"

void CWinUploadServices::setStatus(const std::string& text) {
    SetDlgItemTextA(m_dialog.hwnd(), IDC_STATUS, text.c_str());
}

void CWinUploadServices::message(const std::string& text) {
    appMessageBox(text);
}

void CWinUploadServices::success(const std::string& text) {
    appMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

std::string CWinUploadServices::contentProblem(const std::string& path, bool fileMode) {
    return upload::contentProblem(path, fileMode);
}

std::string CWinUploadServices::pictureProblem(const std::string& path) {
    return upload::pictureReason(upload::lookAtPicture(path));
}

BuildResult CWinUploadServices::buildTorrent(const std::string& contentPath, bool fileMode, const std::string& output) {
    CMyProgress progress(m_dialog.hwnd());
    progress.m_sourcePath = contentPath;
    progress.m_outputPath = output;
    progress.m_singleFile = fileMode;
    progress.m_maker.setCreator(m_dialog.inputs().title);
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

upload::PostAnswer CWinUploadServices::postForm(const std::string& host, const std::vector<upload::FormField>& fields) {
    upload::PostAnswer answer;
    answer.end = upload::PostEnd::NotSent;
    // The form is made here; only the exchange with the site runs where it can be left behind.
    auto form = std::make_shared<site::FormRequest>();
    const site::RequestResult opened = form->open(host, upload::kUploadPath);
    if (!opened.ok) {
        // Nothing went out: a fault of this machine's, told in a box of its own before the step's.
        message(opened.reason);
        answer.failure = site::reason::kNotMade;
        return answer;
    }
    for (const upload::FormField& field : fields) {
        if (!field.isFile) {
            form->addText(field.name, field.value);
            continue;
        }
        // A form without the file never leaves.
        const site::RequestResult added = form->addFile(field.value, field.fileName, field.name);
        if (!added.ok) {
            answer.failure = added.reason;
            return answer;
        }
    }
    const BoundedResult sent = sendBounded(form, m_dialog.cancelSignal().handle());
    if (sent.end == WaitEnd::Cancelled) {
        answer.end = upload::PostEnd::Cancelled;
        return answer;
    }
    if (!sent.result.ok) {
        answer.end = sent.bodySent ? upload::PostEnd::NoAnswer : upload::PostEnd::NotSent;
        answer.failure = sent.result.reason;
        return answer;
    }
    answer.end = upload::PostEnd::Answered;
    answer.page = sent.result.page;
    answer.status = sent.result.status;
    return answer;
}

bool CWinUploadServices::writeFile(const std::string& path, const std::string& bytes) {
    return win::writeWholeFile(path, bytes);
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

upload::DownloadResult CWinUploadServices::downloadTorrent(const std::string& host,
                                                           const std::string& linkPath,
                                                           const std::string& localPath) {
    const BoundedResult file = downloadBounded(host, linkPath, localPath, m_dialog.cancelSignal().handle());
    upload::DownloadResult result;
    result.done = file.result.ok;
    result.cancelled = file.end == WaitEnd::Cancelled;
    result.message = file.result.reason;
    return result;
}

void CWinUploadServices::waitForBackend(const std::string& copyPath) {
    // The copy was read and checked just before: one that cannot be read again only waits longer.
    std::string copy;
    site::scrape::Target target;
    std::string address;
    if (readFile(copyPath, upload::kMaxTorrentCopy, copy) && site::scrape::targetOf(copy, target))
        address = site::scrape::address(target.m_announce, target.m_infoHash);
    BackendCheck check;
    if (!address.empty())
        check = [address, hash = target.m_infoHash](HANDLE stop) { return scrapeBounded(address, hash, stop); };
    CompleteUpload wait(m_dialog.hwnd(), check);
    wait.DoModal();
}

client::ExecutableFacts CWinUploadServices::clientVersion(const std::string& executable) {
    return executableVersion(executable);
}

client::ContentLayout CWinUploadServices::qbittorrentLayout(const std::string& executable) {
    return qbittorrentContentLayout(executable);
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

upload::ClientStarted CWinUploadServices::startClient(const upload::ClientStart& start) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    // The shell shows no box of its own: the sequence tells the member.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = start.ownedByDialog ? m_dialog.hwnd() : nullptr;
    info.lpVerb = "open";
    info.lpFile = start.program.c_str();
    info.lpParameters = start.parameters.c_str();
    info.nShow = SW_SHOW;
    upload::ClientStarted started;
    if (ShellExecuteExA(&info)) {
        const win::CHandle process(info.hProcess);  // the client runs on its own
        return started;
    }
    const DWORD error = GetLastError();
    const std::string text = win::systemErrorText(error);
    started.ok = false;
    started.reason = start.program + ": " + (text.empty() ? "error " + std::to_string(error) : text);
    return started;
}

std::unique_ptr<upload::UploadServices> makeUploadServices(CKestrelDlg& dialog) {
    return std::make_unique<CWinUploadServices>(dialog);
}
