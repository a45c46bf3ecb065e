#include "render/SecondHandCache.h"

#include "render/PixelBlend.h"

#include <QImage>
#include <QRect>
#include <algorithm>
#include <cstring>

using Vorel_WuLines::PixelWrite;
using Vorel_WuLines::SolidWrite;

namespace {

constexpr double Pi = 3.14159; // the value the clock's geometry is written with

float secondAngle(int second) {
    return static_cast<float>((second - 15) / 30.0 * Pi);
}

// The second hand's two segments: the tail behind the centre, then the hand.
struct Segment {
    float lx, ly;
};
std::array<Segment, 2> segments(const SecondHandCache::Shape& shape) {
    return {{{static_cast<float>(double(shape.radiusX) / -4),
              static_cast<float>(double(shape.radiusY) / -4)},
             {static_cast<float>(1.1 * shape.radiusX), static_cast<float>(1.1 * shape.radiusY)}}};
}

// The listed writes blended onto the picture at origin, in their order.
void replay(uint32_t* origin, const std::vector<PixelWrite>& writes, ColorBytes color) {
    const PixelBlend::LineColor line(color);
    const uint32_t solid = Surface::pack(color);
    for (const PixelWrite& w : writes) {
        uint32_t* const p = origin + w.offset;
        *p = w.weight < 0 ? solid : PixelBlend::blendPixel(line, *p, w.weight);
    }
}

#if defined(PIXELBLEND_AVX2)
__attribute__((target("avx2"))) void
replayAvx2(uint32_t* origin, const std::vector<PixelWrite>& writes, ColorBytes color) {
    const PixelBlend::LineColor4 line(color);
    const uint32_t solid = Surface::pack(color);
    for (const PixelWrite& w : writes) {
        uint32_t* const p = origin + w.offset;
        *p = w.weight < 0 ? solid : PixelBlend::blendPixelAvx2(line, *p, w.weight);
    }
}
#endif

} // namespace

bool SecondHandCache::Shape::operator==(const Shape& o) const {
    return size == o.size && rowPixels == o.rowPixels && centre == o.centre &&
           radiusX == o.radiusX && radiusY == o.radiusY && width == o.width &&
           color.Red == o.color.Red && color.Green == o.color.Green && color.Blue == o.color.Blue;
}

void DrawSecondHand(Surface& dc, const SecondHandCache::Shape& shape, int second) {
    for (const Segment& s : segments(shape))
        Vorel_WuLines::DrawHand(dc, shape.centre, secondAngle(second), s.lx, s.ly, shape.color,
                                shape.width);
}

void SecondHandCache::clear() {
    for (Position& p : positions_)
        p = Position();
}

int SecondHandCache::listedPixels(int second) const {
    const Position& p = positions_[size_t(second)];
    return p.made && p.usable ? int(p.writes.size()) : -1;
}

// Lists the position on a blank picture of the shape's size: the lines through ListWuLine,
// the solid body of a wide hand by drawing it and collecting what it wrote.
void SecondHandCache::make(Position& position, int second) {
    position = Position();
    position.made = true;
    QImage scratch(shape_.size, QImage::Format_RGB32);
    if (scratch.isNull())
        return;
    // Zero bytes, which no drawn pixel has: they are opaque. (fill() would make these opaque
    // black in this format.)
    std::memset(scratch.bits(), 0, size_t(scratch.sizeInBytes()));
    Surface dc(scratch);
    if (dc.rowPixels() != shape_.rowPixels)
        return;
    RowSpans& rows = position.rows;
    rows.clear(shape_.size.height());
    dc.trackRows(rows.lo.data(), rows.hi.data());
    std::vector<PixelWrite>& writes = position.writes;
    QRect touched;
    bool usable = true;
    for (const Segment& s : segments(shape_)) {
        const Vorel_WuLines::HandPoints h = Vorel_WuLines::HandOutline(
            shape_.centre, secondAngle(second), s.lx, s.ly, shape_.width);
        if (shape_.width <= 3) {
            usable =
                usable && Vorel_WuLines::ListWuLine(dc, shape_.centre, h.tip, shape_.width, writes);
            continue;
        }
        Surface body(scratch);
        body.trackRows(rows.lo.data(), rows.hi.data());
        body.Polygon(h.body, 3, shape_.color);
        const QRect area = body.touched();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            uint32_t* row = dc.pixelPointer(0, y);
            for (int x = area.left(); x <= area.right(); ++x)
                if (row[x] != 0) {
                    writes.push_back({uint32_t(y * dc.rowPixels() + x), SolidWrite});
                    row[x] = 0;
                }
        }
        touched |= area;
        usable = usable && Vorel_WuLines::ListWuLine(dc, h.tip, h.c1, 3, writes) &&
                 Vorel_WuLines::ListWuLine(dc, h.tip, h.c2, 3, writes);
    }
    if (!usable)
        return;
    // A blend that keeps all of the line colour is the colour itself; one that keeps all of
    // the surface changes nothing.
    size_t kept = 0;
    for (const PixelWrite& w : writes) {
        if (w.weight == 1.0f)
            continue;
        writes[kept++] = w.weight == 0.0f ? PixelWrite{w.offset, SolidWrite} : w;
    }
    writes.resize(kept);
    writes.shrink_to_fit();
    for (const PixelWrite& w : writes)
        position.offsets.push_back(w.offset);
    std::sort(position.offsets.begin(), position.offsets.end());
    position.offsets.erase(std::unique(position.offsets.begin(), position.offsets.end()),
                           position.offsets.end());
    position.under.resize(position.offsets.size());
    position.result.resize(position.offsets.size());
    rows.setRows(touched | dc.touched());
    position.usable = true;
}

bool SecondHandCache::draw(Surface& dc, const Shape& shape, int second, RowSpans& rows) {
    if (second < 0 || second >= int(positions_.size()) || dc.width() != shape.size.width() ||
        dc.height() != shape.size.height() || dc.rowPixels() != shape.rowPixels ||
        shape.size.isEmpty())
        return false;
    if (!(shape == shape_)) {
        clear();
        shape_ = shape;
    }
    Position& position = positions_[size_t(second)];
    if (!position.made)
        make(position, second);
    if (!position.usable)
        return false;

    uint32_t* const origin = dc.pixelPointer(0, 0);
    const size_t count = position.offsets.size();
    const uint32_t* const offsets = position.offsets.data();
    bool same = position.drawnOnce;
    for (size_t i = 0; same && i < count; ++i)
        same = origin[offsets[i]] == position.under[i];
    if (same) {
        for (size_t i = 0; i < count; ++i)
            origin[offsets[i]] = position.result[i];
    } else {
        for (size_t i = 0; i < count; ++i)
            position.under[i] = origin[offsets[i]];
#if defined(PIXELBLEND_AVX2)
        if (PixelBlend::hasAvx2())
            replayAvx2(origin, position.writes, shape.color);
        else
#endif
            replay(origin, position.writes, shape.color);
        for (size_t i = 0; i < count; ++i)
            position.result[i] = origin[offsets[i]];
        position.drawnOnce = true;
    }
    const RowSpans& from = position.rows;
    for (int y = from.first; y < from.end; ++y) {
        rows.lo[size_t(y)] = from.lo[size_t(y)];
        rows.hi[size_t(y)] = from.hi[size_t(y)];
    }
    rows.first = from.first;
    rows.end = from.end;
    return true;
}
