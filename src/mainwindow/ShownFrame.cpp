#include "mainwindow/ShownFrame.h"

#include "render/RowBands.h"

#include <QVarLengthArray>
#include <algorithm>
#include <climits>
#include <cstring>

QRegion ShownFrame::Take(const QImage& frame, const RowSpans& candidates) {
    if (frame.isNull())
        return {};
    if (shown_.size() != frame.size() || shown_.format() != frame.format() || frame.depth() != 32) {
        shown_ = frame.copy();
        return QRegion(frame.rect());
    }
    // Row by row, the span of differing pixels within the candidate span.
    const int h = frame.height(), w = frame.width();
    QVarLengthArray<int, 256> lo(h, INT_MAX), hi(h, INT_MIN);
    const int first = std::max(candidates.first, 0);
    const int end = std::min(candidates.end, std::min(h, int(candidates.lo.size())));
    for (int y = first; y < end; ++y) {
        int x = std::max(candidates.lo[size_t(y)], 0);
        int last = std::min(candidates.hi[size_t(y)], w - 1);
        if (x > last)
            continue;
        const auto* now = reinterpret_cast<const quint32*>(frame.constScanLine(y));
        auto* was = reinterpret_cast<quint32*>(shown_.scanLine(y));
        while (x <= last && now[x] == was[x])
            ++x;
        if (x > last)
            continue;
        while (now[last] == was[last])
            --last;
        std::memcpy(was + x, now + x, size_t(last - x + 1) * 4);
        lo[y] = x;
        hi[y] = last;
    }
    QVarLengthArray<QRect, 64> rects;
    AddRowBands(lo.constData(), hi.constData(), first, end, BandRows, rects);
    QRegion region;
    region.setRects(rects.constData(), int(rects.size()));
    return region;
}

void ShownFrame::Forget() {
    shown_ = QImage();
}
