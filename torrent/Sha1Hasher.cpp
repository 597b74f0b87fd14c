#include "torrent/Sha1Hasher.h"

#include <algorithm>
#include <cstring>

CSha1Hasher::CSha1Hasher(sha1::CompressFn compress) : m_compress(compress) {
    reset();
}

CSha1Hasher::~CSha1Hasher() {
    reset();
}

void CSha1Hasher::reset() {
    m_state[0] = 0x67452301;
    m_state[1] = 0xEFCDAB89;
    m_state[2] = 0x98BADCFE;
    m_state[3] = 0x10325476;
    m_state[4] = 0xC3D2E1F0;
    m_bitsLow = 0;
    m_bitsHigh = 0;
}

uint32_t CSha1Hasher::addLength(uint32_t count) {
    const uint32_t used = (m_bitsLow >> 3) & 63;
    const uint32_t addedBits = count << 3;
    m_bitsLow += addedBits;
    if (m_bitsLow < addedBits)
        ++m_bitsHigh;
    m_bitsHigh += count >> 29;
    return used;
}

void CSha1Hasher::update(const void* data, uint32_t count) {
    const uint8_t* in = static_cast<const uint8_t*>(data);
    const uint32_t used = addLength(count);

    if (used != 0) {
        uint32_t take = 64 - used;
        if (count < take) {
            std::memcpy(m_block + used, in, count);
            return;
        }
        std::memcpy(m_block + used, in, take);
        m_compress(m_state, m_block, 1);
        in += take;
        count -= take;
    }
    // Whole blocks straight from the caller's data.
    if (count >= 64) {
        m_compress(m_state, in, count / 64);
        in += count & ~63u;
        count &= 63;
    }
    std::memcpy(m_block, in, count);
}

void CSha1Hasher::updateTwo(const void* data,
                            uint32_t count,
                            CSha1Hasher& other,
                            const void* otherData,
                            uint32_t otherCount) {
    const uint8_t* in = static_cast<const uint8_t*>(data);
    const uint8_t* otherIn = static_cast<const uint8_t*>(otherData);
#if defined(__x86_64__)
    const bool atBoundary = ((m_bitsLow >> 3) & 63) == 0 && ((other.m_bitsLow >> 3) & 63) == 0;
    if (atBoundary && m_compress == sha1::compressShaExt && other.m_compress == sha1::compressShaExt) {
        const uint32_t bytes = std::min(count, otherCount) & ~63u;
        sha1::compressShaExtTwo(m_state, in, other.m_state, otherIn, bytes / 64);
        addLength(bytes);
        other.addLength(bytes);
        in += bytes;
        otherIn += bytes;
        count -= bytes;
        otherCount -= bytes;
    }
#endif
    update(in, count);
    other.update(otherIn, otherCount);
}

void CSha1Hasher::finish() {
    uint8_t length[8];
    for (int i = 0; i < 4; ++i) {
        length[i] = static_cast<uint8_t>(m_bitsHigh >> (24 - 8 * i));
        length[4 + i] = static_cast<uint8_t>(m_bitsLow >> (24 - 8 * i));
    }
    // 0x80, zeros up to 56 bytes into the block, then the bit count.
    static const uint8_t padding[64] = {0x80};
    uint32_t used = (m_bitsLow >> 3) & 63;
    uint32_t padCount = used < 56 ? 56 - used : 120 - used;
    update(padding, padCount);
    update(length, 8);

    for (int i = 0; i < 20; ++i)
        m_digest[i] = static_cast<uint8_t>(m_state[i / 4] >> (24 - 8 * (i % 4)));

    // Leave nothing of the message behind in the object.
    std::memset(m_block, 0, sizeof m_block);
    std::memset(m_state, 0, sizeof m_state);
    m_bitsLow = 0;
    m_bitsHigh = 0;
    m_compress(m_state, m_block, 1);
}
