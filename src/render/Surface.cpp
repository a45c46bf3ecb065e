#include "render/Surface.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>
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

// Walks an edge from its upper end p to its lower end q (p.y < q.y) one row at a time,
// keeping the crossing x = p.x + (y - p.y) * dx / dy as a whole part and a remainder.
class EdgeWalker {
public:
    EdgeWalker(QPoint p, QPoint q, int y) : den_(q.y() - p.y()) {
        const int64_t dx = q.x() - p.x();
        stepWhole_ = floorDiv(dx, den_);
        stepRest_ = dx - stepWhole_ * den_;
        const int64_t num = dx * (y - p.y());
        whole_ = p.x() + floorDiv(num, den_);
        rest_ = num - floorDiv(num, den_) * den_;
    }
    void next() { // without a branch: the carry follows the slope, which no predictor does
        whole_ += stepWhole_;
        rest_ += stepRest_;
        const int64_t carry = rest_ >= den_;
        rest_ -= carry * den_;
        whole_ += carry;
    }
    int64_t floorX() const { return whole_; }
    int64_t ceilX() const { return whole_ + (rest_ > 0 ? 1 : 0); }
    // Compares exact crossings of two walkers.
    bool leftOf(const EdgeWalker& o) const {
        if (whole_ != o.whole_)
            return whole_ < o.whole_;
        return rest_ * o.den_ < o.rest_ * den_;
    }

private:
    int64_t den_;
    int64_t stepWhole_ = 0, stepRest_ = 0;
    int64_t whole_ = 0, rest_ = 0;
};

// Pixels p[0..n-1] set to `pixel`, four at a time where SSE2 is there (the last four
// overlapping the ones before).
inline void fillPixels(uint32_t* p, int64_t n, uint32_t pixel) {
#if defined(__SSE2__)
    if (n >= 4) {
        const __m128i v = _mm_set1_epi32(static_cast<int>(pixel));
        for (int64_t i = 0; i + 4 < n; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), v);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 4), v);
        return;
    }
#endif
    for (int64_t i = 0; i < n; ++i)
        p[i] = pixel;
}

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

// The same interior rule as the general case, for the one shape the hands use: with the
// corners sorted by y, the long edge a-c crosses every row from a.y to c.y - 1 and the two
// short ones share those rows between them.
void Surface::fillTriangle(const QPoint* points, uint32_t pixel) {
    QPoint a = points[0], b = points[1], c = points[2];
    if (b.y() < a.y())
        std::swap(a, b);
    if (c.y() < b.y())
        std::swap(b, c);
    if (b.y() < a.y())
        std::swap(a, b);
    if (a.y() == c.y())
        return; // flat: its outline is all there is
    const int first = std::max(a.y(), 0);
    const int last = std::min(c.y() - 1, height_ - 1);
    if (first > last)
        return;
    // The two short edges lie on the same side of the long one all the way down; where they
    // meet it (at a corner) the order does not matter.
    const int64_t cross =
        int64_t(c.x() - a.x()) * (b.y() - a.y()) - int64_t(b.x() - a.x()) * (c.y() - a.y());
    const bool longOnLeft = cross < 0;
    EdgeWalker longEdge(a, c, first);
    std::optional<EdgeWalker> shortEdge;
    bool upperHalf = first < b.y();
    shortEdge.emplace(upperHalf ? EdgeWalker(a, b, first) : EdgeWalker(b, c, first));
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (int y = first; y <= last; ++y) {
        if (upperHalf && y >= b.y()) {
            upperHalf = false;
            shortEdge.emplace(b, c, y);
        }
        const EdgeWalker& l = longOnLeft ? longEdge : *shortEdge;
        const EdgeWalker& r = longOnLeft ? *shortEdge : longEdge;
        const int64_t from = std::max<int64_t>(l.ceilX(), 0);
        const int64_t to = std::min<int64_t>(r.floorX(), width_ - 1);
        if (from <= to) {
            fillPixels(row(y) + from, to - from + 1, pixel);
            minX = std::min(minX, int(from));
            maxX = std::max(maxX, int(to));
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            if (rowLo_) {
                rowLo_[y] = std::min(rowLo_[y], int(from));
                rowHi_[y] = std::max(rowHi_[y], int(to));
            }
        }
        longEdge.next();
        shortEdge->next();
    }
    if (minX <= maxX) // the rows' spans are widened above; (maxX, maxY) need not be written
        widenBox(minX, minY, maxX, maxY);
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

    if (count == 3) {
        fillTriangle(points, pixel);
        for (int i = 0; i < count; ++i)
            outline(points[i], points[(i + 1) % count], color);
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
