// The portable SHA-1 block function, unrolled over its 80 rounds. The message schedule is
// a rolling window of 16 words; the five working variables rotate by renaming, not moving.
#include <utility>

#include "torrent/Sha1Hasher.h"

namespace {

inline uint32_t rol(uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t loadBigEndian(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

template <int t>
inline uint32_t scheduleWord(uint32_t w[16], const uint8_t* block) {
    if constexpr (t < 16) {
        w[t] = loadBigEndian(block + 4 * t);
    } else {
        w[t & 15] = rol(w[(t + 13) & 15] ^ w[(t + 8) & 15] ^ w[(t + 2) & 15] ^ w[t & 15], 1);
    }
    return w[t & 15];
}

template <int t>
inline void round(uint32_t a, uint32_t& b, uint32_t c, uint32_t d, uint32_t& e, uint32_t w[16], const uint8_t* block) {
    uint32_t f;
    uint32_t k;
    if constexpr (t < 20) {
        f = d ^ (b & (c ^ d));
        k = 0x5A827999;
    } else if constexpr (t < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1;
    } else if constexpr (t < 60) {
        f = (b & c) | (d & (b | c));
        k = 0x8F1BBCDC;
    } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6;
    }
    e += rol(a, 5) + f + k + scheduleWord<t>(w, block);
    b = rol(b, 30);
}

// Five rounds; afterwards the variables have rotated once all the way round.
template <int t>
inline void
fiveRounds(uint32_t& a, uint32_t& b, uint32_t& c, uint32_t& d, uint32_t& e, uint32_t w[16], const uint8_t* block) {
    round<t>(a, b, c, d, e, w, block);
    round<t + 1>(e, a, b, c, d, w, block);
    round<t + 2>(d, e, a, b, c, w, block);
    round<t + 3>(c, d, e, a, b, w, block);
    round<t + 4>(b, c, d, e, a, w, block);
}

template <std::size_t... group>
inline void allRounds(uint32_t& a,
                      uint32_t& b,
                      uint32_t& c,
                      uint32_t& d,
                      uint32_t& e,
                      uint32_t w[16],
                      const uint8_t* block,
                      std::index_sequence<group...>) {
    (fiveRounds<int(group) * 5>(a, b, c, d, e, w, block), ...);
}

}  // namespace

namespace sha1 {

void compressScalar(uint32_t state[5], const uint8_t* data, std::size_t blocks) {
    uint32_t w[16];
    for (; blocks > 0; --blocks, data += 64) {
        uint32_t a = state[0], b = state[1], c = state[2], d = state[3], e = state[4];
        allRounds(a, b, c, d, e, w, data, std::make_index_sequence<16>());
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
    }
}

}  // namespace sha1
