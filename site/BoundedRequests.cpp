#include "site/BoundedRequests.h"

#include <atomic>

#include "site/Download.h"
#include "site/RequestLimits.h"

namespace {

std::string folderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The download's own file. A download given up on may still be running: the caller deletes the
// file at once (it is open for deleting), and the thread deletes it again if it made it anew.
struct PartFile {
    std::string path;
    std::atomic<bool> abandoned{false};
};

}  // namespace

BoundedResult sendBounded(const std::shared_ptr<site::FormRequest>& form, HANDLE cancel) {
    BoundedResult sent;
    auto result = std::make_shared<site::RequestResult>();
    sent.end = runBounded({[form, result] { *result = form->send(); }, [form] { form->abandon(); }},
                          requestWaitMilliseconds(), cancel);
    switch (sent.end) {
        case WaitEnd::Finished:
            sent.result = std::move(*result);
            break;
        case WaitEnd::TimedOut: {
            const unsigned limit = requestLimits().m_totalSeconds;
            sent.result.reason =
                form->bodySent() ? site::reason::notFinishedWithin(limit) : site::reason::noAnswerWithin(limit);
            break;
        }
        case WaitEnd::Cancelled:
            break;
    }
    sent.bodySent = form->bodySent();
    return sent;
}

BoundedResult downloadBounded(const std::string& host,
                              const std::string& path,
                              const std::string& localPath,
                              HANDLE cancel) {
    BoundedResult downloaded;
    // No earlier copy may stay where the caller looks, whatever happens next.
    DeleteFileA(localPath.c_str());
    char partPath[MAX_PATH] = {};
    if (!GetTempFileNameA(folderOf(localPath).c_str(), "swr", 0, partPath)) {
        downloaded.result.reason = "Cannot open Torrent file for Download";
        return downloaded;
    }
    auto part = std::make_shared<PartFile>();
    part->path = partPath;
    auto download = std::make_shared<site::Download>();
    auto result = std::make_shared<site::RequestResult>();
    downloaded.end = runBounded({[download, result, part, host, path] {
                                     *result = download->intoFile(host, path, part->path);
                                     download->abandon();
                                     if (part->abandoned)
                                         DeleteFileA(part->path.c_str());
                                 },
                                 [download] { download->abandon(); }},
                                requestWaitMilliseconds(), cancel);
    if (downloaded.end != WaitEnd::Finished) {
        part->abandoned = true;
        DeleteFileA(partPath);
        if (downloaded.end == WaitEnd::TimedOut)
            downloaded.result.reason = "Failed to download https://" + host + path + "\n\n" +
                                       site::reason::notFinishedWithin(requestLimits().m_totalSeconds);
        return downloaded;
    }
    downloaded.result = std::move(*result);
    if (downloaded.result.ok && !MoveFileExA(partPath, localPath.c_str(), MOVEFILE_REPLACE_EXISTING))
        downloaded.result = site::RequestResult::failed("Cannot write Torrent file for Download");
    DeleteFileA(partPath);
    return downloaded;
}

site::scrape::Seen scrapeBounded(const std::string& address, const std::string& infoHash, HANDLE stop) {
    auto download = std::make_shared<site::Download>();
    auto result = std::make_shared<site::RequestResult>();
    RequestLimits limits;
    limits.m_stepSeconds = (kScrapeWaitMs + 999) / 1000;
    limits.m_totalSeconds = limits.m_stepSeconds;
    const WaitEnd end = runBounded(
        {[download, result, address, limits] { *result = download->fetch(address, site::scrape::kMaxAnswer, limits); },
         [download] { download->abandon(); }},
        kScrapeWaitMs, stop);
    if (end != WaitEnd::Finished || !result->ok)
        return site::scrape::Seen::NotYet;
    // A tracker without a scrape page answers it with an error page: asking again changes nothing.
    if (result->status != 200)
        return site::scrape::Seen::Never;
    return site::scrape::readAnswer(result->page, infoHash);
}
