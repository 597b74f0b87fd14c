#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "bencode/Decode.h"
#include "bencode/Encode.h"

namespace {

DecodeResult decode(const std::string& bytes, const DecodeLimits& limits = DecodeLimits()) {
    return decodeBencode(bytes.data(), bytes.size(), limits);
}

std::string reencoded(const std::string& bytes) {
    DecodeResult result = decode(bytes);
    if (!result.m_value)
        return "refused: " + result.m_error;
    CAtomList holder;  // the encoder writes any value as an item of a list
    holder.append(std::move(result.m_value));
    const std::string list = writeList(holder);
    return list.substr(1, list.size() - 2);
}

TEST(BencodeDecode, TheEncodersOutputComesBackTheSame) {
    auto torrent = std::make_unique<CAtomDicti>();
    torrent->store(std::make_unique<CAtomString>("tmp_url"), "announce");
    torrent->store(std::make_unique<CAtomInt>(INT32_MIN), "creation date");
    auto info = std::make_unique<CAtomDicti>();
    auto files = std::make_unique<CAtomList>();
    auto file = std::make_unique<CAtomDicti>();
    file->store(std::make_unique<CAtomLong>(4294971393LL), "length");
    auto path = std::make_unique<CAtomList>();
    path->append(std::make_unique<CAtomString>("Фильм"));
    path->append(std::make_unique<CAtomString>(""));
    file->store(std::move(path), "path");
    files->append(std::move(file));
    files->append(std::make_unique<CAtomDicti>());
    info->store(std::move(files), "files");
    info->store(std::make_unique<CAtomString>(std::string("\0\xFF:e", 4)), "pieces");
    info->store(std::make_unique<CAtomLong>(INT64_MIN), "min");
    info->store(std::make_unique<CAtomLong>(INT64_MAX), "max");
    info->store(std::make_unique<CAtomList>(), "empty");
    torrent->store(std::move(info), "info");
    const std::string bytes = writeDictionary(*torrent);

    const DecodeResult result = decode(bytes);
    ASSERT_TRUE(result.m_value) << result.m_error;
    ASSERT_TRUE(result.m_value->isDictionary());
    EXPECT_EQ(writeDictionary(static_cast<const CAtomDicti&>(*result.m_value)), bytes);
    // The same kinds as the encoder's: 32-bit values are CAtomInt, larger ones CAtomLong.
    const auto& top = static_cast<const CAtomDicti&>(*result.m_value);
    EXPECT_EQ(top.m_entries.at("creation date")->kind(), CAtom::Kind::Int);
    const auto& decodedInfo = static_cast<const CAtomDicti&>(*top.m_entries.at("info"));
    EXPECT_EQ(decodedInfo.m_entries.at("max")->kind(), CAtom::Kind::Long);

    for (const char* scalar :
         {"i0e", "i-1e", "i2147483647e", "i2147483648e", "0:", "3:a:e", "le", "de", "llee", "d0:lee"})
        EXPECT_EQ(reencoded(scalar), scalar);
}

TEST(BencodeDecode, KeysInAnyOrderButEachOnce) {
    // A site's file need not sort its keys; the tree holds them in order again.
    EXPECT_EQ(reencoded("d1:bi1e1:ai2ee"), "d1:ai2e1:bi1ee");
    EXPECT_EQ(reencoded("d1:ai1e1:ai2ee"), "refused: byte 11: a dictionary key given twice");
}

TEST(BencodeDecode, EverythingElseIsRefused) {
    const struct {
        std::string bytes;
        std::string error;
    } rows[] = {
        {"", "byte 1: the input ends inside a value"},
        {"<html>", "byte 1: not the start of a bencode value"},
        {"i1ei2e", "byte 4: bytes after the end of the value"},
        {"de\n", "byte 3: bytes after the end of the value"},
        {"ie", "byte 2: a number without digits"},
        {"i-e", "byte 3: a number without digits"},
        {"i01e", "byte 4: a number with a leading zero"},
        {"i-0e", "byte 5: the integer -0"},
        {"i+1e", "byte 2: a number without digits"},
        {"i 1e", "byte 2: a number without digits"},
        {"i1", "byte 3: a number not ended by 'e'"},
        {"i1.5e", "byte 3: a number not ended by 'e'"},
        {"i9223372036854775808e", "byte 20: a number too large"},
        {"i-9223372036854775809e", "byte 21: a number too large"},
        {"03:abc", "byte 3: a number with a leading zero"},
        {"4:abc", "byte 3: a string longer than the rest of the input"},
        {"99999999999999999999999:x", "byte 20: a number too large"},
        {"3abc", "byte 2: a number not ended by ':'"},
        {"-1:a", "byte 1: not the start of a bencode value"},
        {"l", "byte 2: the input ends inside a list"},
        {"li1e", "byte 5: the input ends inside a list"},
        {"d3:key", "byte 7: the input ends inside a value"},
        {"d3:keyi1e", "byte 10: the input ends inside a dictionary"},
        {"di1ei2ee", "byte 2: a dictionary key that is not a string"},
        {"dlei1ee", "byte 2: a dictionary key that is not a string"},
        {"e", "byte 1: not the start of a bencode value"},
        {"l1:ae3", "byte 6: bytes after the end of the value"},
        {std::string("i1\0e", 4), "byte 3: a number not ended by 'e'"},
    };
    for (const auto& row : rows) {
        const DecodeResult result = decode(row.bytes);
        EXPECT_FALSE(result.m_value) << row.bytes;
        EXPECT_EQ(result.m_error, row.error) << row.bytes;
    }
}

TEST(BencodeDecode, SizeDepthAndCountAreBounded) {
    DecodeLimits limits;
    limits.m_maxDepth = 3;
    EXPECT_TRUE(decode("llleee", limits).m_value);
    EXPECT_EQ(decode("lllleeee", limits).m_error, "byte 4: nested deeper than 3 levels");
    EXPECT_EQ(decode("ld1:alleeee", limits).m_error, "byte 7: nested deeper than 3 levels");
    // The default bound keeps the reader's recursion far from the stack's end.
    const std::string deep = std::string(100000, 'l') + std::string(100000, 'e');
    EXPECT_EQ(decode(deep).m_error, "byte 65: nested deeper than 64 levels");

    limits = DecodeLimits();
    limits.m_maxValues = 3;
    EXPECT_TRUE(decode("li1ei2ee", limits).m_value);
    EXPECT_EQ(decode("li1ei2ei3ee", limits).m_error, "byte 8: more than 3 values");

    limits = DecodeLimits();
    limits.m_maxSize = 4;
    EXPECT_TRUE(decode("i10e", limits).m_value);
    EXPECT_EQ(decode("i100e", limits).m_error, "byte 1: the input is larger than 4 bytes");
}

}  // namespace
