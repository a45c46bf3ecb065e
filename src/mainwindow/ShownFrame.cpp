#include "mainwindow/ShownFrame.h"

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
    for (int top = 0; top < h; top += BandRows) {
        int l = INT_MAX, r = INT_MIN, first = -1, last = -1;
        for (int y = top; y < std::min(top + BandRows, h); ++y) {
            if (lo[y] > hi[y])
                continue;
            l = std::min(l, lo[y]);
            r = std::max(r, hi[y]);
            if (first < 0)
                first = y;
            last = y;
        }
        if (first >= 0)
            rects.append(QRect(QPoint(l, first), QPoint(r, last)));
    }
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

void ShownFrame::Forget() {
    shown_ = QImage();
}
