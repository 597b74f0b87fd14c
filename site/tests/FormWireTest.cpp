#include <gtest/gtest.h>

#include <cstring>

#include "site/FormWire.h"

namespace {

const std::string kDelimiter = "-----------------------------1000\r\n";

std::unique_ptr<char[]> bytes(const char* text) {
    auto data = std::make_unique<char[]>(std::strlen(text));
    std::memcpy(data.get(), text, std::strlen(text));
    return data;
}

TEST(FormWire, EmptyFormSendsOnlyTheClosingLine) {
    CFormWire form;
    form.setBoundary(1000);
    EXPECT_EQ(form.finish(), 37);
    EXPECT_EQ(form.body(), "-----------------------------1000--\r\n");
    EXPECT_EQ(form.m_headers,
              "User-Agent: Mozilla/5.0 (Windows NT 6.2; WOW64) AppleWebKit/537.36 (SWR-KHTML, like Gecko) "
              "Chrome/30.0.1599.17 Safari/537.36;\r\n"
              "Content-Type: multipart/form-data; boundary=---------------------------1000\r\n"
              "Content-Length: 37\r\n");
}

TEST(FormWire, PictureUploadByteForByte) {
    CFormWire form;
    form.setBoundary(1000);
    form.appendText("upload", "Upload");
    CMyInetForm_field& file = form.appendFile("p.jpg", "ulpic");
    EXPECT_EQ(file.m_length, 0);
    EXPECT_EQ(file.m_dataSize, -1);
    CFormWire::attachContent(file, bytes("abc"), 3);

    const CMyInetForm_field& text = *form.m_fields[0];
    EXPECT_EQ(text.m_head, "upload");
    EXPECT_EQ(text.m_tail, "Upload");
    EXPECT_EQ(text.m_length, 167);
    EXPECT_EQ(file.m_head.size(), 181u);
    EXPECT_EQ(file.m_tail, "\r\n" + kDelimiter);
    EXPECT_EQ(file.m_length, 181 + 3 + 37);
    EXPECT_EQ(form.finish(), 425);
    EXPECT_NE(form.m_headers.find("\r\nContent-Length: 425\r\n"), std::string::npos);

    const std::string expected = kDelimiter +
                                 "Content-Disposition: form-data; Content-Type: text/plain; charset=utf8; "
                                 "name=\"upload\"\r\n\r\nUpload\r\n" +
                                 kDelimiter + kDelimiter +
                                 "Content-Disposition: form-data; Content-Type: text/plain; charset=utf8; "
                                 "name=\"ulpic\"; filename=\"p.jpg\"\r\n"
                                 "Content-Type: application/octet-stream\r\n\r\n"
                                 "abc\r\n" +
                                 kDelimiter + "-----------------------------1000--\r\n";
    EXPECT_EQ(form.body(), expected);
    EXPECT_EQ(form.body().size(), 425u);

    // The transport writes the file field as three pieces, a text field as one.
    const std::vector<BodyPiece> pieces = form.bodyPieces();
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(std::string(pieces[2].data, static_cast<std::size_t>(pieces[2].size)), "abc");
}

TEST(FormWire, PartsAreSeparatedByTwoDelimiterLines) {
    CFormWire form;
    form.setBoundary(1000);
    form.appendText("a", "1");
    form.appendText("b", "2");
    form.finish();
    const std::string body = form.body();
    const std::string part1 = form.m_fields[0]->m_part;
    const std::string part2 = form.m_fields[1]->m_part;
    EXPECT_EQ(body, part1 + part2 + form.m_closing);
    EXPECT_EQ(part1.substr(part1.size() - kDelimiter.size()), kDelimiter);
    EXPECT_EQ(part2.substr(0, kDelimiter.size()), kDelimiter);
    EXPECT_NE(body.find(kDelimiter + kDelimiter), std::string::npos);
}

// The same text in the code pages the tests meet: Western, Cyrillic, UTF-8 (and natively).
struct Sample {
    unsigned codePage;
    const char* narrow;
    const char* utf8;
};

TEST(CodePage, EachCodePageGoesToUtf8AndAsciiStaysAsItIs) {
#ifdef _WIN32
    const Sample samples[] = {
        {1252, "caf\xE9 \x92\x93\x94 \x96 \x80 \xBD \x95", "café ’“” – € ½ •"},
        {1251, "\xD4\xE8\xEB\xFC\xEC \x92\x93\x94 \x96 \x88", "Фильм ’“” – €"},
        {65001, "Фильм 映画 café", "Фильм 映画 café"},
        {65001, "bad \xC3( end", "bad \xEF\xBF\xBD( end"},  // what is not UTF-8 is replaced
    };
#else
    // No code page natively: whatever the number, the text is UTF-8 already.
    const Sample samples[] = {{1252, "caf\xE9", "caf\xE9"}, {1251, "Фильм", "Фильм"}, {65001, "映画", "映画"}};
#endif
    for (const Sample& s : samples) {
        EXPECT_EQ(win::codepage::codePageToUtf8(s.narrow, s.codePage), s.utf8) << s.codePage << " " << s.narrow;
        const char raw[] = "plain \"ASCII\" \\ 0\x7F\0end";
        const std::string ascii(raw, sizeof raw - 1);
        EXPECT_EQ(win::codepage::codePageToUtf8(ascii, s.codePage), ascii) << s.codePage;
    }
#ifndef _WIN32
    EXPECT_EQ(toUtf8("caf\xE9"), "caf\xE9");
#endif
}

// A description and a file name in the code page of this run; 65001 natively.
Sample activeSample() {
    switch (win::codepage::activeCodePage()) {
        case 1252:
            return {1252, "\xE9\x80", "\xC3\xA9\xE2\x82\xAC"};
        case 1251:
            return {1251, "\xD4\x88", "\xD0\xA4\xE2\x82\xAC"};
        default:
            return {win::codepage::kUtf8CodePage, "\xC3\xA9\xE2\x82\xAC", "\xC3\xA9\xE2\x82\xAC"};
    }
}

TEST(FormWire, ValuesAndFileNamesGoOutAsUtf8ButNamesDoNot) {
    const Sample s = activeSample();
    const std::string value = s.narrow;
    CFormWire form;
    form.setBoundary(1000);
    form.appendText("n" + value, value);
    form.appendFile("caf" + value + ".jpg", "f" + value);
    EXPECT_NE(form.m_fields[0]->m_part.find("name=\"n" + value + "\"\r\n\r\n" + s.utf8 + "\r\n"), std::string::npos);
    EXPECT_EQ(form.m_fields[0]->m_tail, value);  // the raw value is kept
    EXPECT_NE(form.m_fields[1]->m_head.find("name=\"f" + value + "\"; filename=\"caf" + s.utf8 + ".jpg\""),
              std::string::npos);
}

TEST(FormWire, FileNamePart) {
    EXPECT_EQ(fileNamePart("C:\\Pictures\\p.jpg"), "p.jpg");
    EXPECT_EQ(fileNamePart("C:p.jpg"), "p.jpg");
    EXPECT_EQ(fileNamePart("a\\b:c\\d.png"), "d.png");
    EXPECT_EQ(fileNamePart("C:\\Pictures\\"), "");
    EXPECT_EQ(fileNamePart("p.jpg"), "");  // neither separator: empty, not the whole path

    CFormWire form;
    form.setBoundary(1000);
    form.appendFile(fileNamePart("p.jpg"), "ulpic");
    EXPECT_NE(form.m_fields[0]->m_head.find("; filename=\"\"\r\n"), std::string::npos);
}

TEST(FormWire, BoundaryPastHalfTheTickRangeIsNegative) {
    CFormWire form;
    form.setBoundary(0x80000005u);
    EXPECT_EQ(form.m_boundary, "-2147483643");
    form.appendText("a", "1");
    form.finish();
    const std::string dashes27(27, '-'), dashes29(29, '-');
    EXPECT_NE(form.m_headers.find("boundary=" + dashes27 + "-2147483643\r\n"), std::string::npos);
    EXPECT_EQ(form.body().find(dashes29 + "-2147483643\r\n"), 0u);
    EXPECT_EQ(form.m_closing, dashes29 + "-2147483643--\r\n");

    form.setBoundary(0xFFFFFFFFu);
    EXPECT_EQ(form.m_boundary, "-1");
}

TEST(FormWire, UnreadFileCountsNothingAndLeavesAGap) {
    CFormWire form;
    form.setBoundary(1000);
    form.appendFile("x.jpg", "ulpic");
    form.appendText("a", "1");
    EXPECT_EQ(form.finish(), form.m_fields[1]->m_length + 37);
    const std::vector<BodyPiece> pieces = form.bodyPieces();
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[1].data, nullptr);  // the transport fails its write here
}

}  // namespace
