#include "site/InetAnswer.h"

#include <cstdlib>
#include <cstring>

bool readSome(HINTERNET request, void* buffer, DWORD size, DWORD& read) {
    read = 0;
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0))
        return false;
    return available == 0 || InternetReadFile(request, buffer, available < size ? available : size, &read);
}

bool answeredWithHeaders(HINTERNET request) {
    // The raw header block starts with the status line; an answer made of nothing has none.
    char head[16] = {};
    DWORD size = sizeof head;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS_CRLF, head, &size, nullptr) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    return std::strncmp(head, "HTTP/", 5) == 0 || size >= sizeof head;
}

long answerStatus(HINTERNET request) {
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr))
        return 0;
    return static_cast<long>(status);
}

long long contentLength(HINTERNET request) {
    char text[32] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr))
        return -1;
    char* end = nullptr;
    const long long length = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && length >= 0 ? length : -1;
}
