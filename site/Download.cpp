#include <memory>

#include "site/InetFailure.h"
#include "site/InetForm.h"
#include "win/Handles.h"

namespace {

// Always from the server, TLS, resynchronise, hyperlink semantics, keep a cache file.
// As for the form posts, certificate checks stay at their defaults: never ignore them here.
constexpr DWORD kDownloadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_SECURE | INTERNET_FLAG_RESYNCHRONIZE |
                                 INTERNET_FLAG_HYPERLINK | INTERNET_FLAG_NEED_FILE;
static_assert(kDownloadFlags == 0x80800C10, "download flags");

constexpr DWORD kBlockSize = 51200;

// Always from the server, nothing into the cache, no cookies and no dialogs. An https address
// gets the same certificate checks as the site: none is ever relaxed.
constexpr DWORD kFetchFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                              INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;

}  // namespace

win::Failed CMyInetForm::downloadFile(const std::string& host, const std::string& path, const std::string& localPath) {
    m_host = host;
    m_limits = requestLimits();
    m_session.reset(InternetOpenA(site::wire::kBrowserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session) {
        m_failure = "Failed to open session";
        return win::kFailed;
    }
    applyTimeouts(m_session.get(), m_limits);
    const std::string address = "https://" + host + path;
    char canonical[1024] = {};
    DWORD canonicalLength = sizeof canonical;
    InternetCanonicalizeUrlA(address.c_str(), canonical, &canonicalLength, ICU_BROWSER_MODE);
    const DWORD start = GetTickCount();
    m_request.reset(InternetOpenUrlA(m_session.get(), canonical, nullptr, 0, kDownloadFlags, 0));
    const DWORD openError = GetLastError();

    // The local file is replaced even when the download then fails, so no stale copy stays behind.
    // A caller that gives the download up deletes the file while it is still open here.
    win::CHandle file(CreateFileA(localPath.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        m_failure = "Cannot open Torrent file for Download";
        return win::kFailed;
    }
    // Every failure on the way to the site and back: the message with its reason; failed.
    auto failed = [this, &address](const std::string& why) {
        m_failure = "Failed to download " + address + "\n\n" + why;
        return win::kFailed;
    };
    if (!m_request)
        return failed(inetFailureReason(openError, host, m_limits));
    applyTimeouts(m_request.get(), m_limits);
    if (!answeredWithHeaders())
        return failed("The connection to " + host + " broke off.");
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (HttpQueryInfoA(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr))
        m_status = static_cast<long>(status);
    if (m_status >= 400)
        return failed(site::reason::answered(m_status));
    const long long announced = contentLength();
    const std::size_t cap = site::maxDownload();
    if (announced > static_cast<long long>(cap))
        return failed(site::reason::largerThan(cap));

    const auto block = std::make_unique<char[]>(kBlockSize);
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!readSome(block.get(), kBlockSize, read))
            return failed(inetFailureReason(GetLastError(), host, m_limits));
        if (read == 0)
            break;
        total += read;
        if (total > cap)
            return failed(site::reason::largerThan(cap));
        if (GetTickCount() - start > m_limits.m_totalSeconds * 1000)
            return failed(site::reason::notFinishedWithin(m_limits.m_totalSeconds));
        // A short write (a full disk) leaves a truncated torrent: that is no download.
        DWORD written = 0;
        if (!WriteFile(file.get(), block.get(), read, &written, nullptr) || written < read) {
            m_failure = "Cannot write Torrent file for Download";
            return win::kFailed;
        }
    }
    if (announced >= 0 && total < static_cast<unsigned long long>(announced))
        return failed(site::reason::endedEarly(total, static_cast<unsigned long long>(announced)));
    m_request.reset();
    m_session.reset();
    return win::kSucceeded;
}

win::Failed CMyInetForm::fetch(const std::string& address, std::size_t maxBytes, const RequestLimits& limits) {
    m_limits = limits;
    m_session.reset(InternetOpenA(site::wire::kBrowserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session)
        return win::kFailed;
    applyTimeouts(m_session.get(), m_limits);
    const DWORD start = GetTickCount();
    m_request.reset(InternetOpenUrlA(m_session.get(), address.c_str(), nullptr, 0, kFetchFlags, 0));
    if (!m_request || !answeredWithHeaders())
        return win::kFailed;
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (HttpQueryInfoA(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr))
        m_status = static_cast<long>(status);
    m_response.clear();
    char block[4096];
    for (;;) {
        DWORD read = 0;
        if (!readSome(block, sizeof block, read))
            return win::kFailed;
        if (read == 0)
            break;
        m_response.append(block, read);
        if (m_response.size() > maxBytes || GetTickCount() - start > m_limits.m_totalSeconds * 1000)
            return win::kFailed;
    }
    m_request.reset();
    m_session.reset();
    return win::kSucceeded;
}
