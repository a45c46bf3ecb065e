#include "render/Surface.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

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
    for (;;) {
        setPixelBytes(x, y, color);
        if (x == b.x() && y == b.y())
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
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
