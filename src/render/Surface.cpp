#include "render/Surface.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Exact floor and ceiling of num / den for den > 0.
int64_t floorDiv(int64_t num, int64_t den) {
    int64_t q = num / den;
    if ((num % den != 0) && (num < 0))
        --q;
    return q;
}

int64_t ceilDiv(int64_t num, int64_t den) {
    return -floorDiv(-num, den);
}

// Where an edge crosses a pixel row, kept as the exact fraction num / den (den > 0).
struct Crossing {
    int64_t num;
    int64_t den;
    double x() const { return static_cast<double>(num) / static_cast<double>(den); }
};

// Pixels p[0..n-1] (n >= 1) set to `pixel`. A hand's rows are short and of every length:
// up to sixteen are written by a few stores that overlap as the length needs, so that only
// the rough length, which changes seldom along a hand, is branched on.
inline void fillPixels(uint32_t* p, int64_t n, uint32_t pixel) {
    if (n < 4) {
        p[0] = pixel;
        p[n >> 1] = pixel;
        p[n - 1] = pixel;
        return;
    }
#if defined(__SSE2__)
    const __m128i v = _mm_set1_epi32(static_cast<int>(pixel));
    auto put4 = [v](uint32_t* at) { _mm_storeu_si128(reinterpret_cast<__m128i*>(at), v); };
    if (n <= 8) {
        put4(p);
        put4(p + n - 4);
    } else if (n <= 16) {
        put4(p);
        put4(p + 4);
        put4(p + n - 8);
        put4(p + n - 4);
    } else {
        for (int64_t i = 0; i + 4 < n; i += 4)
            put4(p + i);
        put4(p + n - 4);
    }
#else
    for (int64_t i = 0; i < n; ++i)
        p[i] = pixel;
#endif
}

// floor(n / den) for whole numbers 0 <= n < 2^22 and 0 < den < 2^12, by a multiplication
// and a shift instead of a division. With m = floor(2^40 / den) + 1, n·m / 2^40 exceeds
// n / den by less than n / 2^40 < 2^-18, while a quotient that is not whole lies at least
// 1 / den > 2^-12 below the next whole number: the floor comes out exact.
struct Quotients {
    explicit Quotients(int den) : m((uint64_t(1) << 40) / uint64_t(den) + 1) {}
    int of(int n) const { return static_cast<int>((uint64_t(n) * m) >> 40); }
    uint64_t m;
};

// Widens lo[k] and hi[k] (k = y - top) to the pixels Surface::outline() puts for a line from
// s to e. Bresenham's stepping there comes down to this, with X and Y the line's run and
// rise as lengths and i, j counted from s: along x (X >= Y), column i lies on row
// j = floor((2Yi + X) / 2X), so row j holds the columns from ceil((2Xj - X) / 2Y) to the
// next row's first less one; along y, row j holds the one column floor((2Xj + Y) / 2Y).
// With `first`, the rows are set to the line's pixels instead (the line must cross them all).
template <bool first = false> void widenByLine(QPoint s, QPoint e, int top, int* lo, int* hi) {
    const int X = std::abs(e.x() - s.x()), Y = std::abs(e.y() - s.y());
    const int sy = e.y() < s.y() ? -1 : 1;
    int* const rowLo = lo + (s.y() - top);
    int* const rowHi = hi + (s.y() - top);
    // Columns from..to counted from s, as pixel columns.
    const int x0 = s.x(), sx = e.x() < s.x() ? -1 : 1;
    auto widen = [&](int j, int from, int to) {
        const int a = sx > 0 ? x0 + from : x0 - to, b = sx > 0 ? x0 + to : x0 - from;
        if constexpr (first) {
            rowLo[sy * j] = a;
            rowHi[sy * j] = b;
        } else {
            rowLo[sy * j] = std::min(rowLo[sy * j], a);
            rowHi[sy * j] = std::max(rowHi[sy * j], b);
        }
    };
    if (Y == 0) {
        widen(0, 0, X);
    } else if (X >= Y) {
        // Row j + 1's first column, ceil((2X(j + 1) - X) / 2Y) as a floor, ends row j.
        const Quotients by(2 * Y);
        int from = 0;
        for (int j = 0; j < Y; ++j) {
            const int next = by.of(2 * X * (j + 1) - X + 2 * Y - 1);
            widen(j, from, next - 1);
            from = next;
        }
        widen(Y, from, X);
    } else {
        const Quotients by(2 * Y);
        for (int j = 0; j <= Y; ++j) {
            const int column = by.of(2 * X * j + Y);
            widen(j, column, column);
        }
    }
}

// The rows and columns a triangle may span for Surface::solidTriangle(): its rows' spans
// live on the stack, and its numbers stay within Quotients' bounds.
constexpr int MaxTriangleRows = 1024;

} // namespace

Surface::Surface(QImage& image) {
    const QImage::Format f = image.format();
    if (!image.isNull() && f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(QImage::Format_RGB32);
    if (!image.isNull()) {
        bits_ = image.bits();
        stride_ = image.bytesPerLine();
        width_ = image.width();
        height_ = image.height();
    }
    resetTouched();
}

int32_t Surface::GetPixel(int x, int y) const {
    if (!contains(x, y))
        return OutsideColor;
    const ColorBytes c = pixelBytes(x, y);
    return c.Red | (c.Green << 8) | (c.Blue << 16);
}

void Surface::SetPixelV(int x, int y, int32_t color) {
    setPixelBytes(x, y,
                  {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                   static_cast<uint8_t>(color)});
}

QRect Surface::touched() const {
    if (maxX_ < minX_)
        return {};
    return QRect(QPoint(minX_, minY_), QPoint(maxX_, maxY_));
}

void Surface::resetTouched() {
    minX_ = minY_ = INT_MAX;
    maxX_ = maxY_ = INT_MIN;
}

void Surface::fillSpan(int y, int x1, int x2, uint32_t pixel) {
    if (y < 0 || y >= height_)
        return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, width_ - 1);
    if (x1 > x2)
        return;
    std::fill(row(y) + x1, row(y) + x2 + 1, pixel);
    touch(x1, y);
    touch(x2, y);
}

// A one-pixel line that includes both ends: Bresenham's stepping along the major axis.
void Surface::outline(QPoint a, QPoint b, ColorBytes color) {
    int x = a.x();
    int y = a.y();
    const int dx = std::abs(b.x() - x);
    const int dy = -std::abs(b.y() - y);
    const int sx = x < b.x() ? 1 : -1;
    const int sy = y < b.y() ? 1 : -1;
    int err = dx + dy;
    if (!contains(a.x(), a.y()) || !contains(b.x(), b.y())) {
        for (;;) {
            setPixelBytes(x, y, color);
            if (x == b.x() && y == b.y())
                return;
            const int e2 = 2 * err;
            const int stepX = e2 >= dy, stepY = e2 <= dx;
            err += (stepX ? dy : 0) + (stepY ? dx : 0);
            x += stepX * sx;
            y += stepY * sy;
        }
    }
    const uint32_t pixel = pack(color);
    // Locals throughout: a pixel written might otherwise be the surface's own fields.
    uint32_t* p = row(y) + x;
    const qsizetype rowStep = sy * (stride_ / 4);
    int* const rowLo = rowLo_;
    int* const rowHi = rowHi_;
    const int endX = b.x(), endY = b.y();
    // The span of the row being drawn is kept here and written out when the line leaves
    // the row, not widened in memory pixel by pixel: each widening would wait for the one
    // before it.
    int rowY = y, rowFrom = x, rowTo = x;
    for (;;) {
        *p = pixel;
        if (x == endX && y == endY)
            break;
        // The steps along the minor axis come with the slope, which no branch predictor
        // follows: taken by arithmetic instead.
        const int e2 = 2 * err;
        const int stepX = e2 >= dy, stepY = e2 <= dx;
        err += (stepX ? dy : 0) + (stepY ? dx : 0);
        x += stepX * sx;
        y += stepY * sy;
        p += stepX * sx + (stepY ? rowStep : 0);
        if (stepY) {
            if (rowLo) {
                rowLo[rowY] = std::min(rowLo[rowY], rowFrom);
                rowHi[rowY] = std::max(rowHi[rowY], rowTo);
            }
            rowY = y;
            rowFrom = rowTo = x;
        } else {
            rowFrom = std::min(rowFrom, x);
            rowTo = std::max(rowTo, x);
        }
    }
    if (rowLo) {
        rowLo[rowY] = std::min(rowLo[rowY], rowFrom);
        rowHi[rowY] = std::max(rowHi[rowY], rowTo);
    }
    touch(a.x(), a.y());
    touch(b.x(), b.y());
}

// A triangle and its outline, for the one shape the hands use, when its corners lie inside
// the surface: the outline's pixels as outline() puts them, worked out row by row, and each
// row filled from its first to its last. That is the interior too, by the rule of the general
// case: an outline pixel lies within half a pixel of its edge, so the interior never reaches
// past the outline's pixels in a row, and any pixel between two of them is inside.
void Surface::solidTriangle(const QPoint* points, uint32_t pixel) {
    int ia = 0, ib = 1, ic = 2; // the corners by y
    if (points[ib].y() < points[ia].y())
        std::swap(ia, ib);
    if (points[ic].y() < points[ib].y())
        std::swap(ib, ic);
    if (points[ib].y() < points[ia].y())
        std::swap(ia, ib);
    const QPoint a = points[ia], b = points[ib], c = points[ic];
    const int top = a.y(), rows = c.y() - a.y() + 1;
    // Each row's first and last outline pixel. The arrays lie an odd number of ints apart, so
    // that a row's entries in the two are never a multiple of 4 KB apart, which processors may
    // take for a conflict between a store and a load.
    int store[2 * MaxTriangleRows + 1];
    int* const lo = store;
    int* const hi = lo + MaxTriangleRows + 1;
    // The long edge's outline crosses every row: it sets them, the others widen them. Each
    // edge runs the way the outline goes round, which decides its pixels where a line passes
    // halfway between two.
    const bool longForward = (ia + 1) % 3 == ic;
    widenByLine<true>(longForward ? a : c, longForward ? c : a, top, lo, hi);
    for (int i = 0; i < 3; ++i)
        if (!((i == ia && (i + 1) % 3 == ic) || (i == ic && (i + 1) % 3 == ia)))
            widenByLine(points[i], points[(i + 1) % 3], top, lo, hi);
    for (int k = 0; k < rows; ++k) {
        const int from = lo[k], to = hi[k];
        const int y = top + k;
        fillPixels(row(y) + from, to - from + 1, pixel);
        if (rowLo_) {
            rowLo_[y] = std::min(rowLo_[y], from);
            rowHi_[y] = std::max(rowHi_[y], to);
        }
    }
    // The outline runs through the corners, and everything lies between them.
    widenBox(std::min({a.x(), b.x(), c.x()}), a.y(), std::max({a.x(), b.x(), c.x()}), c.y());
}

void Surface::Polygon(const QPoint* points, int count, ColorBytes color) {
    if (count <= 0)
        return;
    const uint32_t pixel =
        0xff000000u | (uint32_t(color.Red) << 16) | (uint32_t(color.Green) << 8) | color.Blue;
    int top = points[0].y();
    int bottom = top;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].y());
        bottom = std::max(bottom, points[i].y());
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, height_ - 1);

    if (count == 3 && contains(points[0].x(), points[0].y()) &&
        contains(points[1].x(), points[1].y()) && contains(points[2].x(), points[2].y()) &&
        bottom - top < MaxTriangleRows &&
        std::max({points[0].x(), points[1].x(), points[2].x()}) -
                std::min({points[0].x(), points[1].x(), points[2].x()}) <
            MaxTriangleRows) {
        solidTriangle(points, pixel);
        return;
    }

    // Interior: each row's crossings of the edges, an edge owning its upper end but not its
    // lower one, so a corner on the row is counted once; spans between crossing pairs.
    std::vector<Crossing> crossings;
    for (int y = top; y <= bottom; ++y) {
        crossings.clear();
        for (int i = 0; i < count; ++i) {
            const QPoint p = points[i];
            const QPoint q = points[(i + 1) % count];
            if ((p.y() <= y && y < q.y()) || (q.y() <= y && y < p.y())) {
                int64_t den = q.y() - p.y();
                int64_t num = int64_t(p.x()) * den + int64_t(y - p.y()) * (q.x() - p.x());
                if (den < 0) {
                    den = -den;
                    num = -num;
                }
                crossings.push_back({num, den});
            }
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x() < b.x(); });
        for (size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const int64_t from = ceilDiv(crossings[k].num, crossings[k].den);
            const int64_t to = floorDiv(crossings[k + 1].num, crossings[k + 1].den);
            if (from <= to)
                fillSpan(y, static_cast<int>(std::max<int64_t>(from, INT_MIN / 2)),
                         static_cast<int>(std::min<int64_t>(to, INT_MAX / 2)), pixel);
        }
    }
    for (int i = 0; i < count; ++i)
        outline(points[i], points[(i + 1) % count], color);
}
