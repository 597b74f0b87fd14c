#include "site/FormWire.h"

namespace {

// 29 hyphens: "--" and the 27 of the announced boundary.
const char kDelimiterDashes[] = "-----------------------------";

std::string delimiterLine(const std::string& boundary) {
    return kDelimiterDashes + boundary + "\r\n";
}

}  // namespace

std::string fileNamePart(const std::string& path) {
    const std::size_t at = path.find_last_of("\\:");
    if (at == std::string::npos)
        return std::string();
    return path.substr(at + 1);
}

void CFormWire::setBoundary(uint32_t tick) {
    m_boundary = std::to_string(static_cast<int32_t>(tick));
}

void CFormWire::appendText(const std::string& name, const std::string& value) {
    auto field = std::make_unique<CMyInetForm_field>();
    field->m_head = name;
    field->m_tail = value;
    field->m_part = delimiterLine(m_boundary) +
                    "Content-Disposition: form-data; Content-Type: text/plain; charset=utf8; name=\"" + name +
                    "\"\r\n\r\n" + toUtf8(value) + "\r\n" + delimiterLine(m_boundary);
    field->m_length = static_cast<int32_t>(field->m_part.size());
    m_fields.push_back(std::move(field));
}

CMyInetForm_field& CFormWire::appendFile(const std::string& fileName, const std::string& fieldName) {
    auto field = std::make_unique<CMyInetForm_field>();
    field->m_isFile = true;
    field->m_dataSize = -1;
    field->m_head = delimiterLine(m_boundary) +
                    "Content-Disposition: form-data; Content-Type: text/plain; charset=utf8; name=\"" + fieldName +
                    "\"; filename=\"" + toUtf8(fileName) + "\"\r\nContent-Type: application/octet-stream\r\n\r\n";
    field->m_tail = "\r\n" + delimiterLine(m_boundary);
    m_fields.push_back(std::move(field));
    return *m_fields.back();
}

void CFormWire::attachContent(CMyInetForm_field& field, std::unique_ptr<char[]> data, int32_t size) {
    field.m_data = std::move(data);
    field.m_dataSize = size;
    field.m_length = static_cast<int32_t>(size + field.m_tail.size() + field.m_head.size());
}

int64_t CFormWire::finish() {
    m_closing = kDelimiterDashes + m_boundary + "--\r\n";
    int64_t length = static_cast<int64_t>(m_closing.size());
    for (const auto& field : m_fields)
        length += field->m_length;
    m_headers = std::string("User-Agent: ") + site::wire::kBrowserAgent +
                ";\r\nContent-Type: multipart/form-data; boundary=---------------------------" + m_boundary +
                "\r\nContent-Length: " + std::to_string(length) + "\r\n";
    return length;
}

std::vector<BodyPiece> CFormWire::bodyPieces() const {
    auto piece = [](const std::string& text) { return BodyPiece{text.data(), static_cast<int32_t>(text.size())}; };
    std::vector<BodyPiece> pieces;
    for (const auto& field : m_fields) {
        if (field->m_isFile) {
            pieces.push_back(piece(field->m_head));
            pieces.push_back(BodyPiece{field->m_data.get(), field->m_data ? field->m_dataSize : 0});
            pieces.push_back(piece(field->m_tail));
        } else {
            pieces.push_back(piece(field->m_part));
        }
    }
    pieces.push_back(piece(m_closing));
    return pieces;
}

std::string CFormWire::body() const {
    std::string out;
    for (const BodyPiece& p : bodyPieces()) {
        if (p.data)
            out.append(p.data, static_cast<std::size_t>(p.size));
    }
    return out;
}
