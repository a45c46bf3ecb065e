#pragma once

#include <QRect>

// Covers per-row spans of pixels with rectangles, one per band of `bandRows` rows: few enough
// for a repaint or a request to the display, and tight around slanted lines. Row y's span is
// lo[y]..hi[y] (lo > hi: nothing in that row); rows first..end-1 are looked at.
template <typename Out>
void AddRowBands(const int* lo, const int* hi, int first, int end, int bandRows, Out& out) {
    for (int top = first; top < end; top += bandRows) {
        int left = lo[top], right = hi[top], from = -1, to = -1;
        for (int y = top; y < end && y < top + bandRows; ++y) {
            if (lo[y] > hi[y])
                continue;
            if (from < 0 || lo[y] < left)
                left = lo[y];
            if (from < 0 || hi[y] > right)
                right = hi[y];
            if (from < 0)
                from = y;
            to = y;
        }
        if (from >= 0)
            out.push_back(QRect(QPoint(left, from), QPoint(right, to)));
    }
}
