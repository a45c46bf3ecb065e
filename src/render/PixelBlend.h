#pragma once

#include "shell/mdlStartup.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define PIXELBLEND_AVX2 1
#endif

// Blending a line colour into a 32-bit surface pixel, shared by the line drawing and the
// replay of recorded hands so that both give the same bytes.
namespace PixelBlend {

// Adding and removing 1.5 * 2^52 leaves a double rounded to a whole number in the current
// rounding mode, which is to-nearest-even; much cheaper than a library call per channel.
inline constexpr double RoundingMagic = 6755399441055744.0;

// One channel of a blend whose weight lies in [0, 1]: a convex combination needs no clamping.
// With a single-precision weight and byte channels the double arithmetic is exact, and adding
// 1.5 * 2^52 leaves the value rounded half to even in the low bits of the mantissa.
inline uint32_t blendChannel(double line, uint32_t surface, double w, double lineShare) {
    double v = lineShare * line + w * static_cast<double>(surface);
    v += RoundingMagic;
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return static_cast<uint32_t>(bits) & 0xffu;
}

#if defined(__SSE2__)
// The same arithmetic on two channels at a time: (blue, green) and (red, alpha).
struct LineColor {
    explicit LineColor(ColorBytes c)
        : low(_mm_set_pd(c.Green, c.Blue)), high(_mm_set_pd(255.0, c.Red)) {}
    __m128d low, high;
};

inline uint32_t blendPixel(const LineColor& line, uint32_t surface, float weight) {
    const __m128d w = _mm_set1_pd(weight);
    const __m128d share = _mm_set1_pd(1.0 - static_cast<double>(weight));
    const __m128i zero = _mm_setzero_si128();
    const __m128i channels = _mm_unpacklo_epi16(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(surface)), zero), zero);
    const __m128d magic = _mm_set1_pd(RoundingMagic);
    const __m128d low = _mm_add_pd(
        _mm_add_pd(_mm_mul_pd(share, line.low), _mm_mul_pd(w, _mm_cvtepi32_pd(channels))), magic);
    const __m128d high =
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(share, line.high),
                              _mm_mul_pd(w, _mm_cvtepi32_pd(_mm_shuffle_epi32(channels, 0xEE)))),
                   magic);
    // The rounded values sit in the low 32 bits of each double.
    const __m128i lowInts = _mm_shuffle_epi32(_mm_castpd_si128(low), _MM_SHUFFLE(2, 0, 2, 0));
    const __m128i highInts = _mm_shuffle_epi32(_mm_castpd_si128(high), _MM_SHUFFLE(2, 0, 2, 0));
    const __m128i packed = _mm_packs_epi32(_mm_unpacklo_epi64(lowInts, highInts), zero);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(packed, zero))) | 0xff000000u;
}
#else
struct LineColor {
    explicit LineColor(ColorBytes c) : channel{double(c.Blue), double(c.Green), double(c.Red)} {}
    double channel[3];
};

inline uint32_t blendPixel(const LineColor& line, uint32_t surface, float weight) {
    const double w = weight;
    const double share = 1.0 - w;
    return 0xff000000u | (blendChannel(line.channel[2], (surface >> 16) & 0xffu, w, share) << 16) |
           (blendChannel(line.channel[1], (surface >> 8) & 0xffu, w, share) << 8) |
           blendChannel(line.channel[0], surface & 0xffu, w, share);
}
#endif

#if defined(PIXELBLEND_AVX2)
// The same arithmetic on all four channels at once, for processors with AVX2 (see hasAvx2();
// only code compiled for AVX2 may call it). The conversion to integers rounds the way the
// rounding constant does, to nearest even in the current rounding mode; the products and the
// sum are the very same double operations, so the bytes are the same.
struct LineColor4 {
    __attribute__((target("avx2"))) explicit LineColor4(ColorBytes c)
        : channels(_mm256_set_pd(255.0, c.Red, c.Green, c.Blue)) {}
    __m256d channels;
};

// weight as a double, and share = 1 - weight, worked out beforehand.
__attribute__((target("avx2"))) inline uint32_t
blendPixelAvx2(const LineColor4& line, uint32_t surface, double weight, double lineShare) {
    const __m256d w = _mm256_set1_pd(weight);
    const __m256d share = _mm256_set1_pd(lineShare);
    const __m256d under =
        _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(static_cast<int>(surface))));
    const __m256d v = _mm256_add_pd(_mm256_mul_pd(share, line.channels), _mm256_mul_pd(w, under));
    const __m128i ints = _mm256_cvtpd_epi32(v);
    // A blend of bytes by weights in [0, 1] lies in 0..255: each channel's low byte is all of
    // it, picked with one shuffle instead of two saturating packs.
    const __m128i lowBytes =
        _mm_setr_epi8(0, 4, 8, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i bytes = _mm_shuffle_epi8(ints, lowBytes);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(bytes)) | 0xff000000u;
}

__attribute__((target("avx2"))) inline uint32_t blendPixelAvx2(const LineColor4& line,
                                                               uint32_t surface, float weight) {
    const double w = weight;
    return blendPixelAvx2(line, surface, w, 1.0 - w);
}

// Whether the AVX2 code may run: the processor's answer, unless the plain code is asked for
// (the tests draw every frame both ways).
inline bool& avx2Allowed() {
    static bool allowed = true;
    return allowed;
}
inline bool hasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has && avx2Allowed();
}
#endif

} // namespace PixelBlend
