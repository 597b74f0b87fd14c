#pragma once
// The site's requests as their callers make them: each on a thread of its own, waited for at
// most the request's overall limit or until the member cancels (runBounded), and given up for
// good otherwise. Neither shows anything: the result says what happened.

#include <windows.h>

#include <memory>
#include <string>

#include "site/BoundedRun.h"
#include "site/InetForm.h"
#include "site/Scrape.h"

struct SentForm {
    WaitEnd end = WaitEnd::Finished;
    bool failed = true;
    bool bodySent = false;  // the site may have acted on it, answered or not
    std::string failure;    // why no whole answer came; empty when one did, or when cancelled
};

// Sends a form that has been opened and filled. Its answer is in the form once `failed` is false.
SentForm sendBounded(const std::shared_ptr<CMyInetForm>& form, HANDLE cancel);

struct DownloadedFile {
    WaitEnd end = WaitEnd::Finished;
    bool done = false;
    std::string message;  // for the member when it failed; empty when cancelled
};

// Downloads https://host + path into a file of its own beside localPath, which it replaces only
// when the download came whole; after any failure no earlier file stays at localPath, and a
// download given up on leaves no file of its own behind.
DownloadedFile downloadBounded(const std::string& host,
                               const std::string& path,
                               const std::string& localPath,
                               HANDLE cancel);

// Asks the tracker at a scrape address whether it lists infoHash (20 bytes), waiting at most
// kScrapeWaitMs or until `stop` is raised. A tracker that does not answer in time is NotYet.
inline constexpr DWORD kScrapeWaitMs = 2000;
site::scrape::Seen scrapeBounded(const std::string& address, const std::string& infoHash, HANDLE stop);
