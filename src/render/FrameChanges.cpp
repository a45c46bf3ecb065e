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

// SpanOverlay::take's rows shorter than this are copied whole.
constexpr int ShortRow = 16;

inline void copyShortRow(quint32* to, const quint32* from) {
#if defined(__SSE2__)
    for (int i = 0; i < ShortRow; i += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
#else
    std::memcpy(to, from, ShortRow * sizeof(quint32));
#endif
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

namespace {

// The parts of from..to, in order, that no interval 0..stop-1 (at most three) of lo/hi
// covers, to emit(from, to).
template <typename Emit>
[[gnu::always_inline]] inline void uncovered(int from, int to, const int* lo, const int* hi,
                                             int stop, Emit& emit) {
    if (from > to)
        return;
    int coverLo[3], coverHi[3], m = 0; // those that reach into from..to, by where they start
    for (int k = 0; k < stop; ++k)
        if (lo[k] <= to && hi[k] >= from) {
            int j = m++;
            for (; j > 0 && coverLo[j - 1] > lo[k]; --j) {
                coverLo[j] = coverLo[j - 1];
                coverHi[j] = coverHi[j - 1];
            }
            coverLo[j] = lo[k];
            coverHi[j] = hi[k];
        }
    for (int j = 0; j < m; ++j) {
        if (coverLo[j] > from)
            emit(from, coverLo[j] - 1);
        from = std::max(from, coverHi[j] + 1);
    }
    if (from <= to)
        emit(from, to);
}

size_t bytesOf(const RowSpans& s) {
    return (s.lo.capacity() + s.hi.capacity()) * sizeof(int);
}

} // namespace

void SpanOverlay::take(const QImage& from, const RowSpans& spans) {
    // Only the rows that hold any are copied: the others are empty in both.
    const int rows = int(spans.lo.size());
    rows_.clear(rows);
    rows_.first = spans.first;
    rows_.end = spans.end;
    at_.resize(size_t(rows));
    int count = 0;
    for (int y = spans.first; y < spans.end; ++y) {
        const int lo = spans.lo[size_t(y)], hi = spans.hi[size_t(y)];
        rows_.lo[size_t(y)] = lo;
        rows_.hi[size_t(y)] = hi;
        at_[size_t(y)] = count;
        count += lo <= hi ? hi - lo + 1 : 0;
    }
    // Room past the last row for a whole short copy (see below); grown only, as the hands'
    // rows come and go every frame.
    if (pixels_.size() < size_t(count) + ShortRow)
        pixels_.resize(size_t(count) + ShortRow);
    const uchar* const bits = from.constBits();
    const qsizetype stride = from.bytesPerLine();
    // Where a short copy may start and still read inside the picture.
    const qsizetype lastShort = from.sizeInBytes() - qsizetype(ShortRow) * 4;
    for (int y = rows_.first; y < rows_.end; ++y) {
        const int lo = rows_.lo[size_t(y)], hi = rows_.hi[size_t(y)];
        if (lo > hi)
            continue;
        const qsizetype at = y * stride + lo * 4;
        quint32* const to = pixels_.data() + at_[size_t(y)];
        const auto* const in = reinterpret_cast<const quint32*>(bits + at);
        // A hand's rows are mostly short and of every length: those are copied ShortRow
        // pixels long, with no branch on the length; what lies past the span lands where the
        // next row's pixels go, or in the room past the last row.
        if (hi - lo < ShortRow && at <= lastShort)
            copyShortRow(to, in);
        else
            copyPixels(to, in, hi - lo + 1);
    }
}

void SpanOverlay::take(const LayeredFace& from, const RowSpans& spans) {
    take(*from.face, spans);
    for (int i = 0; i < from.count; ++i) {
        const Rows o = from.overlays[i]->rows();
        const int first = std::max(o.first, rows_.first), end = std::min(o.end, rows_.end);
        for (int y = first; y < end; ++y) {
            const int lo = rows_.lo[size_t(y)];
            const int a = std::max(lo, o.lo[y]), b = std::min(rows_.hi[size_t(y)], o.hi[y]);
            if (a <= b)
                copyPixels(pixels_.data() + at_[size_t(y)] + (a - lo),
                           o.pixels + o.at[y] + (a - o.lo[y]), b - a + 1);
        }
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

void SpanOverlay::putOn(QImage& to, const RowSpans& within) const {
    uchar* const bits = to.bits();
    const qsizetype stride = to.bytesPerLine();
    const int first = std::max(rows_.first, within.first), end = std::min(rows_.end, within.end);
    for (int y = first; y < end; ++y) {
        const int lo = rows_.lo[size_t(y)];
        const int from = std::max(lo, within.lo[size_t(y)]);
        const int to = std::min(rows_.hi[size_t(y)], within.hi[size_t(y)]);
        if (from <= to)
            copyPixels(reinterpret_cast<quint32*>(bits + y * stride) + from,
                       pixels_.data() + at_[size_t(y)] + (from - lo), to - from + 1);
    }
}

void LayeredFace::copySpans(const RowSpans& spans, QImage& to) const {
    CopySpans(spans, *face, to);
    for (int i = 0; i < count; ++i)
        overlays[i]->putOn(to, spans);
}

void FrameChanges::begin(int rows) {
    for (int set = 0; set < 3; ++set)
        sets_[set].clear(rows);
    for (int set = 0; set < 2; ++set)
        at_[set].resize(size_t(rows));
    pixels_.clear();
}

void FrameChanges::putBack(QImage& backing, const LayeredFace& base,
                           const SpanOverlay* beneathSecond) {
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
    if (beneathSecond)
        beneathSecond->putOn(backing);
    else
        base.copySpans(sets_[SecondHand], backing);
    base.copySpans(sets_[StaticHands], backing);
}

void FrameChanges::find(const QImage& backing, const LayeredFace& base, const RowSpans& second,
                        const SpanOverlay& beneathSecond, RowSpans& changed) const {
    changed.clear(backing.height());
    // What to look at: the two sets put back (their previous pixels kept), the hands drawn
    // anew and the new second hand. Elsewhere the previous frame showed the base: put
    // together from the face and the hands' rows where hands were drawn anew, the same as
    // what lay beneath the new second hand outside those.
    const RowSpans* lists[4] = {&sets_[SecondHand], &sets_[StaticHands], &sets_[DrawnHands],
                                &second};
    int first = INT_MAX, end = INT_MIN;
    for (const RowSpans* l : lists)
        if (!isEmpty(*l)) {
            first = std::min(first, l->first);
            end = std::max(end, l->end);
        }
    const uchar* const nowBits = backing.constBits();
    const uchar* const faceBits = base.face->constBits();
    const qsizetype nowStride = backing.bytesPerLine(), faceStride = base.face->bytesPerLine();
    const int width = backing.width();

    // A row's pixels to look at, in parts that do not overlap, each with what the previous
    // frame showed there: the kept pixels of the first set that holds it, else the base.
    struct Part {
        int from, to;
        const quint32* was; // at `from`
    };
    Part parts[16]; // each list less those before it: at most 1 + 2 + 3 + 4
    int lo[4], hi[4];
    const int *listLo[4], *listHi[4];
    int listFirst[4], listEnd[4];
    for (int k = 0; k < 4; ++k) {
        listLo[k] = lists[k]->lo.data();
        listHi[k] = lists[k]->hi.data();
        listFirst[k] = lists[k]->first;
        listEnd[k] = lists[k]->end;
    }
    // The base's overlays in the row: their spans, and their pixels from layerLo on.
    int layerLo[2], layerHi[2];
    const quint32* layerAt[2];
    const int overlays = base.count;
    SpanOverlay::Rows overlay[2];
    for (int l = 0; l < overlays; ++l)
        overlay[l] = base.overlays[l]->rows();
    row_.resize(size_t(width));
    const SpanOverlay::Rows beneath = beneathSecond.rows();
    for (int y = first; y < end; ++y) {
        for (int k = 0; k < 4; ++k) {
            const bool in = y >= listFirst[k] && y < listEnd[k];
            lo[k] = in ? listLo[k][y] : INT_MAX;
            hi[k] = in ? listHi[k][y] : INT_MIN;
        }
        const auto* now = reinterpret_cast<const quint32*>(nowBits + y * nowStride);
        int n = 0;
        for (int set = 0; set < 2; ++set) {
            const quint32* const kept = pixels_.data() + at_[set][size_t(y)];
            auto emit = [&, set, kept](int from, int to) {
                parts[n++] = {from, to, kept + (from - lo[set])};
            };
            uncovered(lo[set], hi[set], lo, hi, set, emit);
        }
        if (lo[3] <= hi[3]) {
            const quint32* const under = beneath.pixels + beneath.at[y];
            auto emit = [&](int from, int to) { parts[n++] = {from, to, under + (from - lo[3])}; };
            uncovered(lo[3], hi[3], lo, hi, 3, emit);
        }
        if (lo[2] <= hi[2]) {
            for (int l = 0; l < overlays; ++l) {
                const SpanOverlay::Rows& o = overlay[l];
                const bool in = y >= o.first && y < o.end;
                layerLo[l] = in ? o.lo[y] : INT_MAX;
                layerHi[l] = in ? o.hi[y] : INT_MIN;
                layerAt[l] = in ? o.pixels + o.at[y] : nullptr;
            }
            const quint32* const face = reinterpret_cast<const quint32*>(faceBits + y * faceStride);
            // Mostly the face alone.
            auto fromBase = [&](int from, int to) {
                bool under = false;
                for (int l = 0; l < overlays; ++l)
                    under = under || (layerLo[l] <= to && layerHi[l] >= from);
                if (!under) {
                    parts[n++] = {from, to, face + from};
                    return;
                }
                // Else the base's pixels put together for the part, in a row kept for that.
                quint32* const was = row_.data();
                std::memcpy(was + from, face + from, size_t(to - from + 1) * 4);
                for (int l = 0; l < overlays; ++l) {
                    const int a = std::max(from, layerLo[l]), b = std::min(to, layerHi[l]);
                    if (a <= b)
                        std::memcpy(was + a, layerAt[l] + (a - layerLo[l]), size_t(b - a + 1) * 4);
                }
                parts[n++] = {from, to, was + from};
            };
            uncovered(lo[2], hi[2], lo, hi, 2, fromBase);
        }
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

size_t SpanOverlay::heldBytes() const {
    return bytesOf(rows_) + (at_.capacity() + pixels_.capacity()) * sizeof(quint32);
}

size_t FrameChanges::heldBytes() const {
    size_t bytes = pixels_.capacity() * sizeof(quint32);
    for (const RowSpans& set : sets_)
        bytes += bytesOf(set);
    for (const std::vector<int>& at : at_)
        bytes += at.capacity() * sizeof(int);
    return bytes;
}
