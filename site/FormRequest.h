#pragma once
// One HTML form posted to the site over HTTPS as multipart/form-data. An object serves one
// request: open -> addText / addFile ... -> send. Every step returns a site::RequestResult and
// shows nothing. A request ends within requestLimits() and brings back at most site::kMaxPage.
// The login cookies travel in WinINet's process-wide cookie store.

#include <windows.h>

#include <atomic>
#include <string>

#include "site/FormWire.h"
#include "site/RequestLimits.h"
#include "site/RequestResult.h"
#include "win/Handles.h"

namespace site {

class FormRequest {
  public:
    // Not ok when no request could be opened; nothing has gone out then.
    RequestResult open(const std::string& host, const std::string& path);
    void addText(const std::string& name, const std::string& value);
    // Reads the whole file now; an empty fileName announces fileNamePart(path). A file that cannot
    // be read stays in the form without content, and send fails at it.
    RequestResult addFile(const std::string& path, const std::string& fileName, const std::string& fieldName);
    // Ok with the status and the page when an answer of any status came whole.
    RequestResult send();
    // From another thread: closes the request's handles, which ends a send waiting on them (it
    // then fails). The request is of no further use.
    void abandon();

    // The whole body went out: from then on the site may act on the request, answer or not.
    bool bodySent() const { return m_bodySent; }
    // The address that gave the answer, after any redirect.
    const std::string& answerAddress() const { return m_answerAddress; }
    bool handlesOpen() const { return m_request.valid(); }
    // The fields, the header block and the body as they go out.
    const CFormWire& wire() const { return m_wire; }

  private:
    void closeAll();
    // The failure after `elapsed` milliseconds of a step that ended with this error.
    RequestResult failedWith(DWORD error, DWORD elapsed) const;
    bool timedOut(DWORD elapsed) const;

    CFormWire m_wire;
    std::string m_host;
    RequestLimits m_limits;
    std::string m_answerAddress;
    std::atomic<bool> m_bodySent{false};
    // Closed by abandon() from another thread while a call on them may wait.
    win::CSharedInternetHandle m_session;
    win::CSharedInternetHandle m_connection;
    win::CSharedInternetHandle m_request;
};

}  // namespace site
