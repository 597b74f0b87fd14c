#include "site/BoundedRequests.h"

#include <atomic>

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

SentForm sendBounded(const std::shared_ptr<CMyInetForm>& form, HANDLE cancel) {
    SentForm sent;
    auto failed = std::make_shared<win::Failed>(win::kFailed);
    sent.end = runBounded({[form, failed] { *failed = form->send(); }, [form] { form->abandon(); }},
                          requestWaitMilliseconds(), cancel);
    switch (sent.end) {
        case WaitEnd::Finished:
            sent.failed = static_cast<bool>(*failed);
            if (sent.failed)
                sent.failure = form->m_failure;
            break;
        case WaitEnd::TimedOut: {
            const unsigned limit = requestLimits().m_totalSeconds;
            sent.failure =
                form->m_bodySent ? site::reason::notFinishedWithin(limit) : site::reason::noAnswerWithin(limit);
            break;
        }
        case WaitEnd::Cancelled:
            break;
    }
    sent.bodySent = form->m_bodySent;
    return sent;
}

DownloadedFile downloadBounded(const std::string& host,
                               const std::string& path,
                               const std::string& localPath,
                               HANDLE cancel) {
    DownloadedFile result;
    // No earlier copy may stay where the caller looks, whatever happens next.
    DeleteFileA(localPath.c_str());
    char partPath[MAX_PATH] = {};
    if (!GetTempFileNameA(folderOf(localPath).c_str(), "swr", 0, partPath)) {
        result.message = "Cannot open Torrent file for Download";
        return result;
    }
    auto part = std::make_shared<PartFile>();
    part->path = partPath;
    auto form = std::make_shared<CMyInetForm>();
    auto failed = std::make_shared<win::Failed>(win::kFailed);
    result.end = runBounded({[form, failed, part, host, path] {
                                 *failed = form->downloadFile(host, path, part->path);
                                 form->abandon();
                                 if (part->abandoned)
                                     DeleteFileA(part->path.c_str());
                             },
                             [form] { form->abandon(); }},
                            requestWaitMilliseconds(), cancel);
    if (result.end != WaitEnd::Finished) {
        part->abandoned = true;
        DeleteFileA(partPath);
        if (result.end == WaitEnd::TimedOut)
            result.message = "Failed to download https://" + host + path + "\n\n" +
                             site::reason::notFinishedWithin(requestLimits().m_totalSeconds);
        return result;
    }
    if (*failed) {
        result.message = form->m_failure;
    } else if (!MoveFileExA(partPath, localPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        result.message = "Cannot write Torrent file for Download";
    } else {
        result.done = true;
    }
    DeleteFileA(partPath);
    return result;
}

site::scrape::Seen scrapeBounded(const std::string& address, const std::string& infoHash, HANDLE stop) {
    auto form = std::make_shared<CMyInetForm>();
    auto failed = std::make_shared<win::Failed>(win::kFailed);
    RequestLimits limits;
    limits.m_stepSeconds = (kScrapeWaitMs + 999) / 1000;
    limits.m_totalSeconds = limits.m_stepSeconds;
    const WaitEnd end = runBounded(
        {[form, failed, address, limits] { *failed = form->fetch(address, site::scrape::kMaxAnswer, limits); },
         [form] { form->abandon(); }},
        kScrapeWaitMs, stop);
    if (end != WaitEnd::Finished || *failed)
        return site::scrape::Seen::NotYet;
    // A tracker without a scrape page answers it with an error page: asking again changes nothing.
    if (form->m_status != 200)
        return site::scrape::Seen::Never;
    return site::scrape::readAnswer(form->m_response, infoHash);
}
