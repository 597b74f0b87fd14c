#include "site/FormRequest.h"

#include <cstring>

#include "site/InetAnswer.h"
#include "site/InetFailure.h"
#include "site/ReadWholeFile.h"
#include "site/SiteTable.h"

namespace site {

namespace {

// Always from the server, nothing into the cache, TLS, keep-alive, follow http->https quietly.
// Certificate checks stay at their defaults: never add an INTERNET_FLAG_IGNORE_CERT_* or
// SECURITY_FLAG_IGNORE_* flag here, not even for testing.
constexpr DWORD kPostFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE |
                             INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS;
static_assert(kPostFlags == 0x84C04000, "request flags");

}  // namespace

void FormRequest::closeAll() {
    m_request.reset();
    m_connection.reset();
    m_session.reset();
}

void FormRequest::abandon() {
    closeAll();
}

RequestResult FormRequest::failedWith(DWORD error, DWORD elapsed) const {
    // Some WinINet builds report a receive timeout as a broken connection.
    return RequestResult::failed(timedOut(elapsed) ? reason::noAnswerWithin(m_limits.m_stepSeconds)
                                                   : inetFailureReason(error, m_host, m_limits));
}

// A step's wait, measured from a little later than WinINet starts it.
bool FormRequest::timedOut(DWORD elapsed) const {
    return elapsed + 250 >= m_limits.m_stepSeconds * 1000;
}

RequestResult FormRequest::open(const std::string& host, const std::string& path) {
    m_wire.setBoundary(GetTickCount());
    m_host = host;
    m_limits = requestLimits();

    m_session.reset(InternetOpenA("Seedwright", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session)
        return RequestResult::failed("Failed to open session");
    applyTimeouts(m_session.get(), m_limits);
    std::string hostName;
    unsigned short port = kHttpsPort;
    splitHostPort(host, hostName, port);
    m_connection.reset(
        InternetConnectA(m_session.get(), hostName.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_connection) {
        m_session.reset();
        return RequestResult::failed("Failed to connect to https://" + host + path);
    }
    applyTimeouts(m_connection.get(), m_limits);
    m_request.reset(
        HttpOpenRequestA(m_connection.get(), "POST", path.c_str(), nullptr, nullptr, nullptr, kPostFlags, 0));
    if (!m_request) {
        closeAll();
        return RequestResult::failed("Failed to open request handle\n");
    }
    applyTimeouts(m_request.get(), m_limits);
    return RequestResult::succeeded();
}

void FormRequest::addText(const std::string& name, const std::string& value) {
    m_wire.appendText(name, value);
}

RequestResult FormRequest::addFile(const std::string& path, const std::string& fileName, const std::string& fieldName) {
    CMyInetForm_field& field = m_wire.appendFile(fileName.empty() ? fileNamePart(path) : fileName, fieldName);
    FileContent content = readWholeFile(path);
    if (!content.data)
        return RequestResult::failed(content.failure);
    CFormWire::attachContent(field, std::move(content.data), content.size);
    return RequestResult::succeeded();
}

RequestResult FormRequest::send() {
    const int64_t length = m_wire.finish();

    if (!HttpAddRequestHeadersA(m_request.get(), m_wire.m_headers.c_str(), static_cast<DWORD>(-1),
                                HTTP_ADDREQ_FLAG_ADD)) {
        closeAll();
        return RequestResult::failed(reason::kNotMade);
    }
    const DWORD start = GetTickCount();
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = static_cast<DWORD>(length);
    if (!HttpSendRequestExA(m_request.get(), &buffers, nullptr, 0, 0))
        return failedWith(GetLastError(), GetTickCount() - start);

    for (const BodyPiece& piece : m_wire.bodyPieces()) {
        DWORD written = 0;
        if (!piece.data)
            return RequestResult::failed("A file of the form could not be read.");
        if (!InternetWriteFile(m_request.get(), piece.data, static_cast<DWORD>(piece.size), &written))
            return failedWith(GetLastError(), GetTickCount() - start);
    }
    m_bodySent = true;
    if (!HttpEndRequestA(m_request.get(), nullptr, 0, 0))
        return failedWith(GetLastError(), GetTickCount() - start);
    if (!answeredWithHeaders(m_request.get()))
        return RequestResult::failed(timedOut(GetTickCount() - start) ? reason::noAnswerWithin(m_limits.m_stepSeconds)
                                                                      : "The connection to " + m_host + " broke off.");
    const long status = answerStatus(m_request.get());
    char address[2048] = {};
    DWORD addressSize = sizeof address - 1;
    if (InternetQueryOptionA(m_request.get(), INTERNET_OPTION_URL, address, &addressSize))
        m_answerAddress.assign(address, strnlen(address, sizeof address));
    const long long announced = contentLength(m_request.get());
    if (announced > static_cast<long long>(kMaxPage))
        return RequestResult::failed(reason::largerThan(kMaxPage));

    // Every read returns what has come; the whole answer still has to come within the limit.
    std::string page;
    char buffer[512];
    unsigned long long total = 0;
    for (;;) {
        DWORD read = 0;
        if (!readSome(m_request.get(), buffer, sizeof buffer - 1, read))
            return failedWith(GetLastError(), GetTickCount() - start);
        if (read == 0)
            break;
        total += read;
        if (total > kMaxPage)
            return RequestResult::failed(reason::largerThan(kMaxPage));
        buffer[read] = '\0';
        // Text up to the first zero byte: a zero in the answer drops the rest of its chunk.
        page.append(buffer, std::strlen(buffer));
        if (GetTickCount() - start > m_limits.m_totalSeconds * 1000)
            return RequestResult::failed(reason::notFinishedWithin(m_limits.m_totalSeconds));
    }
    if (announced >= 0 && total < static_cast<unsigned long long>(announced))
        return RequestResult::failed(reason::endedEarly(total, static_cast<unsigned long long>(announced)));
    return RequestResult::succeeded(status, std::move(page));
}

}  // namespace site
