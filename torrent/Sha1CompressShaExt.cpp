// The SHA-1 block function on the x86 SHA extensions (SHA1RNDS4, SHA1NEXTE, SHA1MSG1/2).
// Only this file is compiled with -msha -msse4.1; it runs only where CPUID reports them.
#include <immintrin.h>

#include <utility>

#include "torrent/Sha1Hasher.h"

namespace {

struct Lanes {
    __m128i abcd;
    __m128i e[2];  // E of the next four rounds and of the four after, used alternately
    __m128i msg[4];
};

// Rounds 4g .. 4g+3, with the message schedule for later groups interleaved.
template <int g>
inline __attribute__((always_inline)) void fourRounds(Lanes& s) {
    constexpr int cur = g % 2;
    const __m128i m = s.msg[g % 4];
    if constexpr (g == 0)
        s.e[cur] = _mm_add_epi32(s.e[cur], m);
    else
        s.e[cur] = _mm_sha1nexte_epu32(s.e[cur], m);
    s.e[1 - cur] = s.abcd;
    if constexpr (g >= 3 && g <= 18)
        s.msg[(g + 1) % 4] = _mm_sha1msg2_epu32(s.msg[(g + 1) % 4], m);
    s.abcd = _mm_sha1rnds4_epu32(s.abcd, s.e[cur], g / 5);
    if constexpr (g >= 1 && g <= 16)
        s.msg[(g + 3) % 4] = _mm_sha1msg1_epu32(s.msg[(g + 3) % 4], m);
    if constexpr (g >= 2 && g <= 17)
        s.msg[(g + 2) % 4] = _mm_xor_si128(s.msg[(g + 2) % 4], m);
}

template <std::size_t... g>
inline __attribute__((always_inline)) void eightyRounds(Lanes& s, std::index_sequence<g...>) {
    (fourRounds<int(g)>(s), ...);
}

// Two messages' rounds in turn: each SHA1RNDS4 waits for the one before it in its own chain only.
template <std::size_t... g>
inline __attribute__((always_inline)) void eightyRoundsTwo(Lanes& a, Lanes& b, std::index_sequence<g...>) {
    ((fourRounds<int(g)>(a), fourRounds<int(g)>(b)), ...);
}

// The message words of one block, in the byte order the rounds take.
inline __attribute__((always_inline)) Lanes startBlock(__m128i abcd, __m128i e0, const uint8_t* data) {
    const __m128i byteSwap = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    Lanes s;
    s.abcd = abcd;
    s.e[0] = e0;
    s.e[1] = _mm_setzero_si128();
    for (int i = 0; i < 4; ++i)
        s.msg[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteSwap);
    return s;
}

// After group 19 e[0] holds the A of round 76; SHA1NEXTE turns it into the final E.
inline __attribute__((always_inline)) void endBlock(const Lanes& s, __m128i& abcd, __m128i& e0) {
    e0 = _mm_sha1nexte_epu32(s.e[0], e0);
    abcd = _mm_add_epi32(s.abcd, abcd);
}

inline __attribute__((always_inline)) void loadState(const uint32_t state[5], __m128i& abcd, __m128i& e0) {
    abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    e0 = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
}

inline __attribute__((always_inline)) void storeState(uint32_t state[5], __m128i abcd, __m128i e0) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e0, 3));
}

}  // namespace

namespace sha1 {

void compressShaExt(uint32_t state[5], const uint8_t* data, std::size_t blocks) {
    __m128i abcd, e0;
    loadState(state, abcd, e0);
    for (; blocks > 0; --blocks, data += 64) {
        Lanes s = startBlock(abcd, e0, data);
        eightyRounds(s, std::make_index_sequence<20>());
        endBlock(s, abcd, e0);
    }
    storeState(state, abcd, e0);
}

#if defined(__x86_64__)
void compressShaExtTwo(uint32_t stateA[5],
                       const uint8_t* dataA,
                       uint32_t stateB[5],
                       const uint8_t* dataB,
                       std::size_t blocks) {
    __m128i abcdA, e0A, abcdB, e0B;
    loadState(stateA, abcdA, e0A);
    loadState(stateB, abcdB, e0B);
    for (; blocks > 0; --blocks, dataA += 64, dataB += 64) {
        Lanes a = startBlock(abcdA, e0A, dataA);
        Lanes b = startBlock(abcdB, e0B, dataB);
        eightyRoundsTwo(a, b, std::make_index_sequence<20>());
        endBlock(a, abcdA, e0A);
        endBlock(b, abcdB, e0B);
    }
    storeState(stateA, abcdA, e0A);
    storeState(stateB, abcdB, e0B);
}
#endif

}  // namespace sha1
