#include <memory>

#include "site/InetForm.h"
#include "win/MessageBox.h"

namespace {

// Always from the server, TLS, resynchronise, hyperlink semantics, keep a cache file.
// As for the form posts, certificate checks stay at their defaults: never ignore them here.
constexpr DWORD kDownloadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE | INTERNET_FLAG_RESYNCHRONIZE |
                                 INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_NEED_FILE;
static_assert(kDownloadFlags == 0x80800C10, "download flags");

constexpr DWORD kBlockSize = 51200;

}  // namespace

bool CMyInetForm::downloadFile(const std::string& host, const std::string& path, const std::string& localPath) {
    m_session.reset(InternetOpenA(wire::kBrowserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session) {
        appMessageBox("Failed to open session");
        return true;
    }
    const std::string address = "https://" + host + path;
    char canonical[1024] = {};
    DWORD canonicalLength = sizeof canonical;
    InternetCanonicalizeUrlA(address.c_str(), canonical, &canonicalLength, ICU_BROWSER_MODE);
    m_request.reset(InternetOpenUrlA(m_session.get(), canonical, nullptr, 0, kDownloadFlags, 0));

    // The local file is replaced even when the download then fails, so no stale copy stays behind.
    HANDLE file = CreateFileA(localPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        appMessageBox("Cannot open Torrent file for Download");
        return true;
    }
    const std::string failure = "Failed to download " + address;
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!m_request || (HttpQueryInfoA(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                      &statusSize, nullptr) &&
                       status >= 400)) {
        CloseHandle(file);
        appMessageBox(failure);
        return true;
    }

    const auto block = std::make_unique<char[]>(kBlockSize);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(m_request.get(), block.get(), kBlockSize, &read)) {
            CloseHandle(file);
            appMessageBox(failure);
            return true;
        }
        if (read == 0) {
            CloseHandle(file);
            m_request.close();
            m_session.close();
            return false;
        }
        // A short write (a full disk) leaves a truncated torrent: that is no download.
        DWORD written = 0;
        if (!WriteFile(file, block.get(), read, &written, nullptr) || written < read) {
            CloseHandle(file);
            appMessageBox("Cannot write Torrent file for Download");
            return true;
        }
    }
}
