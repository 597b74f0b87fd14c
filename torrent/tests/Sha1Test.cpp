#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "torrent/Sha1Hasher.h"

namespace {

std::string hex(const uint8_t* digest) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; i < 20; ++i) {
        out += digits[digest[i] >> 4];
        out += digits[digest[i] & 15];
    }
    return out;
}

std::string digestOf(const std::string& message, sha1::CompressFn compress = sha1::bestCompress()) {
    CSha1Hasher h(compress);
    h.reset();
    h.update(message.data(), static_cast<uint32_t>(message.size()));
    h.finish();
    return hex(h.m_digest);
}

// Both block functions where the processor has the extensions, else the scalar one alone.
std::vector<sha1::CompressFn> engines() {
    std::vector<sha1::CompressFn> all{sha1::compressScalar};
#if defined(__i386__) || defined(__x86_64__)
    if (sha1::processorHasShaExtensions())
        all.push_back(sha1::compressShaExt);
#endif
    return all;
}

TEST(Sha1, StandardVectors) {
    for (auto engine : engines()) {
        EXPECT_EQ(digestOf("", engine), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
        EXPECT_EQ(digestOf("abc", engine), "a9993e364706816aba3e25717850c26c9cd0d89d");
        EXPECT_EQ(digestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", engine),
                  "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
        EXPECT_EQ(
            digestOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopq"
                     "rsmnopqrstnopqrstu",
                     engine),
            "a49b2446a02c645bf419f995b67091253a04a259");
        EXPECT_EQ(digestOf(std::string(1000000, 'a'), engine), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
    }
}

TEST(Sha1, LengthsAroundTheBlockAndLengthField) {
    // Digests of runs of 'a' (as printed by sha1sum).
    const struct {
        std::size_t length;
        const char* digest;
    } cases[] = {
        {55, "c1c8bbdc22796e28c0e15163d20899b65621d65a"}, {56, "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {63, "03f09f5b158a7a8cdad920bddc29b81c18a551f5"}, {64, "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {65, "11655326c708d70319be2610e8a57d9a5b959d3b"},
    };
    for (auto engine : engines()) {
        for (const auto& c : cases)
            EXPECT_EQ(digestOf(std::string(c.length, 'a'), engine), c.digest) << c.length << " bytes";
    }
}

TEST(Sha1, SplittingTheInputChangesNothing) {
    std::mt19937 rng(1);
    std::string message(5000, '\0');
    for (auto& c : message)
        c = static_cast<char>(rng());
    const std::string whole = digestOf(message);
    for (std::size_t piece : {std::size_t(1), std::size_t(63), std::size_t(64), std::size_t(65), std::size_t(200)}) {
        CSha1Hasher h;
        h.reset();
        for (std::size_t at = 0; at < message.size(); at += piece)
            h.update(message.data() + at, static_cast<uint32_t>(std::min(piece, message.size() - at)));
        h.finish();
        EXPECT_EQ(hex(h.m_digest), whole) << "pieces of " << piece;
    }
    // Random splits, zero-length updates included.
    for (int round = 0; round < 50; ++round) {
        CSha1Hasher h;
        h.reset();
        std::size_t at = 0;
        while (at < message.size()) {
            std::size_t n = std::min<std::size_t>(rng() % 300, message.size() - at);
            h.update(message.data() + at, static_cast<uint32_t>(n));
            at += n;
        }
        h.finish();
        ASSERT_EQ(hex(h.m_digest), whole);
    }
}

TEST(Sha1, ResetAfterFinishStartsANewMessage) {
    CSha1Hasher h;
    h.reset();
    h.update("garbage", 7);
    h.finish();
    h.reset();
    h.update("abc", 3);
    h.finish();
    EXPECT_EQ(hex(h.m_digest), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(Sha1, BlockFunctionsAgreeOnRandomInputs) {
    auto all = engines();
    if (all.size() < 2)
        GTEST_SKIP() << "this processor has no SHA extensions";
    std::mt19937 rng(2);
    for (int round = 0; round < 300; ++round) {
        std::string message(rng() % 3000, '\0');
        for (auto& c : message)
            c = static_cast<char>(rng());
        ASSERT_EQ(digestOf(message, all[0]), digestOf(message, all[1])) << message.size() << " bytes";
    }
}

// Two messages hashed side by side, in pieces of any length, give the digests each gives alone,
// with each block function and with the two mixed.
TEST(Sha1, TwoMessagesAtOnceGiveTheirOwnDigests) {
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::string messages[2];
        for (auto& message : messages) {
            message.resize(rng() % 5000);
            for (auto& c : message)
                c = static_cast<char>(rng());
        }
        for (auto first : engines()) {
            for (auto second : engines()) {
                CSha1Hasher a(first), b(second);
                std::size_t at[2] = {0, 0};
                while (at[0] < messages[0].size() || at[1] < messages[1].size()) {
                    // Mostly whole blocks, now and then a few bytes, and never past the end.
                    uint32_t take[2];
                    for (int i = 0; i < 2; ++i) {
                        const std::size_t left = messages[i].size() - at[i];
                        take[i] = static_cast<uint32_t>(
                            std::min<std::size_t>(left, rng() % 4 ? 64 * (rng() % 20) : rng() % 64));
                    }
                    a.updateTwo(messages[0].data() + at[0], take[0], b, messages[1].data() + at[1], take[1]);
                    at[0] += take[0];
                    at[1] += take[1];
                }
                a.finish();
                b.finish();
                ASSERT_EQ(hex(a.m_digest), digestOf(messages[0])) << round;
                ASSERT_EQ(hex(b.m_digest), digestOf(messages[1])) << round;
            }
        }
    }
}

}  // namespace
