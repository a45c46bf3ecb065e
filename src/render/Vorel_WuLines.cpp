#include "render/Vorel_WuLines.h"

#include "render/HandTrig.h"
#include "render/PixelBlend.h"
#include "render/RowBands.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Vorel_WuLines {

namespace {

using PixelBlend::blendPixel;
using PixelBlend::LineColor;
using PixelBlend::RoundingMagic;

constexpr double Pi = 3.14159; // the value the clock's geometry is written with

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

// floor() of a float, without a library call or a branch.
inline int floorToInt(float f) {
    const int i = static_cast<int>(f);
    return i - static_cast<int>(f < static_cast<float>(i));
}

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

namespace {

// A line in (major, minor) coordinates: the axis it runs along most, its start (the end with
// the smaller major coordinate), its run D along the major axis and rise E along the minor,
// and the pen's reach below (lo) and above (hi) the line.
struct LineAxes {
    int lo, hi;
    bool xMajor;
    int sMajor, sMinor, D, E;
};

LineAxes axesOf(QPoint p1, QPoint p2, int16_t width) {
    LineAxes a{};
    a.lo = halfDown(width);
    a.hi = width - a.lo;
    a.xMajor = std::abs(p2.x() - p1.x()) > std::abs(p2.y() - p1.y());
    const QPoint s = a.xMajor ? (p1.x() <= p2.x() ? p1 : p2) : (p1.y() <= p2.y() ? p1 : p2);
    const QPoint e = (s == p1) ? p2 : p1;
    a.sMajor = a.xMajor ? s.x() : s.y();
    a.sMinor = a.xMajor ? s.y() : s.x();
    a.D = a.xMajor ? e.x() - s.x() : e.y() - s.y();
    a.E = a.xMajor ? e.y() - s.y() : e.x() - s.x();
    return a;
}

// Steps of a line worked out at a time; also the unit in which the written area is recorded.
constexpr int Block = 16;

// The pen across a line: its reach below and above the line, and the surface's row length.
struct StepShape {
    int lo, hi;
    qsizetype rowPixels;
};

// The n steps of a block from the pixel of its first step on: each step's two edge pixels
// to put.edges() and those between them to put.solid(). Solids is the number between
// (width - 1), or -1 for one known only when drawing.
template <bool XMajor, int Solids, typename Put>
[[gnu::always_inline]] inline void drawSteps(uint32_t* blockStart, const StepShape& s,
                                             const int* offsets, const float* fracs, int n,
                                             Put& put) {
    const qsizetype majorStep = XMajor ? 1 : s.rowPixels;
    const qsizetype minorStep = XMajor ? s.rowPixels : 1;
    for (int k = 0; k < n; ++k) {
        uint32_t* const p = blockStart + k * majorStep + offsets[k] * minorStep;
        put.edges(p - s.lo * minorStep, p + s.hi * minorStep, k, fracs[k]);
        if constexpr (Solids >= 0) {
            for (int m = 0; m < Solids; ++m)
                put.solid(p + (m - s.lo + 1) * minorStep);
        } else {
            for (int m = -s.lo + 1; m <= s.hi - 1; ++m)
                put.solid(p + m * minorStep);
        }
    }
}

// drawSteps for the line's width: the hands' widths, 2 and 3, with their solid pixels known
// when compiled.
template <bool XMajor, typename Put>
[[gnu::always_inline]] inline void drawBlock(int16_t width, uint32_t* blockStart,
                                             const StepShape& s, const int* offsets,
                                             const float* fracs, int n, Put& put) {
    if (width == 2)
        drawSteps<XMajor, 1>(blockStart, s, offsets, fracs, n, put);
    else if (width == 3)
        drawSteps<XMajor, 2>(blockStart, s, offsets, fracs, n, put);
    else
        drawSteps<XMajor, -1>(blockStart, s, offsets, fracs, n, put);
}

// Rows lo[k] and hi[k] (k < n <= Block) widened to offsets[k] plus `from` and `to`; a whole
// block four rows at a time where SSE2 is there.
[[gnu::always_inline]] inline void widenRows(int* lo, int* hi, const int* offsets, int from, int to,
                                             int n) {
#if defined(__SSE2__)
    if (n == Block) {
        const __m128i f = _mm_set1_epi32(from), t = _mm_set1_epi32(to);
        for (int k = 0; k < Block; k += 4) {
            const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(offsets + k));
            const __m128i a = _mm_add_epi32(o, f), b = _mm_add_epi32(o, t);
            auto* const l = reinterpret_cast<__m128i*>(lo + k);
            auto* const h = reinterpret_cast<__m128i*>(hi + k);
            const __m128i oldLo = _mm_loadu_si128(l), oldHi = _mm_loadu_si128(h);
            const __m128i lower = _mm_cmplt_epi32(a, oldLo), higher = _mm_cmpgt_epi32(b, oldHi);
            _mm_storeu_si128(l,
                             _mm_or_si128(_mm_and_si128(lower, a), _mm_andnot_si128(lower, oldLo)));
            _mm_storeu_si128(
                h, _mm_or_si128(_mm_and_si128(higher, b), _mm_andnot_si128(higher, oldHi)));
        }
        return;
    }
#endif
    for (int k = 0; k < n; ++k) {
        lo[k] = std::min(lo[k], offsets[k] + from);
        hi[k] = std::max(hi[k], offsets[k] + to);
    }
}

// A line that lies wholly inside the surface, stepping through memory directly: each pixel
// goes to put.solid(pixel), or with its neighbour across the line to put.edges(first pixel,
// second pixel, k, the first one's surface share; the second's is 1 - that), in the order of
// drawing; k is the step within the block whose shares put.shares() was given. False, with
// nothing done, when part of it would lie outside. p1 != p2.
template <typename Put>
[[gnu::always_inline]] inline bool insideLine(Surface& dc, QPoint p1, QPoint p2, int16_t width,
                                              Put& put) {
    const LineAxes axes = axesOf(p1, p2, width);
    const int lo = axes.lo, hi = axes.hi, sMajor = axes.sMajor, sMinor = axes.sMinor;
    const int D = axes.D, E = axes.E;
    const bool xMajor = axes.xMajor;

    const int minOff = std::min(-lo, hi);
    const int maxOff = std::max(-lo, hi);
    const int minorFrom = std::min(sMinor, sMinor + E) + minOff;
    const int minorTo = std::max(sMinor, sMinor + E) + maxOff;
    const QRect extent = xMajor ? QRect(QPoint(sMajor, minorFrom), QPoint(sMajor + D, minorTo))
                                : QRect(QPoint(minorFrom, sMajor), QPoint(minorTo, sMajor + D));
    if (!Holds(QRect(0, 0, dc.width(), dc.height()), extent))
        return false;
    const qsizetype majorStep = xMajor ? 1 : dc.rowPixels();
    uint32_t* const start =
        xMajor ? dc.pixelPointer(sMajor, sMinor) : dc.pixelPointer(sMinor, sMajor);
    int* const rowLo = dc.rowLo();
    int* const rowHi = dc.rowHi();
    // The positions first, a block at a time, so the divisions overlap instead of waiting on
    // the pixel reads and writes.
    int offsets[Block];
    float fracs[Block];
    for (int base = 0; base <= D; base += Block) {
        const int n = std::min(Block, D - base + 1);
        for (int k = 0; k < Block; ++k) { // a whole block, past the end too: no loop tail
            const float f = static_cast<float>((static_cast<double>(base + k) / D) * E);
            const int fl = floorToInt(f);
            fracs[k] = f - static_cast<float>(fl);
            offsets[k] = fl;
        }
        put.shares(fracs);
        const int lowMinor = sMinor + std::min(offsets[0], offsets[n - 1]) + minOff;
        const int highMinor = sMinor + std::max(offsets[0], offsets[n - 1]) + maxOff;
        if (xMajor) {
            dc.addTouched(
                QRect(QPoint(sMajor + base, lowMinor), QPoint(sMajor + base + n - 1, highMinor)));
        } else {
            // Each step a row of its own: its span is the step's pixels, not the block's.
            dc.addTouchedBox(
                QRect(QPoint(lowMinor, sMajor + base), QPoint(highMinor, sMajor + base + n - 1)));
            if (rowLo)
                widenRows(rowLo + sMajor + base, rowHi + sMajor + base, offsets, sMinor + minOff,
                          sMinor + maxOff, n);
        }
        uint32_t* const blockStart = start + base * majorStep;
        const StepShape shape{lo, hi, dc.rowPixels()};
        if (xMajor)
            drawBlock<true>(width, blockStart, shape, offsets, fracs, n, put);
        else
            drawBlock<false>(width, blockStart, shape, offsets, fracs, n, put);
    }
    return true;
}

// Writes the pixels as they come.
struct Blender {
    explicit Blender(ColorBytes color) : line(color), solidPixel(Surface::pack(color)) {}
    void shares(const float*) const {}
    void edges(uint32_t* a, uint32_t* b, int, float w) const {
        *a = blendPixel(line, *a, w);
        *b = blendPixel(line, *b, 1.0f - w); // after a: they are one pixel for width 0
    }
    void solid(uint32_t* p) const { *p = solidPixel; }
    LineColor line;
    uint32_t solidPixel;
};

#if defined(PIXELBLEND_AVX2)
struct BlenderAvx2 {
    __attribute__((target("avx2"))) explicit BlenderAvx2(ColorBytes color)
        : line(color), solidPixel(Surface::pack(color)) {}
    // The block's weights as doubles, and the line's shares, all at once.
    __attribute__((target("avx2"))) void shares(const float* fracs) {
        for (int k = 0; k < Block; ++k) {
            weight[0][k] = fracs[k];
            weight[1][k] = 1.0f - fracs[k];
            share[0][k] = 1.0 - weight[0][k];
            share[1][k] = 1.0 - weight[1][k];
        }
    }
    __attribute__((target("avx2"))) void edges(uint32_t* a, uint32_t* b, int k, float) const {
        *a = PixelBlend::blendPixelAvx2(line, *a, weight[0][k], share[0][k]);
        *b = PixelBlend::blendPixelAvx2(line, *b, weight[1][k], share[1][k]);
    }
    void solid(uint32_t* p) const { *p = solidPixel; }
    PixelBlend::LineColor4 line;
    uint32_t solidPixel;
    alignas(32) double weight[2][Block], share[2][Block];
};

// Flattened, so that the whole drawing loop is compiled for AVX2 with the blends inlined.
__attribute__((target("avx2"), flatten)) bool insideLineAvx2(Surface& dc, QPoint p1, QPoint p2,
                                                             int16_t width, ColorBytes color) {
    BlenderAvx2 blender(color);
    return insideLine(dc, p1, p2, width, blender);
}
#endif

// Lists the pixels instead, as offsets from the surface's first pixel.
struct Lister {
    void shares(const float*) const {}
    void edges(uint32_t* a, uint32_t* b, int, float w) {
        out.push_back({uint32_t(a - origin), w});
        out.push_back({uint32_t(b - origin), 1.0f - w});
    }
    void solid(uint32_t* p) { out.push_back({uint32_t(p - origin), SolidWrite}); }
    const uint32_t* origin;
    std::vector<PixelWrite>& out;
};

} // namespace

bool ListWuLine(Surface& dc, QPoint p1, QPoint p2, int16_t width, std::vector<PixelWrite>& out) {
    if (p1 == p2)
        return true;
    if (dc.width() <= 0 || dc.height() <= 0)
        return false;
    const size_t had = out.size();
    Lister lister{dc.pixelPointer(0, 0), out};
    if (insideLine(dc, p1, p2, width, lister))
        return true;
    out.resize(had);
    return false;
}

void WuLine(Surface& dc, QPoint p1, QPoint p2, ColorBytes color, int16_t width) {
    if (p1 == p2)
        return;
#if defined(PIXELBLEND_AVX2)
    if (PixelBlend::hasAvx2()) {
        if (insideLineAvx2(dc, p1, p2, width, color))
            return;
    } else
#endif
    {
        Blender blender(color);
        if (insideLine(dc, p1, p2, width, blender))
            return;
    }

    const LineAxes axes = axesOf(p1, p2, width);
    const int lo = axes.lo, hi = axes.hi, sMajor = axes.sMajor, sMinor = axes.sMinor;
    const int D = axes.D, E = axes.E;
    const bool xMajor = axes.xMajor;

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
    const HandTrig::CosSin a = HandTrig::Of(angle);
    const double ca = a.cos;
    const double sa = a.sin;
    HandPoints h;
    h.tip = roundPoint(cx + ca * lx, cy + sa * ly);
    if (width <= 3)
        return h;

    const float hn = -static_cast<float>(width) / 2;
    const float hp = static_cast<float>(width) / 2;
    const float bn = static_cast<float>(hn + 0.4);
    const float bp = static_cast<float>(hp - 0.4);
    const float q = static_cast<float>(Pi / 2 + angle);
    const HandTrig::CosSin b = HandTrig::Of(q);
    const double cq = b.cos;
    const double sq = b.sin;
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
    DrawHandPoints(dc, centre, HandOutline(centre, angle, lx, ly, width), color, width);
}

void DrawHandPoints(Surface& dc, QPoint centre, const HandPoints& h, ColorBytes color,
                    int16_t width) {
    if (width <= 3) {
        WuLine(dc, centre, h.tip, color, width);
        return;
    }
    dc.Polygon(h.body, 3, color);
    WuLine(dc, h.tip, h.c1, color, 3);
    WuLine(dc, h.tip, h.c2, color, 3);
}

} // namespace Vorel_WuLines
