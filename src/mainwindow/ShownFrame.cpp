#include "mainwindow/ShownFrame.h"

#include "render/RowBands.h"

#include <QVarLengthArray>
#include <algorithm>
#include <climits>
#include <cstring>

QRegion ShownFrame::Take(const QImage& frame, const QRegion& candidates) {
    if (frame.isNull())
        return {};
    if (shown_.size() != frame.size() || shown_.format() != frame.format() || frame.depth() != 32) {
        shown_ = frame.copy();
        return QRegion(frame.rect());
    }
    // Row by row, the span of differing pixels within the candidate rectangles.
    const int h = frame.height();
    QVarLengthArray<int, 256> lo(h, INT_MAX), hi(h, INT_MIN);
    for (const QRect& r : candidates) {
        const QRect c = r & frame.rect();
        for (int y = c.top(); y <= c.bottom(); ++y) {
            const auto* now = reinterpret_cast<const quint32*>(frame.constScanLine(y));
            auto* was = reinterpret_cast<quint32*>(shown_.scanLine(y));
            int x = c.left();
            while (x <= c.right() && now[x] == was[x])
                ++x;
            if (x > c.right())
                continue;
            int last = c.right();
            while (now[last] == was[last])
                --last;
            std::memcpy(was + x, now + x, size_t(last - x + 1) * 4);
            lo[y] = std::min(lo[y], x);
            hi[y] = std::max(hi[y], last);
        }
    }
    QVarLengthArray<QRect, 64> rects;
    AddRowBands(lo.constData(), hi.constData(), 0, h, BandRows, rects);
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

void ShownFrame::Forget() {
    shown_ = QImage();
}
