#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "bencode/Encode.h"

namespace {

std::unique_ptr<CAtom> str(const std::string& s) {
    return std::make_unique<CAtomString>(s);
}

TEST(BencodeEncode, ScalarsAndEmptyContainers) {
    EXPECT_EQ(writeInteger(CAtomInt(-7)), "i-7e");
    EXPECT_EQ(writeInteger(CAtomInt(0)), "i0e");
    EXPECT_EQ(writeInteger(CAtomInt(INT32_MIN)), "i-2147483648e");
    EXPECT_EQ(writeLongInteger(CAtomLong(4294967296LL)), "i4294967296e");
    EXPECT_EQ(writeLongInteger(CAtomLong(8589934593LL)), "i8589934593e");
    EXPECT_EQ(writeLongInteger(CAtomLong(INT64_MIN)), "i-9223372036854775808e");
    EXPECT_EQ(writeByteString(CAtomString("abc")), "3:abc");
    EXPECT_EQ(writeByteString(CAtomString("")), "0:");
    EXPECT_EQ(writeList(CAtomList()), "le");
    EXPECT_EQ(writeDictionary(CAtomDicti()), "de");
}

TEST(BencodeEncode, ZeroByteStaysAndCounts) {
    const std::string bytes("a\0b", 3);
    EXPECT_EQ(writeByteString(CAtomString(bytes)), std::string("3:a\0b", 5));
    EXPECT_EQ(CAtomString(bytes).valueLength(), 3u);
}

TEST(BencodeEncode, DictionaryKeysInRawByteOrder) {
    CAtomDicti d;
    d.store(std::make_unique<CAtomInt>(1), "b");
    d.store(str("x"), "a");
    EXPECT_EQ(writeDictionary(d), "d1:a1:x1:bi1ee");

    CAtomDicti info;
    info.store(str("P"), "pieces");
    info.store(std::make_unique<CAtomInt>(65536), "piece length");
    info.store(str(""), "ab");
    info.store(str(""), "a");
    info.store(str(""), "a");
    info.store(str(""), "Z");
    info.store(str(""), "\xe9");  // high bytes sort after ASCII
    EXPECT_EQ(writeDictionary(info),
              "d1:Z0:1:a0:2:ab0:12:piece lengthi65536e6:pieces1:P1:\xe9"
              "0:e");
}

TEST(BencodeEncode, StoringUnderAnExistingKeyReplacesTheValue) {
    CAtomDicti d;
    d.store(str("first"), "k");
    d.store(std::make_unique<CAtomInt>(2), "k");
    EXPECT_EQ(d.m_entries.size(), 1u);
    EXPECT_EQ(writeDictionary(d), "d1:ki2ee");
}

TEST(BencodeEncode, NestedListsAndDictionaries) {
    auto file = std::make_unique<CAtomDicti>();
    file->store(std::make_unique<CAtomLong>(30), "length");
    auto path = std::make_unique<CAtomList>();
    path->append(str("sub"));
    path->append(str("y.nfo"));
    file->store(std::move(path), "path");
    CAtomList files;
    files.append(std::move(file));
    EXPECT_EQ(writeList(files), "ld6:lengthi30e4:pathl3:sub5:y.nfoeee");
}

TEST(BencodeEncode, ContainersHaveNoTextAndClearCompletely) {
    CAtomList list;
    list.append(str("abc"));
    CAtomDicti d;
    d.store(str("abc"), "k");
    EXPECT_EQ(list.valueLength(), 0u);
    EXPECT_EQ(d.valueLength(), 0u);
    EXPECT_EQ(list.asText(), "");
    EXPECT_FALSE(list.empty());
    EXPECT_TRUE(d.isDictionary());
    EXPECT_FALSE(list.isDictionary());
    list.removeAll();
    d.removeAll();
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(writeList(list), "le");
}

TEST(BencodeEncode, ShuffleFollowsRandAndKeepsEveryItem) {
    auto build = [] {
        CAtomList list;
        for (int i = 0; i < 10; ++i)
            list.append(std::make_unique<CAtomInt>(i));
        return list;
    };
    std::srand(7);
    CAtomList list = build();
    list.shuffle();
    // The same permutation computed by hand from the same rand() sequence.
    std::srand(7);
    std::vector<int> expected(10);
    for (int i = 0; i < 10; ++i)
        expected[i] = i;
    for (std::size_t k = 1; k < expected.size(); ++k)
        std::swap(expected[k], expected[static_cast<std::size_t>(std::rand()) % (k + 1)]);
    std::string wanted = "l";
    for (int v : expected)
        wanted += "i" + std::to_string(v) + "e";
    EXPECT_EQ(writeList(list), wanted + "e");
}

// Random trees: the predicted size always equals the length of the encoding.
std::unique_ptr<CAtom> randomAtom(std::mt19937& rng, int depth) {
    std::uniform_int_distribution<int> kind(0, depth > 3 ? 2 : 4);
    switch (kind(rng)) {
        case 0:
            return std::make_unique<CAtomInt>(static_cast<int32_t>(rng()));
        case 1:
            return std::make_unique<CAtomLong>(static_cast<int64_t>((uint64_t(rng()) << 32) | rng()));
        case 2: {
            std::string s(rng() % 300, '\0');
            for (auto& c : s)
                c = static_cast<char>(rng());
            return std::make_unique<CAtomString>(s);
        }
        case 3: {
            auto list = std::make_unique<CAtomList>();
            for (unsigned n = rng() % 6; n > 0; --n)
                list->append(randomAtom(rng, depth + 1));
            return list;
        }
        default: {
            auto dict = std::make_unique<CAtomDicti>();
            for (unsigned n = rng() % 6; n > 0; --n)
                dict->store(randomAtom(rng, depth + 1), std::string(rng() % 12, static_cast<char>('a' + rng() % 3)));
            return dict;
        }
    }
}

TEST(BencodeEncode, EncodedSizeMatchesTheEncodingOfRandomTrees) {
    std::mt19937 rng(20261208);
    for (int i = 0; i < 500; ++i) {
        CAtomList root;
        root.append(randomAtom(rng, 0));
        ASSERT_EQ(root.encodedSize(), writeList(root).size()) << "tree " << i;
    }
}

}  // namespace
