#include "vault/sha256.h"

#include <atomic>
#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define MIRELO_SHA_NI 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

alignas(16) constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                       0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

inline std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

void compressPortable(std::uint32_t state[8], const std::uint8_t *data, std::size_t blocks)
{
    for (; blocks > 0; --blocks, data += 64) {
        std::uint32_t w[64];
        for (int i = 0; i < 16; ++i)
            w[i] = std::uint32_t(data[4 * i]) << 24 | std::uint32_t(data[4 * i + 1]) << 16
                   | std::uint32_t(data[4 * i + 2]) << 8 | std::uint32_t(data[4 * i + 3]);
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
            const std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
            w[i] = w[i - 16] + s0 + w[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t t1 = h + (rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25)) + ((e & f) ^ (~e & g)) + kRound[i] + w[i];
            const std::uint32_t t2 = (rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + t2;
        }
        state[0] += a; state[1] += b; state[2] += c; state[3] += d;
        state[4] += e; state[5] += f; state[6] += g; state[7] += h;
    }
}

#ifdef MIRELO_SHA_NI
__attribute__((target("sha,sse4.1,ssse3")))
void compressShaNi(std::uint32_t state[8], const std::uint8_t *data, std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state));
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state + 4));
    tmp = _mm_shuffle_epi32(tmp, 0xB1);            // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);      // EFGH
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8); // ABEF
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);   // CDGH

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefSave = state0;
        const __m128i cdghSave = state1;
        __m128i w[16];
        for (int i = 0; i < 4; ++i)
            w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * i)), byteSwap);
        for (int i = 0; i < 16; ++i) {
            if (i >= 4) {
                __m128i next = _mm_sha256msg1_epu32(w[i - 4], w[i - 3]);
                next = _mm_add_epi32(next, _mm_alignr_epi8(w[i - 1], w[i - 2], 4));
                w[i] = _mm_sha256msg2_epu32(next, w[i - 1]);
            }
            __m128i msg = _mm_add_epi32(w[i], _mm_load_si128(reinterpret_cast<const __m128i *>(kRound + 4 * i)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, msg);
            msg = _mm_shuffle_epi32(msg, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, msg);
        }
        state0 = _mm_add_epi32(state0, abefSave);
        state1 = _mm_add_epi32(state1, cdghSave);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);          // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);       // DCHG
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);    // DCBA
    state1 = _mm_alignr_epi8(state1, tmp, 8);       // HGFE
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state + 4), state1);
}

bool cpuHasShaNi()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool sse41 = (c >> 19) & 1, ssse3 = (c >> 9) & 1;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return sse41 && ssse3 && ((b >> 29) & 1);
}
#endif

std::atomic<bool> accelerationAllowed{true};

void compress(std::uint32_t state[8], const std::uint8_t *data, std::size_t blocks)
{
#ifdef MIRELO_SHA_NI
    static const bool hasShaNi = cpuHasShaNi();
    if (hasShaNi && accelerationAllowed.load(std::memory_order_relaxed)) {
        compressShaNi(state, data, blocks);
        return;
    }
#endif
    compressPortable(state, data, blocks);
}

} // namespace

void sha256(const void *data, std::size_t length, std::uint8_t digest[32])
{
    std::uint32_t state[8];
    std::memcpy(state, kInitial, sizeof state);
    const auto *bytes = static_cast<const std::uint8_t *>(data);
    const std::size_t whole = length / 64;
    if (whole > 0)
        compress(state, bytes, whole);

    // The tail, the 0x80 marker and the bit length fill one or two blocks.
    std::uint8_t tail[128] = {};
    const std::size_t rest = length - whole * 64;
    if (rest > 0)
        std::memcpy(tail, bytes + whole * 64, rest);
    tail[rest] = 0x80;
    const std::size_t tailBlocks = rest + 9 > 64 ? 2 : 1;
    const std::uint64_t bits = std::uint64_t(length) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailBlocks * 64 - 1 - std::size_t(i)] = std::uint8_t(bits >> (8 * i));
    compress(state, tail, tailBlocks);

    for (int i = 0; i < 8; ++i) {
        digest[4 * i] = std::uint8_t(state[i] >> 24);
        digest[4 * i + 1] = std::uint8_t(state[i] >> 16);
        digest[4 * i + 2] = std::uint8_t(state[i] >> 8);
        digest[4 * i + 3] = std::uint8_t(state[i]);
    }
}

bool sha256Accelerated()
{
#ifdef MIRELO_SHA_NI
    return cpuHasShaNi() && accelerationAllowed.load();
#else
    return false;
#endif
}

void setSha256AccelerationAllowed(bool allowed)
{
    accelerationAllowed.store(allowed);
}
