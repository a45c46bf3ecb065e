#pragma once

#include "render/RowBands.h"

#include <QImage>
#include <vector>

// The pixels of `spans` from one picture into another of the same size.
void CopySpans(const RowSpans& spans, const QImage& from, QImage& to);

struct LayeredFace;

// Some pixels of a picture kept aside, in each row one span: the hour and minute hands' rows
// of the face with those hands, a few thousand pixels.
class SpanOverlay {
public:
    // `from`'s pixels in the spans; nothing else is kept.
    void take(const QImage& from, const RowSpans& spans);
    // The same from a face with hands on it (see LayeredFace).
    void take(const LayeredFace& from, const RowSpans& spans);
    // The kept pixels back into the same places of `to` (of the same size), all of them or
    // those inside `within`.
    void putOn(QImage& to) const;
    void putOn(QImage& to, const RowSpans& within) const;
    // What is kept, for a loop over rows: row y's span lo[y]..hi[y] (lo > hi: none) and its
    // pixels from pixels + at[y] on, in rows first..end-1 (no others hold any).
    struct Rows {
        const int *lo, *hi, *at;
        const quint32* pixels;
        int first, end;
    };
    Rows rows() const {
        return {rows_.lo.data(), rows_.hi.data(), at_.data(),
                pixels_.data(),  rows_.first,     rows_.end};
    }
    size_t heldBytes() const;

private:
    RowSpans rows_;
    std::vector<int> at_;         // row y's pixels start at pixels_[at_[y]]
    std::vector<quint32> pixels_; // row by row, each row's span in turn
};

// The face with some hands on it, as the face layer and the kept rows of those hands: each
// pixel is the last overlay's that holds it, else the face's.
struct LayeredFace {
    const QImage* face = nullptr;
    const SpanOverlay* overlays[2] = {};
    int count = 0;

    void add(const SpanOverlay& overlay) { overlays[count++] = &overlay; }
    // Its pixels in `spans` into `to`, a picture of the face's size.
    void copySpans(const RowSpans& spans, QImage& to) const;
};

// What a frame puts back over the previous one, and where the new frame differs from it.
//
// A frame starts from the previous frame with the pixels of two sets put back from the face
// with the hands that stay: where the previous second hand was and, when the hour or minute
// hand moved, where the hands that moved were. The previous frame's pixels there are kept;
// anywhere else the previous frame showed that same face. The hands that moved are drawn
// anew (the third set: where they are now) and the second hand on top, so only the sets and
// the new second hand need looking at. The sets are kept apart, because one span per row
// around all of them would also take in the face between hands that lie far apart.
class FrameChanges {
public:
    enum Set { SecondHand, StaticHands, DrawnHands };

    // A new frame of `rows` rows: nothing put back yet.
    void begin(int rows);
    RowSpans& spans(Set set) { return sets_[set]; }

    // Keeps backing's pixels of the first two sets, then copies base's over them; those of
    // the first set from `beneathSecond` when given: the face with the hands as it was
    // beneath the previous second hand, which the first set's spans hold.
    void putBack(QImage& backing, const LayeredFace& base, const SpanOverlay* beneathSecond);

    // Each row's first and last pixel where backing, now holding the new frame, differs from
    // the frame before putBack(); base as given to putBack(). The new second hand wrote
    // `second`; beneath it the face with the hands was `beneathSecond`, over the same spans.
    void find(const QImage& backing, const LayeredFace& base, const RowSpans& second,
              const SpanOverlay& beneathSecond, RowSpans& changed) const;
    size_t heldBytes() const;

private:
    RowSpans sets_[3];
    std::vector<int> at_[2]; // row y's kept pixels start at pixels_[at_[set][y]]
    std::vector<quint32> pixels_;
    mutable std::vector<quint32> row_; // find()'s pixels of the base where hands lie on the face
};
