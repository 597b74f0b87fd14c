#pragma once
// One HTML form posted to the site over HTTPS as multipart/form-data, and the plain download
// of a file from the site. An object serves one request:
//   openRequest -> addText / addFile ... -> send -> read m_response and m_status.
// Local faults (a session, request or file that cannot be had) are shown at once in a message
// box; a failure on the way to the site and back is not: send leaves its reason in m_failure
// for the caller's message. A download shows nothing: m_failure holds its whole message. Every request ends within
// requestLimits() and brings back at most site::kMaxPage (site::maxDownload() for a download).
// The login cookies travel in WinINet's process-wide cookie store. Each step returns a
// win::Failed: true when it failed.

#include <windows.h>

#include <atomic>
#include <string>

#include "site/FormWire.h"
#include "site/RequestLimits.h"
#include "win/Handles.h"
#include "win/Result.h"

class CMyInetForm : public CFormWire {
  public:
    win::Failed openRequest(const std::string& host, const std::string& path);
    void addText(const std::string& name, const std::string& value);
    // An empty fileName announces fileNamePart(path).
    win::Failed addFile(const std::string& path, const std::string& fileName, const std::string& fieldName);
    // An answer of any status is an answer: failed only when none came whole.
    win::Failed send();
    // Fetches https://host + path into localPath, replacing it.
    win::Failed downloadFile(const std::string& host, const std::string& path, const std::string& localPath);
    // GETs a whole http or https address (a tracker's, not the site's: no cookies go with it)
    // into m_response and m_status; failed when no whole answer of at most maxBytes came.
    win::Failed fetch(const std::string& address, std::size_t maxBytes, const RequestLimits& limits);
    // From another thread: closes the request's handles, which ends a send or download waiting on
    // them (it then fails). The form is of no further use.
    void abandon();

    std::string m_lastError;
    std::string m_failure;        // why the request failed, in the member's words
    long m_status = 0;            // the answer's HTTP status, after any redirect
    std::string m_answerAddress;  // the address that gave the answer, after any redirect
    // The whole body went out: from then on the site may act on the request, answer or not.
    std::atomic<bool> m_bodySent{false};
    DWORD m_startTick = 0;
    // Closed by abandon() from another thread while a call on them may wait.
    win::CSharedInternetHandle m_session;
    win::CSharedInternetHandle m_connection;
    win::CSharedInternetHandle m_request;
    std::string m_response;

  private:
    void closeAll();
    // Reads at most `size` bytes of what has come, waiting only for the first: a request that is
    // given up on or past its time ends at the next byte instead of when a whole block has come
    // (closing the handle ends the wait itself where WinINet allows it). 0 bytes: the end.
    bool readSome(void* buffer, DWORD size, DWORD& read);
    // Fills m_failure from the error after `elapsed` milliseconds and keeps the error as the
    // thread's last one; failed.
    win::Failed failedWith(DWORD error, DWORD elapsed);
    bool timedOut(DWORD elapsed) const;
    bool answeredWithHeaders() const;
    // The answer's Content-Length, -1 when it has none.
    long long contentLength() const;

    std::string m_host;
    RequestLimits m_limits;
};
