#pragma once
// Plain GETs: the site's copy of a torrent into a file, and the whole small answer of an address
// (a tracker's scrape). An object serves one request; each returns a site::RequestResult and
// shows nothing.

#include <cstddef>
#include <string>

#include "site/RequestLimits.h"
#include "site/RequestResult.h"
#include "win/Handles.h"

namespace site {

class Download {
  public:
    // Fetches https://host + path into localPath, replacing it, within requestLimits() and at
    // most site::maxDownload() bytes. The reason is the member's whole message.
    RequestResult intoFile(const std::string& host, const std::string& path, const std::string& localPath);
    // GETs a whole http or https address (a tracker's, not the site's: no cookies go with it); ok
    // with the status and the page when an answer of at most maxBytes came whole.
    RequestResult fetch(const std::string& address, std::size_t maxBytes, const RequestLimits& limits);
    // From another thread: closes the handles, which ends a call waiting on them (it then fails).
    void abandon();
    bool handlesOpen() const { return m_request.valid(); }

  private:
    // Closed by abandon() from another thread while a call on them may wait.
    win::CSharedInternetHandle m_session;
    win::CSharedInternetHandle m_request;
};

}  // namespace site
