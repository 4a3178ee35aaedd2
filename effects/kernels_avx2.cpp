// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: MIT

// Vector loops for x86-64 processors with AVX2 (and AVX-512 for the weighted
// blend), chosen at run time. Each one
// gives exactly the bytes of the portable loop; the few bytes past the last
// whole vector are left to the portable loop.
#include "effects/kernels.h"

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#include <cmath>
#include <cstring>

#define ZORVIX_AVX2 __attribute__((target("avx2")))

namespace zorvix {
namespace {

__m128i load128(const std::uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
ZORVIX_AVX2 __m256i load256(const std::uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
void store128(std::uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
ZORVIX_AVX2 void store256(std::uint8_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

ZORVIX_AVX2 void alphaBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes, double alpha1,
                            double alpha2) {
    // With both weights finite and at most 2^20 in size, every sum is finite
    // and its truncation fits in 32 bits; the saturating packs from 32 to 8
    // bits then do the clamps (clamping before or after truncating gives the
    // same byte). Other weights take the plain loop.
    constexpr double kLargestWeight = 1048576.0;
    std::size_t k = 0;
    if (std::fabs(alpha1) <= kLargestWeight && std::fabs(alpha2) <= kLargestWeight) {
        const __m256d w1 = _mm256_set1_pd(alpha1);
        const __m256d w2 = _mm256_set1_pd(alpha2);
        for (; k + 16 <= bytes; k += 16) {
            __m128i va = load128(a + k);
            __m128i vb = load128(b + k);
            __m128i quarter[4];
            for (auto& q : quarter) {
                const __m256d da = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(va));
                const __m256d db = _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(vb));
                q = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(da, w1), _mm256_mul_pd(db, w2)));
                va = _mm_srli_si128(va, 4);
                vb = _mm_srli_si128(vb, 4);
            }
            const __m128i low = _mm_packs_epi32(quarter[0], quarter[1]);
            const __m128i high = _mm_packs_epi32(quarter[2], quarter[3]);
            store128(a + k, _mm_packus_epi16(low, high));
        }
    }
    portableKernels().alphaBlend(a + k, b + k, bytes - k, alpha1, alpha2);
}

ZORVIX_AVX2 void halfBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
    // The rounding-up average, less one where the sum is odd.
    const __m256i one = _mm256_set1_epi8(1);
    std::size_t k = 0;
    for (; k + 32 <= bytes; k += 32) {
        const __m256i x = load256(a + k);
        const __m256i y = load256(b + k);
        const __m256i odd = _mm256_and_si256(_mm256_xor_si256(x, y), one);
        store256(a + k, _mm256_sub_epi8(_mm256_avg_epu8(x, y), odd));
    }
    portableKernels().halfBlend(a + k, b + k, bytes - k);
}

ZORVIX_AVX2 void addBlend(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes) {
    std::size_t k = 0;
    for (; k + 32 <= bytes; k += 32) store256(a + k, _mm256_adds_epu8(load256(a + k), load256(b + k)));
    portableKernels().addBlend(a + k, b + k, bytes - k);
}

ZORVIX_AVX2 void invert(std::uint8_t* a, std::size_t bytes) {
    const __m256i ones = _mm256_set1_epi8(-1);
    std::size_t k = 0;
    for (; k + 32 <= bytes; k += 32) store256(a + k, _mm256_xor_si256(load256(a + k), ones));
    portableKernels().invert(a + k, bytes - k);
}

// The loops below take four pixels (12 bytes) per step through a 16-byte
// window and store only those 12 bytes (as 8 and 4), so that the next
// window's load never overlaps a store still in flight.
void store12(std::uint8_t* p, __m128i v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
    const int last = _mm_cvtsi128_si32(_mm_srli_si128(v, 8));
    std::memcpy(p + 8, &last, 4);
}

ZORVIX_AVX2 void grayScale(std::uint8_t* pixels, std::size_t count) {
    const std::size_t bytes = count * 3;
    // Blue and green of the four pixels as 16-bit lanes 0-3 and 4-7; red in 0-3.
    const __m128i pickBlueGreen = _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 1, -1, 4, -1, 7, -1, 10, -1);
    const __m128i pickRed = _mm_setr_epi8(2, -1, 5, -1, 8, -1, 11, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i spread = _mm_setr_epi8(0, 0, 0, 2, 2, 2, 4, 4, 4, 6, 6, 6, -1, -1, -1, -1);
    // s * 0xAAAB >> 17 equals s / 3 for every sum s up to 765.
    const __m128i third = _mm_set1_epi16(static_cast<short>(0xAAAB));
    std::size_t k = 0;
    for (; k + 16 <= bytes; k += 12) {
        const __m128i v = load128(pixels + k);
        __m128i sum = _mm_add_epi16(_mm_shuffle_epi8(v, pickBlueGreen), _mm_shuffle_epi8(v, pickRed));
        sum = _mm_add_epi16(sum, _mm_srli_si128(sum, 8));
        const __m128i grey = _mm_srli_epi16(_mm_mulhi_epu16(sum, third), 1);
        store12(pixels + k, _mm_shuffle_epi8(grey, spread));
    }
    portableKernels().grayScale(pixels + k, count - k / 3);
}

ZORVIX_AVX2 void rgbOperation(std::uint8_t* pixels, std::size_t count, int deltaRed, int deltaGreen,
                              int deltaBlue) {
    // Three 32-byte vectors cover 32 whole pixels, so byte i of the pattern is
    // channel i % 3. A positive delta is a saturating add, a negative one a
    // saturating subtract.
    const int deltas[3] = {deltaBlue, deltaGreen, deltaRed};
    alignas(32) std::uint8_t up[96];
    alignas(32) std::uint8_t down[96];
    for (int i = 0; i < 96; ++i) {
        const int d = deltas[i % 3];
        up[i] = static_cast<std::uint8_t>(d > 0 ? d : 0);
        down[i] = static_cast<std::uint8_t>(d < 0 ? -d : 0);
    }
    __m256i add[3];
    __m256i sub[3];
    for (int v = 0; v < 3; ++v) {
        add[v] = load256(up + 32 * v);
        sub[v] = load256(down + 32 * v);
    }
    const std::size_t bytes = count * 3;
    std::size_t k = 0;
    for (; k + 96 <= bytes; k += 96) {
        for (int v = 0; v < 3; ++v) {
            std::uint8_t* p = pixels + k + 32 * v;
            store256(p, _mm256_subs_epu8(_mm256_adds_epu8(load256(p), add[v]), sub[v]));
        }
    }
    portableKernels().rgbOperation(pixels + k, count - k / 3, deltaRed, deltaGreen, deltaBlue);
}

ZORVIX_AVX2 void sprite(std::uint8_t* background, const std::uint8_t* sprite, std::size_t count,
                        std::uint32_t key) {
    const auto red = static_cast<char>(key);
    const auto green = static_cast<char>(key >> 8);
    const auto blue = static_cast<char>(key >> 16);
    const __m128i keyPattern =
        _mm_setr_epi8(blue, green, red, blue, green, red, blue, green, red, blue, green, red, 0, 0, 0, 0);
    // For every byte of a pixel, the byte of the pixel's blue, green and red.
    const __m128i ofBlue = _mm_setr_epi8(0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, -1, -1, -1, -1);
    const __m128i ofGreen = _mm_setr_epi8(1, 1, 1, 4, 4, 4, 7, 7, 7, 10, 10, 10, -1, -1, -1, -1);
    const __m128i ofRed = _mm_setr_epi8(2, 2, 2, 5, 5, 5, 8, 8, 8, 11, 11, 11, -1, -1, -1, -1);
    const std::size_t bytes = count * 3;
    std::size_t k = 0;
    for (; k + 16 <= bytes; k += 12) {
        const __m128i s = load128(sprite + k);
        const __m128i back = load128(background + k);
        const __m128i same = _mm_cmpeq_epi8(s, keyPattern);
        const __m128i keyed = _mm_and_si128(_mm_shuffle_epi8(same, ofBlue),
                                            _mm_and_si128(_mm_shuffle_epi8(same, ofGreen), _mm_shuffle_epi8(same, ofRed)));
        store12(background + k, _mm_blendv_epi8(s, back, keyed));
    }
    portableKernels().sprite(background + k, sprite + k, count - k / 3, key);
}

constexpr Kernels kAvx2{"avx2", alphaBlend, halfBlend, addBlend, invert, grayScale, rgbOperation, sprite};

// The weighted blend is bound by its double arithmetic; with AVX-512 it
// takes twice the lanes per step. The other loops are bound by memory.
__attribute__((target("avx512f"))) void alphaBlendWide(std::uint8_t* a, const std::uint8_t* b, std::size_t bytes,
                                                     double alpha1, double alpha2) {
    // As in the AVX2 loop: within these weights the truncated sums fit in 32
    // bits, and clamping after truncation gives the same bytes.
    constexpr double kLargestWeight = 1048576.0;
    std::size_t k = 0;
    if (std::fabs(alpha1) <= kLargestWeight && std::fabs(alpha2) <= kLargestWeight) {
        const __m512d w1 = _mm512_set1_pd(alpha1);
        const __m512d w2 = _mm512_set1_pd(alpha2);
        const __m512i zero = _mm512_setzero_si512();
        for (; k + 16 <= bytes; k += 16) {
            const __m512i va = _mm512_cvtepu8_epi32(load128(a + k));
            const __m512i vb = _mm512_cvtepu8_epi32(load128(b + k));
            const __m512d aLow = _mm512_cvtepi32_pd(_mm512_castsi512_si256(va));
            const __m512d aHigh = _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(va, 1));
            const __m512d bLow = _mm512_cvtepi32_pd(_mm512_castsi512_si256(vb));
            const __m512d bHigh = _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(vb, 1));
            const __m256i low = _mm512_cvttpd_epi32(_mm512_add_pd(_mm512_mul_pd(aLow, w1), _mm512_mul_pd(bLow, w2)));
            const __m256i high = _mm512_cvttpd_epi32(_mm512_add_pd(_mm512_mul_pd(aHigh, w1), _mm512_mul_pd(bHigh, w2)));
            const __m512i sums = _mm512_max_epi32(_mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1), zero);
            store128(a + k, _mm512_cvtusepi32_epi8(sums));
        }
    }
    portableKernels().alphaBlend(a + k, b + k, bytes - k, alpha1, alpha2);
}

constexpr Kernels kAvx512{"avx512", alphaBlendWide, halfBlend, addBlend, invert, grayScale, rgbOperation, sprite};

}  // namespace

const Kernels* avx2Kernels() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
}

const Kernels* avx512Kernels() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") ? &kAvx512 : nullptr;
}

}  // namespace zorvix

#else

namespace zorvix {
const Kernels* avx2Kernels() { return nullptr; }
const Kernels* avx512Kernels() { return nullptr; }
}  // namespace zorvix

#endif
