#include "site/Download.h"

#include <memory>

#include "site/FormWire.h"
#include "site/InetAnswer.h"
#include "site/InetFailure.h"

namespace site {

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

void Download::abandon() {
    m_request.reset();
    m_session.reset();
}

RequestResult Download::intoFile(const std::string& host, const std::string& path, const std::string& localPath) {
    const RequestLimits limits = requestLimits();
    m_session.reset(InternetOpenA(wire::kBrowserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session)
        return RequestResult::failed("Failed to open session");
    applyTimeouts(m_session.get(), limits);
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
    if (!file.valid())
        return RequestResult::failed("Cannot open Torrent file for Download");
    // Every failure on the way to the site and back: the message with its reason.
    auto failed = [&address](const std::string& why) {
        return RequestResult::failed("Failed to download " + address + "\n\n" + why);
    };
    if (!m_request)
        return failed(inetFailureReason(openError, host, limits));
    applyTimeouts(m_request.get(), limits);
    if (!answeredWithHeaders(m_request.get()))
        return failed("The connection to " + host + " broke off.");
    const long status = answerStatus(m_request.get());
    if (status >= 400)
        return failed(reason::answered(status));
    const long long announced = contentLength(m_request.get());
    const std::size_t cap = maxDownload();
    if (announced > static_cast<long long>(cap))
        return failed(reason::largerThan(cap));

    const auto block = std::make_unique<char[]>(kBlockSize);
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!readSome(m_request.get(), block.get(), kBlockSize, read))
            return failed(inetFailureReason(GetLastError(), host, limits));
        if (read == 0)
            break;
        total += read;
        if (total > cap)
            return failed(reason::largerThan(cap));
        if (GetTickCount() - start > limits.m_totalSeconds * 1000)
            return failed(reason::notFinishedWithin(limits.m_totalSeconds));
        // A short write (a full disk) leaves a truncated torrent: that is no download.
        DWORD written = 0;
        if (!WriteFile(file.get(), block.get(), read, &written, nullptr) || written < read)
            return RequestResult::failed("Cannot write Torrent file for Download");
    }
    if (announced >= 0 && total < static_cast<unsigned long long>(announced))
        return failed(reason::endedEarly(total, static_cast<unsigned long long>(announced)));
    abandon();
    return RequestResult::succeeded(status);
}

RequestResult Download::fetch(const std::string& address, std::size_t maxBytes, const RequestLimits& limits) {
    m_session.reset(InternetOpenA(wire::kBrowserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session)
        return RequestResult::failed("Failed to open session");
    applyTimeouts(m_session.get(), limits);
    const DWORD start = GetTickCount();
    m_request.reset(InternetOpenUrlA(m_session.get(), address.c_str(), nullptr, 0, kFetchFlags, 0));
    if (!m_request)
        return RequestResult::failed(inetFailureReason(GetLastError(), address, limits));
    if (!answeredWithHeaders(m_request.get()))
        return RequestResult::failed("The connection to " + address + " broke off.");
    const long status = answerStatus(m_request.get());
    std::string page;
    char block[4096];
    for (;;) {
        DWORD read = 0;
        if (!readSome(m_request.get(), block, sizeof block, read))
            return RequestResult::failed(inetFailureReason(GetLastError(), address, limits));
        if (read == 0)
            break;
        page.append(block, read);
        if (page.size() > maxBytes)
            return RequestResult::failed(reason::largerThan(maxBytes));
        if (GetTickCount() - start > limits.m_totalSeconds * 1000)
            return RequestResult::failed(reason::notFinishedWithin(limits.m_totalSeconds));
    }
    abandon();
    return RequestResult::succeeded(status, std::move(page));
}

}  // namespace site
