#pragma once
// The upload's outside world on Windows: the hashing and backend dialogs, the site's forms and
// download, the debug file, the client's version and its start. Runs on the worker thread and
// touches the main dialog only through window operations; every dialog it shows is owned by the
// main dialog, which is disabled meanwhile.

#include <string>
#include <vector>

#include "upload/UploadSequence.h"

class CKestrelDlg;

class CWinUploadServices : public upload::UploadServices {
  public:
    explicit CWinUploadServices(CKestrelDlg& dialog) : m_dialog(dialog) {}

    void setStatus(const std::string& text) override;
    void message(const std::string& text) override;
    void success(const std::string& text) override;
    std::string contentProblem(const std::string& path, bool fileMode) override;
    std::string pictureProblem(const std::string& path) override;
    BuildResult buildTorrent(const std::string& contentPath, bool fileMode, const std::string& output) override;
    upload::PostAnswer postForm(const std::string& host, const std::vector<upload::FormField>& fields) override;
    bool writeFile(const std::string& path, const std::string& bytes) override;
    bool readFile(const std::string& path, std::size_t maxBytes, std::string& bytes) override;
    upload::DownloadResult downloadTorrent(const std::string& host,
                                           const std::string& linkPath,
                                           const std::string& localPath) override;
    void waitForBackend(const std::string& copyPath) override;
    client::ExecutableFacts clientVersion(const std::string& executable) override;
    client::ContentLayout qbittorrentLayout(const std::string& executable) override;
    upload::ClientChoice chooseClient() override;
    upload::ClientStarted startClient(const upload::ClientStart& start) override;

  protected:
    CKestrelDlg& m_dialog;
};
