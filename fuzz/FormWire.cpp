// The multipart/form-data body of a form: whatever fields go in, the body read back by a reader
// of its own (below, sharing nothing with the builder) gives exactly those fields and bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/Check.h"
#include "site/FormWire.h"
#include "win/CodePage.h"

namespace {

struct Field {
    bool isFile = false;
    std::string name;
    std::string fileName;  // files only
    std::string value;     // a text's value, a file's content
};

const std::string kDashes(29, '-');  // a delimiter line: 29 hyphens, the boundary token, CRLF

// Takes literal at `at`; false when the body holds something else there.
bool take(const std::string& body, std::size_t& at, const std::string& literal) {
    if (body.compare(at, literal.size(), literal) != 0)
        return false;
    at += literal.size();
    return true;
}

// A quoted parameter value: up to the next double quote.
bool quoted(const std::string& body, std::size_t& at, std::string& value) {
    const std::size_t end = body.find_first_of("\"\r\n", at);
    if (end == std::string::npos || body[end] != '"')
        return false;
    value = body.substr(at, end - at);
    at = end + 1;
    return true;
}

// Reads the body as a server does: a delimiter line, each part's headers and content up to the
// next delimiter line (one empty part between two delimiter lines in a row), the closing line.
bool readBody(const std::string& body, const std::string& boundary, std::vector<Field>& fields) {
    const std::string line = kDashes + boundary + "\r\n";
    const std::string closing = kDashes + boundary + "--\r\n";
    std::size_t at = 0;
    if (body == closing)
        return true;
    if (!take(body, at, line))
        return false;
    for (;;) {
        while (take(body, at, line)) {
        }
        if (body.compare(at, std::string::npos, closing) == 0)
            return true;
        Field field;
        if (!take(body, at, "Content-Disposition: form-data; Content-Type: text/plain; charset=utf8; name=\"") ||
            !quoted(body, at, field.name))
            return false;
        if (take(body, at, "; filename=\"")) {
            field.isFile = true;
            if (!quoted(body, at, field.fileName) || !take(body, at, "\r\nContent-Type: application/octet-stream"))
                return false;
        }
        if (!take(body, at, "\r\n\r\n"))
            return false;
        const std::size_t end = body.find("\r\n" + line, at);
        if (end == std::string::npos)
            return false;
        field.value = body.substr(at, end - at);
        fields.push_back(field);
        at = end + 2 + line.size();
    }
}

// What the wire format can carry: names and file names hold no quote and no line end (the form
// puts them in unescaped), and no value holds the delimiter.
std::string plainName(std::string name) {
    for (char& c : name) {
        if (c == '"' || c == '\r' || c == '\n')
            c = '_';
    }
    return name;
}

}  // namespace

// The input as FuzzedDataProvider reads it: from the back the boundary's tick (4 bytes, low byte
// first) and then one byte per field, odd for a file; from the front each field's name, a file's
// name, and the value or content, each text ended by a backslash and one more byte (a doubled
// backslash stands for one). The seeds hold the tests' picture form and torrent form that way.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    CFormWire form;
    form.setBoundary(input.ConsumeIntegral<uint32_t>());
    const std::string delimiter = "\r\n" + kDashes + form.m_boundary;

    std::vector<Field> sent;
    while (input.remaining_bytes() > 0 && sent.size() < 16) {
        Field field;
        field.isFile = input.ConsumeBool();
        field.name = plainName(input.ConsumeRandomLengthString(64));
        if (field.isFile)
            field.fileName = plainName(input.ConsumeRandomLengthString(64));
        field.value = input.ConsumeRandomLengthString(field.isFile ? 4096 : 512);
        const std::string onWire = field.isFile ? field.value : toUtf8(field.value);
        if ((onWire + delimiter).find(delimiter) != onWire.size())
            continue;
        if (field.isFile) {
            CMyInetForm_field& file = form.appendFile(field.fileName, field.name);
            auto bytes = std::make_unique<char[]>(field.value.size());
            std::memcpy(bytes.get(), field.value.data(), field.value.size());
            CFormWire::attachContent(file, std::move(bytes), static_cast<int32_t>(field.value.size()));
        } else {
            form.appendText(field.name, field.value);
        }
        sent.push_back(field);
    }

    const int64_t length = form.finish();
    const std::string body = form.body();
    FUZZ_CHECK(length == static_cast<int64_t>(body.size()));
    const std::string announced = "\r\nContent-Type: multipart/form-data; boundary=" + std::string(27, '-') +
                                  form.m_boundary + "\r\nContent-Length: " + std::to_string(length) + "\r\n";
    FUZZ_CHECK(form.m_headers.size() > announced.size() &&
               form.m_headers.compare(form.m_headers.size() - announced.size(), std::string::npos, announced) == 0);

    std::vector<Field> received;
    FUZZ_CHECK(readBody(body, form.m_boundary, received));
    FUZZ_CHECK(received.size() == sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        FUZZ_CHECK(received[i].isFile == sent[i].isFile);
        FUZZ_CHECK(received[i].name == sent[i].name);
        // Texts and file names go out in UTF-8 (the conversion has tests of its own), contents as
        // they are.
        FUZZ_CHECK(received[i].fileName == (sent[i].isFile ? toUtf8(sent[i].fileName) : std::string()));
        FUZZ_CHECK(received[i].value == (sent[i].isFile ? sent[i].value : toUtf8(sent[i].value)));
    }
    return 0;
}
