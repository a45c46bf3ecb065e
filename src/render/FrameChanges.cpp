#include "render/FrameChanges.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The first of n pixels where a and b differ (n: none): four pixels at a time where SSE2 is
// there, else two.
int firstDifference(const quint32* a, const quint32* b, int n) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const unsigned same = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi32(x, y)));
        if (same != 0xffffu)
            return i + std::countr_one(same) / 4;
    }
#endif
    for (; i + 2 <= n; i += 2) {
        uint64_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        if (x != y)
            return a[i] != b[i] ? i : i + 1;
    }
    return i < n && a[i] != b[i] ? i : n;
}

// The last of n pixels where a and b differ (-1: none), the same way from the end.
int lastDifference(const quint32* a, const quint32* b, int n) {
    int i = n;
#if defined(__SSE2__)
    for (; i >= 4; i -= 4) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i - 4));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i - 4));
        const unsigned same = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi32(x, y)));
        if (same != 0xffffu)
            return i - 1 - std::countl_one(same << 16) / 4;
    }
#endif
    for (; i >= 2; i -= 2) {
        uint64_t x, y;
        std::memcpy(&x, a + i - 2, sizeof x);
        std::memcpy(&y, b + i - 2, sizeof y);
        if (x != y)
            return a[i - 1] != b[i - 1] ? i - 1 : i - 2;
    }
    return i == 1 && a[0] != b[0] ? 0 : -1;
}

bool isEmpty(const RowSpans& s) {
    return s.first == s.end;
}

// n pixels from `from` to `to` (apart): the short runs of a hand's rows go without a library
// call, four pixels at a time where SSE2 is there.
inline void copyPixels(quint32* to, const quint32* from, int n) {
#if defined(__SSE2__)
    if (n >= 4) {
        int i = 0;
        for (; i + 4 < n; i += 4)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n - 4),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + n - 4)));
        return;
    }
#endif
    for (int i = 0; i < n; ++i)
        to[i] = from[i];
}

} // namespace

void CopySpans(const RowSpans& spans, const QImage& from, QImage& to) {
    uchar* const toBits = to.bits();
    const uchar* const fromBits = from.constBits();
    const qsizetype toStride = to.bytesPerLine(), fromStride = from.bytesPerLine();
    for (int y = spans.first; y < spans.end; ++y) {
        const int lo = spans.lo[size_t(y)], hi = spans.hi[size_t(y)];
        if (lo <= hi)
            std::memcpy(toBits + y * toStride + lo * 4, fromBits + y * fromStride + lo * 4,
                        size_t(hi - lo + 1) * 4);
    }
}

void SpanOverlay::take(const QImage& from, const RowSpans& spans) {
    size_t count = 0;
    for (int y = spans.first; y < spans.end; ++y)
        if (spans.lo[size_t(y)] <= spans.hi[size_t(y)])
            count += size_t(spans.hi[size_t(y)] - spans.lo[size_t(y)] + 1);
    rows_ = spans;
    pixels_.resize(count);
    quint32* out = pixels_.data();
    const uchar* const bits = from.constBits();
    const qsizetype stride = from.bytesPerLine();
    for (int y = rows_.first; y < rows_.end; ++y) {
        const int lo = rows_.lo[size_t(y)], hi = rows_.hi[size_t(y)];
        if (lo > hi)
            continue;
        copyPixels(out, reinterpret_cast<const quint32*>(bits + y * stride) + lo, hi - lo + 1);
        out += hi - lo + 1;
    }
}

void SpanOverlay::putOn(QImage& to) const {
    uchar* const bits = to.bits();
    const qsizetype stride = to.bytesPerLine();
    const quint32* in = pixels_.data();
    for (int y = rows_.first; y < rows_.end; ++y) {
        const int lo = rows_.lo[size_t(y)], hi = rows_.hi[size_t(y)];
        if (lo > hi)
            continue;
        copyPixels(reinterpret_cast<quint32*>(bits + y * stride) + lo, in, hi - lo + 1);
        in += hi - lo + 1;
    }
}

void FrameChanges::begin(int rows) {
    for (int set = 0; set < 2; ++set) {
        sets_[set].clear(rows);
        at_[set].resize(size_t(rows));
    }
    pixels_.clear();
}

void FrameChanges::putBack(QImage& backing, const QImage& staticLayer) {
    const uchar* const bits = backing.constBits();
    const qsizetype stride = backing.bytesPerLine();
    for (int set = 0; set < 2; ++set) {
        const RowSpans& s = sets_[set];
        for (int y = s.first; y < s.end; ++y) {
            const int lo = s.lo[size_t(y)], hi = s.hi[size_t(y)];
            if (lo > hi)
                continue;
            const auto* row = reinterpret_cast<const quint32*>(bits + y * stride);
            at_[set][size_t(y)] = int(pixels_.size());
            pixels_.insert(pixels_.end(), row + lo, row + hi + 1);
        }
    }
    for (const RowSpans& s : sets_)
        CopySpans(s, staticLayer, backing);
}

void FrameChanges::find(const QImage& backing, const QImage& staticLayer, const RowSpans& second,
                        RowSpans& changed) const {
    changed.clear(backing.height());
    const RowSpans* lists[3] = {&sets_[SecondHand], &sets_[StaticHands], &second};
    int first = INT_MAX, end = INT_MIN;
    for (const RowSpans* l : lists)
        if (!isEmpty(*l)) {
            first = std::min(first, l->first);
            end = std::max(end, l->end);
        }
    const uchar* const nowBits = backing.constBits();
    const uchar* const faceBits = staticLayer.constBits();
    const qsizetype nowStride = backing.bytesPerLine(), faceStride = staticLayer.bytesPerLine();

    // A row's pixels to look at, in parts that do not overlap, each with what the previous
    // frame showed there: the kept pixels of the first set that holds it, else the face.
    struct Part {
        int from, to;
        const quint32* was; // at `from`
    };
    Part parts[8];
    int lo[3], hi[3];
    for (int y = first; y < end; ++y) {
        for (int k = 0; k < 3; ++k) {
            const bool in = y >= lists[k]->first && y < lists[k]->end;
            lo[k] = in ? lists[k]->lo[size_t(y)] : INT_MAX;
            hi[k] = in ? lists[k]->hi[size_t(y)] : INT_MIN;
        }
        const auto* now = reinterpret_cast<const quint32*>(nowBits + y * nowStride);
        const auto* face = reinterpret_cast<const quint32*>(faceBits + y * faceStride);
        int n = 0;
        // from..to less the spans before `k`, seen as `was` (x = from at was[0]).
        auto uncovered = [&](auto&& self, int from, int to, int k, int source,
                             const quint32* was) -> void {
            if (from > to)
                return;
            if (k == source) {
                parts[n++] = {from, to, was};
                return;
            }
            if (lo[k] > to || hi[k] < from) {
                self(self, from, to, k + 1, source, was);
                return;
            }
            self(self, from, lo[k] - 1, k + 1, source, was);
            if (hi[k] < to)
                self(self, hi[k] + 1, to, k + 1, source, was + (hi[k] + 1 - from));
        };
        for (int set = 0; set < 2; ++set)
            if (lo[set] <= hi[set])
                uncovered(uncovered, lo[set], hi[set], 0, set,
                          pixels_.data() + at_[set][size_t(y)]);
        if (lo[2] <= hi[2])
            uncovered(uncovered, lo[2], hi[2], 0, 2, face + lo[2]);
        if (n == 0)
            continue;
        for (int k = 1; k < n; ++k) // by position; a handful at most
            for (int j = k; j > 0 && parts[j].from < parts[j - 1].from; --j)
                std::swap(parts[j], parts[j - 1]);
        int left = -1, right = -1;
        for (int k = 0; k < n && left < 0; ++k) {
            const int count = parts[k].to - parts[k].from + 1;
            const int at = firstDifference(now + parts[k].from, parts[k].was, count);
            if (at < count)
                left = parts[k].from + at;
        }
        if (left < 0)
            continue;
        for (int k = n - 1; k >= 0 && right < 0; --k) {
            const int count = parts[k].to - parts[k].from + 1;
            const int at = lastDifference(now + parts[k].from, parts[k].was, count);
            if (at >= 0)
                right = parts[k].from + at;
        }
        changed.add(y, left, right);
    }
}
