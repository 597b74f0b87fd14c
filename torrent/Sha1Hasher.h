#pragma once
// SHA-1 (FIPS 180-1) of one message at a time: reset, update any number of times, finish,
// then read the 20 bytes of m_digest. The block function is chosen once per process: the
// processor's SHA extensions when it has them, otherwise an unrolled scalar version.

#include <cstddef>
#include <cstdint>

namespace sha1 {

// Compresses `blocks` consecutive 64-byte blocks into the five chaining words.
using CompressFn = void (*)(uint32_t state[5], const uint8_t* data, std::size_t blocks);

void compressScalar(uint32_t state[5], const uint8_t* data, std::size_t blocks);
#if defined(__i386__) || defined(__x86_64__)
void compressShaExt(uint32_t state[5], const uint8_t* data, std::size_t blocks);
#endif
#if defined(__x86_64__)
// `blocks` blocks of two messages side by side, each into its own chaining words. Each SHA1RNDS4
// waits for the one before it, so one message leaves the unit idle most of the time; the rounds of
// a second one fill it: two messages here at 2,900 MiB/s on one core, one at 1,650. Not on i686,
// whose eight XMM registers do not hold both.
void compressShaExtTwo(uint32_t stateA[5],
                       const uint8_t* dataA,
                       uint32_t stateB[5],
                       const uint8_t* dataB,
                       std::size_t blocks);
#endif

// True when CPUID reports the SHA extensions (leaf 7, EBX bit 29) with SSSE3 and SSE4.1.
bool processorHasShaExtensions();
// The block function this process uses.
CompressFn bestCompress();
// True when this process hashes two messages at once faster than one after the other.
bool twoAtOnce();

}  // namespace sha1

class CSha1Hasher {
  public:
    explicit CSha1Hasher(sha1::CompressFn compress = sha1::bestCompress());
    ~CSha1Hasher();
    CSha1Hasher(const CSha1Hasher&) = delete;
    CSha1Hasher& operator=(const CSha1Hasher&) = delete;

    void reset();
    void update(const void* data, uint32_t count);
    // As update(data, count) on this hasher and update(otherData, otherCount) on `other`; where
    // both use the SHA extensions and stand at a block boundary, their common whole blocks go
    // through compressShaExtTwo.
    void updateTwo(const void* data, uint32_t count, CSha1Hasher& other, const void* otherData, uint32_t otherCount);
    void finish();

    uint8_t m_digest[20] = {};

  private:
    // Counts `count` more bytes of the message; the offset into the current block before them.
    uint32_t addLength(uint32_t count);

    sha1::CompressFn m_compress;
    uint32_t m_state[5] = {};
    uint32_t m_bitsLow = 0;
    uint32_t m_bitsHigh = 0;
    uint8_t m_block[64] = {};
};
