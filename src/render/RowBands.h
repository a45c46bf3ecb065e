#pragma once

#include <QRect>
#include <algorithm>
#include <climits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The smallest rectangle that holds two non-empty ones, and the overlap of two rectangles
// (empty when they do not meet): QRect's | and & for these cases, worked out here. They run
// on every tick, and QRect's own are calls into a part of Qt that a tick touches for nothing
// else, which would keep that part of Qt in memory while the clock sleeps.
inline QRect BoundingRect(const QRect& a, const QRect& b) {
    return QRect(QPoint(std::min(a.left(), b.left()), std::min(a.top(), b.top())),
                 QPoint(std::max(a.right(), b.right()), std::max(a.bottom(), b.bottom())));
}

inline QRect Overlap(const QRect& a, const QRect& b) {
    const QRect r(QPoint(std::max(a.left(), b.left()), std::max(a.top(), b.top())),
                  QPoint(std::min(a.right(), b.right()), std::min(a.bottom(), b.bottom())));
    return r.isEmpty() ? QRect() : r;
}

// Whether `inner` lies wholly within `outer`; both non-empty.
inline bool Holds(const QRect& outer, const QRect& inner) {
    return inner.left() >= outer.left() && inner.top() >= outer.top() &&
           inner.right() <= outer.right() && inner.bottom() <= outer.bottom();
}

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

// p[0..n-1] set to v, four at a time where SSE2 is there: the compiler leaves std::fill of
// ints a store per int, and a frame resets a few hundred of them.
inline void FillInts(int* p, ptrdiff_t n, int v) {
    ptrdiff_t i = 0;
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(v);
    for (; i + 4 <= n; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), four);
#endif
    for (; i < n; ++i)
        p[i] = v;
}

// Per-row spans of pixels of a picture `rows` high: row y holds lo[y]..hi[y] (lo > hi: none).
// Rows first..end-1 are the only ones that may hold any.
struct RowSpans {
    std::vector<int> lo, hi;
    int first = 0, end = 0;

    // Every row empty.
    void clear(int rows) {
        if (int(lo.size()) != rows) {
            lo.assign(size_t(rows), INT_MAX);
            hi.assign(size_t(rows), INT_MIN);
        } else {
            FillInts(lo.data() + first, end - first, INT_MAX);
            FillInts(hi.data() + first, end - first, INT_MIN);
        }
        first = end = 0;
    }
    // Every pixel of every row.
    void fill(int rows, int width) {
        lo.resize(size_t(rows));
        hi.resize(size_t(rows));
        FillInts(lo.data(), rows, 0);
        FillInts(hi.data(), rows, width - 1);
        first = 0;
        end = rows;
    }
    void add(int y, int left, int right) {
        if (left > right || y < 0 || y >= int(lo.size()))
            return;
        if (first == end) {
            first = y;
            end = y + 1;
        } else {
            first = std::min(first, y);
            end = std::max(end, y + 1);
        }
        lo[size_t(y)] = std::min(lo[size_t(y)], left);
        hi[size_t(y)] = std::max(hi[size_t(y)], right);
    }
    void add(const RowSpans& other) {
        for (int y = other.first; y < other.end; ++y)
            add(y, other.lo[size_t(y)], other.hi[size_t(y)]);
    }
    // The rows that hold any are `written`'s, once lo and hi were widened directly (as a
    // drawing surface tracking its rows does).
    void setRows(const QRect& written) {
        first = written.isEmpty() ? 0 : written.top();
        end = written.isEmpty() ? 0 : written.bottom() + 1;
    }
};

// Joins neighbouring rectangles of in[0..n-1], taken in order, while the box around a group
// covers at most `slack` pixels more than its members do: fewer requests to a display, each
// of which costs about as much as `slack` pixels of its own. Appends the boxes to out.
template <typename Out> void MergeRects(const QRect* in, size_t n, qint64 slack, Out& out) {
    QRect box;
    qint64 covered = 0;
    auto area = [](const QRect& r) { return qint64(r.width()) * r.height(); };
    for (size_t i = 0; i < n; ++i) {
        const QRect& r = in[i];
        if (r.isEmpty())
            continue;
        if (!box.isEmpty()) {
            const QRect joined = BoundingRect(box, r);
            if (area(joined) <= covered + area(r) + slack) {
                box = joined;
                covered += area(r);
                continue;
            }
            out.push_back(box);
        }
        box = r;
        covered = area(r);
    }
    if (!box.isEmpty())
        out.push_back(box);
}
