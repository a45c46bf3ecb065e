#include "render/Vorel_WuLines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vorel_WuLines {

namespace {

constexpr double Pi = 3.14159; // the value the clock's geometry is written with

// Adding and removing 1.5 * 2^52 leaves a double rounded to a whole number in the current
// rounding mode, which is to-nearest-even; much cheaper than a library call per channel.
constexpr double RoundingMagic = 6755399441055744.0;

inline uint8_t blend(uint8_t a, uint8_t b, double w) {
    const double v = (1.0 - w) * a + w * b;
    const double r = (v + RoundingMagic) - RoundingMagic;
    if (r <= 0)
        return 0;
    if (r >= 255)
        return 255;
    return static_cast<uint8_t>(r);
}

inline ColorBytes blendBytes(ColorBytes a, ColorBytes b, float w) {
    const double wd = w;
    return {blend(a.Blue, b.Blue, wd), blend(a.Green, b.Green, wd), blend(a.Red, b.Red, wd)};
}

// floor() of a float, without a library call.
inline int floorToInt(float f) {
    const int i = static_cast<int>(f);
    return (f < static_cast<float>(i)) ? i - 1 : i;
}

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

// Floor of width / 2, also for negative widths.
inline int halfDown(int width) {
    return width >= 0 ? width / 2 : -((1 - width) / 2);
}

QPoint roundPoint(double x, double y) {
    return {RoundHalfEven(x), RoundHalfEven(y)};
}

} // namespace

int32_t RoundHalfEven(double v) {
    if (std::fabs(v) < 4503599627370496.0)
        return static_cast<int32_t>((v + RoundingMagic) - RoundingMagic);
    return static_cast<int32_t>(std::nearbyint(v));
}

int32_t TripleToColor(ColorBytes t) {
    return int32_t(t.Red) | (int32_t(t.Green) << 8) | (int32_t(t.Blue) << 16);
}

ColorBytes ColorToTriple(int32_t c) {
    ColorBytes t;
    t.Red = static_cast<uint8_t>(c & 255);
    t.Green = static_cast<uint8_t>((c / 256) & 255);
    t.Blue = static_cast<uint8_t>((c / 65536) & 255);
    return t;
}

uint8_t BlendByte(uint8_t a, uint8_t b, float w) {
    return blend(a, b, w);
}

ColorBytes BlendTriple(ColorBytes a, ColorBytes b, float w) {
    return blendBytes(a, b, w);
}

void WuLine(Surface& dc, QPoint p1, QPoint p2, ColorBytes color, int16_t width) {
    if (p1 == p2)
        return;
    const int lo = halfDown(width);
    const int hi = width - lo;
    const int dx = p2.x() - p1.x();
    const int dy = p2.y() - p1.y();
    const bool xMajor = std::abs(dx) > std::abs(dy);
    // Work in (major, minor) coordinates and map back when touching a pixel.
    const QPoint s = xMajor ? (p1.x() <= p2.x() ? p1 : p2) : (p1.y() <= p2.y() ? p1 : p2);
    const QPoint e = (s == p1) ? p2 : p1;
    const int sMajor = xMajor ? s.x() : s.y();
    const int sMinor = xMajor ? s.y() : s.x();
    const int D = xMajor ? e.x() - s.x() : e.y() - s.y();
    const int E = xMajor ? e.y() - s.y() : e.x() - s.x();

    const int minOff = std::min(-lo, hi);
    const int maxOff = std::max(-lo, hi);
    const int minorFrom = std::min(sMinor, sMinor + E) + minOff;
    const int minorTo = std::max(sMinor, sMinor + E) + maxOff;
    const QRect extent = xMajor ? QRect(QPoint(sMajor, minorFrom), QPoint(sMajor + D, minorTo))
                                : QRect(QPoint(minorFrom, sMajor), QPoint(minorTo, sMajor + D));
    if (QRect(0, 0, dc.width(), dc.height()).contains(extent)) {
        // All inside: step through memory directly.
        const qsizetype majorStep = xMajor ? 1 : dc.rowPixels();
        const qsizetype minorStep = xMajor ? dc.rowPixels() : 1;
        const LineColor line(color);
        const uint32_t solid = Surface::pack(color);
        uint32_t* const start =
            xMajor ? dc.pixelPointer(sMajor, sMinor) : dc.pixelPointer(sMinor, sMajor);
        // The positions first, a block at a time, so the divisions overlap instead of
        // waiting on the pixel reads and writes.
        constexpr int Block = 16; // also the unit in which the written area is recorded
        int offsets[Block];
        float fracs[Block];
        for (int base = 0; base <= D; base += Block) {
            const int n = std::min(Block, D - base + 1);
            for (int k = 0; k < n; ++k) {
                const float f = static_cast<float>((static_cast<double>(base + k) / D) * E);
                const int fl = floorToInt(f);
                fracs[k] = f - static_cast<float>(fl);
                offsets[k] = fl;
            }
            const int lowMinor = sMinor + std::min(offsets[0], offsets[n - 1]) + minOff;
            const int highMinor = sMinor + std::max(offsets[0], offsets[n - 1]) + maxOff;
            dc.addTouched(xMajor ? QRect(QPoint(sMajor + base, lowMinor),
                                         QPoint(sMajor + base + n - 1, highMinor))
                                 : QRect(QPoint(lowMinor, sMajor + base),
                                         QPoint(highMinor, sMajor + base + n - 1)));
            for (int k = 0; k < n; ++k) {
                uint32_t* const p = start + (base + k) * majorStep + offsets[k] * minorStep;
                uint32_t* const upper = p - lo * minorStep;
                *upper = blendPixel(line, *upper, fracs[k]);
                uint32_t* const lower = p + hi * minorStep;
                *lower = blendPixel(line, *lower, 1.0f - fracs[k]);
                for (int m = -lo + 1; m <= hi - 1; ++m)
                    p[m * minorStep] = solid;
            }
        }
        return;
    }

    auto at = [xMajor](int major, int minor) {
        return xMajor ? QPoint(major, minor) : QPoint(minor, major);
    };

    for (int i = 0; i <= D; ++i) {
        const float f = static_cast<float>((static_cast<double>(i) / D) * E);
        const int fl = floorToInt(f);
        const float frac = f - static_cast<float>(fl);
        const int major = sMajor + i;
        const int minor = sMinor + fl;

        const QPoint upper = at(major, minor - lo);
        dc.setPixelBytes(upper.x(), upper.y(),
                         blendBytes(color, dc.pixelBytes(upper.x(), upper.y()), frac));
        const QPoint lower = at(major, minor + hi);
        dc.setPixelBytes(lower.x(), lower.y(),
                         blendBytes(color, dc.pixelBytes(lower.x(), lower.y()), 1.0f - frac));
        for (int m = minor - lo + 1; m <= minor + hi - 1; ++m) {
            const QPoint p = at(major, m);
            dc.setPixelBytes(p.x(), p.y(), color);
        }
    }
}

HandPoints HandOutline(QPoint centre, float angle, float lx, float ly, int16_t width) {
    const double cx = centre.x();
    const double cy = centre.y();
    const double ca = std::cos(static_cast<double>(angle));
    const double sa = std::sin(static_cast<double>(angle));
    HandPoints h;
    h.tip = roundPoint(cx + ca * lx, cy + sa * ly);
    if (width <= 3)
        return h;

    const float hn = -static_cast<float>(width) / 2;
    const float hp = static_cast<float>(width) / 2;
    const float bn = static_cast<float>(hn + 0.4);
    const float bp = static_cast<float>(hp - 0.4);
    const float q = static_cast<float>(Pi / 2 + angle);
    const double cq = std::cos(static_cast<double>(q));
    const double sq = std::sin(static_cast<double>(q));
    // The solid body stops a little inside the true outline; the width-3 edges cover the
    // margin and smooth it.
    h.body[0] = roundPoint(cx + ca * (lx * 0.98), cy + sa * (ly * 0.98));
    h.body[1] = roundPoint(cx + cq * bn, cy + sq * bn);
    h.body[2] = roundPoint(cx + cq * bp, cy + sq * bp);
    h.c1 = roundPoint(cx + cq * hn, cy + sq * hn);
    h.c2 = roundPoint(cx + cq * hp, cy + sq * hp);
    return h;
}

void DrawHand(Surface& dc, QPoint centre, float angle, float lx, float ly, ColorBytes color,
              int16_t width) {
    const HandPoints h = HandOutline(centre, angle, lx, ly, width);
    if (width <= 3) {
        WuLine(dc, centre, h.tip, color, width);
        return;
    }
    dc.Polygon(h.body, 3, color);
    WuLine(dc, h.tip, h.c1, color, 3);
    WuLine(dc, h.tip, h.c2, color, 3);
}

} // namespace Vorel_WuLines
