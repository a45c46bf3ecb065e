#pragma once

#include "render/RowBands.h"

#include <QImage>
#include <vector>

// The pixels of `spans` from one picture into another of the same size.
void CopySpans(const RowSpans& spans, const QImage& from, QImage& to);

// Some pixels of a picture kept aside, in each row one span: the face with the hour and
// minute hands is the face plus the rows of those hands, a few thousand pixels, until a
// picture of its own is needed.
class SpanOverlay {
public:
    // `from`'s pixels in the spans; nothing else is kept.
    void take(const QImage& from, const RowSpans& spans);
    // The kept pixels back into the same places of `to` (of the same size).
    void putOn(QImage& to) const;

private:
    RowSpans rows_;
    std::vector<quint32> pixels_; // row by row, each row's span in turn
};

// What a frame puts back over the previous one, and where the new frame differs from it.
//
// A frame starts from the previous frame with two sets of pixels put back from the face with
// the hour and minute hands: where the previous second hand was, and where those hands were
// and are when they moved. The previous frame's pixels there are kept; anywhere else the
// previous frame showed that same face, so only the pixels put back and the new second hand
// need looking at. The two sets are kept apart, because one span per row around both would
// also take in the face between hands that lie far apart.
class FrameChanges {
public:
    enum Set { SecondHand, StaticHands };

    // A new frame of `rows` rows: nothing put back yet.
    void begin(int rows);
    RowSpans& spans(Set set) { return sets_[set]; }

    // Keeps backing's pixels of both sets, then copies staticLayer's over them.
    void putBack(QImage& backing, const QImage& staticLayer);

    // Each row's first and last pixel where backing, now holding the new frame, differs from
    // the frame before putBack(); the new second hand wrote `second`.
    void find(const QImage& backing, const QImage& staticLayer, const RowSpans& second,
              RowSpans& changed) const;

private:
    RowSpans sets_[2];
    std::vector<int> at_[2]; // row y's kept pixels start at pixels_[at_[set][y]]
    std::vector<quint32> pixels_;
};
