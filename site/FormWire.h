#pragma once
// The multipart/form-data body of the site's forms, built piece by piece so the transport can
// stream it without ever holding the whole body. The WinINet transport is
// site::FormRequest (site/FormRequest.h); this half has no Windows in it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win/CodePage.h"  // toUtf8: values and file names go out in UTF-8

// The characters after the last backslash or colon of a path; empty when it holds neither.
std::string fileNamePart(const std::string& path);

// One field of a form. Text field: m_head is the name, m_tail the raw value, m_part the encoded
// part. File field: m_head is the part header, m_tail the delimiter after the content, m_data
// the whole file (null and m_dataSize -1 when it could not be read).
struct CMyInetForm_field {
    std::string m_head;
    std::string m_tail;
    std::string m_part;
    int32_t m_length = 0;
    bool m_isFile = false;
    int32_t m_dataSize = 0;
    std::unique_ptr<char[]> m_data;
};

// One stretch of the body; data is null for a file field whose content is missing.
struct BodyPiece {
    const char* data;
    int32_t size;
};

class CFormWire {
  public:
    // The boundary is the tick count printed as a signed 32-bit number.
    void setBoundary(uint32_t tick);

    void appendText(const std::string& name, const std::string& value);
    // Appends a file field with its header and tail but no content yet.
    CMyInetForm_field& appendFile(const std::string& fileName, const std::string& fieldName);
    static void attachContent(CMyInetForm_field& field, std::unique_ptr<char[]> data, int32_t size);

    // Formats m_closing and m_headers; returns the body length.
    int64_t finish();
    // The body in wire order; valid until the fields change.
    std::vector<BodyPiece> bodyPieces() const;
    // The whole body in one text, as bodyPieces() would send it (content-less files left out).
    std::string body() const;

    std::string m_boundary;
    std::string m_headers;
    std::string m_closing;
    std::vector<std::unique_ptr<CMyInetForm_field>> m_fields;
};

namespace site::wire {
// The browser this program introduces itself as; the request header adds a semicolon.
inline constexpr const char* kBrowserAgent =
    "Mozilla/5.0 (Windows NT 6.2; WOW64) AppleWebKit/537.36 (SWR-KHTML, like Gecko) Chrome/30.0.1599.17 "
    "Safari/537.36";
}  // namespace site::wire
