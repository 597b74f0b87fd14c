#pragma once
// The site's requests as their callers make them: each on a thread of its own, waited for at
// most the request's overall limit or until the member cancels (runBounded), and given up for
// good otherwise. Neither shows anything: the result says what happened.

#include <windows.h>

#include <memory>
#include <string>

#include "site/BoundedRun.h"
#include "site/FormRequest.h"
#include "site/RequestResult.h"
#include "site/Scrape.h"

// How a request ended: on its own (Finished, the result says how), or given up at the limit
// (TimedOut, the result says why) or at the member's Cancel (Cancelled, no reason).
struct BoundedResult {
    WaitEnd end = WaitEnd::Finished;
    bool bodySent = false;  // a form's whole body went out: the site may have acted on it, answered or not
    site::RequestResult result;
};

// Sends a form that has been opened and filled.
BoundedResult sendBounded(const std::shared_ptr<site::FormRequest>& form, HANDLE cancel);

// Downloads https://host + path into a file of its own beside localPath, which it replaces only
// when the download came whole; after any failure no earlier file stays at localPath, and a
// download given up on leaves no file of its own behind. The reason is the member's whole message.
BoundedResult downloadBounded(const std::string& host,
                              const std::string& path,
                              const std::string& localPath,
                              HANDLE cancel);

// Asks the tracker at a scrape address whether it lists infoHash (20 bytes), waiting at most
// kScrapeWaitMs or until `stop` is raised. A tracker that does not answer in time is NotYet.
inline constexpr DWORD kScrapeWaitMs = 2000;
site::scrape::Seen scrapeBounded(const std::string& address, const std::string& infoHash, HANDLE stop);
