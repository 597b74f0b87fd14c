#include "site/InetForm.h"

#include <cstring>

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
    m_request.close();
    m_connection.close();
    m_session.close();
}

bool CMyInetForm::openRequest(const std::string& host, const std::string& path) {
    m_startTick = GetTickCount();
    setBoundary(m_startTick);

    m_session.reset(InternetOpenA("Seedwright", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!m_session) {
        appMessageBox("Failed to open session");
        return true;
    }
    std::string hostName;
    unsigned short port = site::kHttpsPort;
    splitHostPort(host, hostName, port);
    m_connection.reset(
        InternetConnectA(m_session.get(), hostName.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!m_connection) {
        m_lastError = "Failed to connect to https://" + host + path;
        appMessageBox(m_lastError);
        m_session.close();
        return true;
    }
    m_request.reset(
        HttpOpenRequestA(m_connection.get(), "POST", path.c_str(), nullptr, nullptr, nullptr, kPostFlags, 0));
    if (!m_request) {
        appMessageBox("Failed to open request handle\n");
        m_connection.close();
        m_session.close();
        return true;
    }
    return false;
}

void CMyInetForm::addText(const std::string& name, const std::string& value) {
    appendText(name, value);
}

bool CMyInetForm::addFile(const std::string& path, const std::string& fileName, const std::string& fieldName) {
    CMyInetForm_field& field = appendFile(fileName.empty() ? fileNamePart(path) : fileName, fieldName);
    std::unique_ptr<char[]> data;
    int32_t size = -1;
    if (readWholeFile(path, data, size)) {
        m_lastError = "Failed to open " + path;
        appMessageBox(m_lastError);
        return true;
    }
    attachContent(field, std::move(data), size);
    return false;
}

bool CMyInetForm::send() {
    const int64_t length = finish();

    if (!HttpAddRequestHeadersA(m_request.get(), m_headers.c_str(), static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD)) {
        appMessageBox("HttpAddRequestHeaders() Failed\n");
        closeAll();
        return true;
    }
    INTERNET_BUFFERSA buffers = {};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = static_cast<DWORD>(length);
    if (!HttpSendRequestExA(m_request.get(), &buffers, nullptr, 0, 0))
        return true;

    for (const BodyPiece& piece : bodyPieces()) {
        DWORD written = 0;
        if (!piece.data || !InternetWriteFile(m_request.get(), piece.data, static_cast<DWORD>(piece.size), &written)) {
            m_lastError = "Error on InternetWriteFile " + std::to_string(GetLastError()) + "\n";
            appMessageBox(m_lastError);
            return true;
        }
    }
    if (!HttpEndRequestA(m_request.get(), nullptr, 0, 0)) {
        m_lastError = "Error on HttpEndRequest " + std::to_string(GetLastError()) + " \n";
        appMessageBox(m_lastError);
        return true;
    }

    char buffer[512];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(m_request.get(), buffer, sizeof buffer - 1, &read)) {
            const DWORD error = GetLastError();
            DWORD responseError = 0;
            char responseText[512] = {};
            DWORD responseLength = sizeof responseText;
            if (!InternetGetLastResponseInfoA(&responseError, responseText, &responseLength))
                responseText[0] = '\0';
            responseText[sizeof responseText - 1] = '\0';
            appMessageBox("GetLastError() " + std::to_string(static_cast<long>(error)) +
                          "\n\nInternetReadFile failed\nErr: " + std::to_string(static_cast<long>(responseError)) +
                          "\n" + responseText);
            return true;
        }
        if (read == 0)
            break;
        buffer[read] = '\0';
        // Text up to the first zero byte: a zero in the answer drops the rest of its chunk.
        m_response.append(buffer, std::strlen(buffer));
    }
    return false;
}
