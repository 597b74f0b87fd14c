#include "site/InetForm.h"

#include <cstdlib>
#include <cstring>

#include "site/InetFailure.h"
#include "site/ReadWholeFile.h"
#include "site/SiteTable.h"
#include "win/MessageBox.h"

namespace {

// Always from the server, nothing into the cache, TLS, keep-alive, follow http->https quietly.
// Certificate checks stay at their defaults: never add an INTERNET_FLAG_IGNORE_CERT_* or
// SECURITY_FLAG_IGNORE_* flag here, not even for testing.
constexpr DWORD kPostFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE |
                             INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
static_assert(kPostFlags == 0x84C04000, "request flags");

}  // namespace

void CMyInetForm::closeAll() {
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}

void CMyInetForm::abandon() {
    closeAll();
}

bool CMyInetForm::readSome(void* buffer, DWORD size, DWORD& read) {
    read = 0;
    DWORD available = 0;
    if (!InternetQueryDataAvailable(m_request.get(), &available, 0, 0))
        return false;
    return available == 0 || InternetReadFile(m_request.get(), buffer, available < size ? available : size, &read);
}

win::Failed CMyInetForm::failedWith(DWORD error, DWORD elapsed) {
    // Some WinINet builds report a receive timeout as a broken connection.
    m_failure = timedOut(elapsed) ? site::reason::noAnswerWithin(m_limits.m_stepSeconds)
                                  : inetFailureReason(error, m_host, m_limits);
    SetLastError(error);
    return win::kFailed;
}

// A step's wait, measured from a little later than WinINet starts it.
bool CMyInetForm::timedOut(DWORD elapsed) const {
    return elapsed + 250 >= m_limits.m_stepSeconds * 1000;
}

bool CMyInetForm::answeredWithHeaders() const {
    // The raw header block starts with the status line; an answer made of nothing has none.
    char head[16] = {};
    DWORD size = sizeof head;
    if (!HttpQueryInfoA(m_request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, head, &size, nullptr) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    return std::strncmp(head, "HTTP/", 5) == 0 || size >= sizeof head;
}

long long CMyInetForm::contentLength() const {
    char text[32] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(m_request.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return -1;
    char* end = nullptr;
    const long long length = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && length >= 0 ? length : -1;
}

win::Failed CMyInetForm::openRequest(const std::string& host, const std::string& path) {
    m_startTick = GetTickCount();
    setBoundary(m_startTick);
    m_host = host;
    m_limits = requestLimits();

    m_session.reset(InternetOpenA("Seedwright", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session) {
        appMessageBox("Failed to open session");
        return win::kFailed;
    }
    applyTimeouts(m_session.get(), m_limits);
    std::string hostName;
    unsigned short port = site::kHttpsPort;
    splitHostPort(host, hostName, port);
    m_connection.reset(
        InternetConnectA(m_session.get(), hostName.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_connection) {
        m_lastError = "Failed to connect to https://" + host + path;
        appMessageBox(m_lastError);
        m_session.reset();
        return win::kFailed;
    }
    applyTimeouts(m_connection.get(), m_limits);
    m_request.reset(
        HttpOpenRequestA(m_connection.get(), "POST", path.c_str(), nullptr, nullptr, nullptr, kPostFlags, 0));
    if (!m_request) {
        appMessageBox("Failed to open request handle\n");
        m_connection.reset();
        m_session.reset();
        return win::kFailed;
    }
    applyTimeouts(m_request.get(), m_limits);
    return win::kSucceeded;
}

void CMyInetForm::addText(const std::string& name, const std::string& value) {
    appendText(name, value);
}

win::Failed CMyInetForm::addFile(const std::string& path, const std::string& fileName, const std::string& fieldName) {
    CMyInetForm_field& field = appendFile(fileName.empty() ? fileNamePart(path) : fileName, fieldName);
    std::unique_ptr<char[]> data;
    int32_t size = -1;
    if (readWholeFile(path, data, size)) {
        m_lastError = "Failed to open " + path;
        appMessageBox(m_lastError);
        return win::kFailed;
    }
    attachContent(field, std::move(data), size);
    return win::kSucceeded;
}

win::Failed CMyInetForm::send() {
    const int64_t length = finish();

    if (!HttpAddRequestHeadersA(m_request.get(), m_headers.c_str(), static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD)) {
        appMessageBox("HttpAddRequestHeaders() Failed\n");
        closeAll();
        m_failure = "The request could not be made.";
        return win::kFailed;
    }
    const DWORD start = GetTickCount();
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = static_cast<DWORD>(length);
    if (!HttpSendRequestExA(m_request.get(), &buffers, nullptr, 0, 0))
        return failedWith(GetLastError(), GetTickCount() - start);

    for (const BodyPiece& piece : bodyPieces()) {
        DWORD written = 0;
        if (!piece.data) {
            m_lastError = "Error on InternetWriteFile 0\n";
            m_failure = "A file of the form could not be read.";
            return win::kFailed;
        }
        if (!InternetWriteFile(m_request.get(), piece.data, static_cast<DWORD>(piece.size), &written)) {
            const DWORD error = GetLastError();
            m_lastError = "Error on InternetWriteFile " + std::to_string(error) + "\n";
            return failedWith(error, GetTickCount() - start);
        }
    }
    m_bodySent = true;
    if (!HttpEndRequestA(m_request.get(), nullptr, 0, 0)) {
        const DWORD error = GetLastError();
        m_lastError = "Error on HttpEndRequest " + std::to_string(error) + " \n";
        return failedWith(error, GetTickCount() - start);
    }
    // A connection closed before any header line is no answer, though WinINet makes one of it.
    if (!answeredWithHeaders()) {
        m_failure = timedOut(GetTickCount() - start) ? site::reason::noAnswerWithin(m_limits.m_stepSeconds)
                                                     : "The connection to " + m_host + " broke off.";
        return win::kFailed;
    }
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (HttpQueryInfoA(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr))
        m_status = static_cast<long>(status);
    char address[2048] = {};
    DWORD addressSize = sizeof address - 1;
    if (InternetQueryOptionA(m_request.get(), INTERNET_OPTION_URL, address, &addressSize))
        m_answerAddress.assign(address, strnlen(address, sizeof address));
    const long long announced = contentLength();
    if (announced > static_cast<long long>(site::kMaxPage)) {
        m_failure = site::reason::largerThan(site::kMaxPage);
        return win::kFailed;
    }

    // Every read returns what has come; the whole answer still has to come within the limit.
    char buffer[512];
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!readSome(buffer, sizeof buffer - 1, read)) {
            const DWORD error = GetLastError();
            m_lastError = "InternetReadFile failed " + std::to_string(static_cast<long>(error));
            return failedWith(error, GetTickCount() - start);
        }
        if (read == 0)
            break;
        total += read;
        if (total > site::kMaxPage) {
            m_failure = site::reason::largerThan(site::kMaxPage);
            return win::kFailed;
        }
        buffer[read] = '\0';
        // Text up to the first zero byte: a zero in the answer drops the rest of its chunk.
        m_response.append(buffer, std::strlen(buffer));
        if (GetTickCount() - start > m_limits.m_totalSeconds * 1000) {
            m_failure = site::reason::notFinishedWithin(m_limits.m_totalSeconds);
            return win::kFailed;
        }
    }
    if (announced >= 0 && total < static_cast<unsigned long long>(announced)) {
        m_failure = site::reason::endedEarly(total, static_cast<unsigned long long>(announced));
        return win::kFailed;
    }
    return win::kSucceeded;
}
