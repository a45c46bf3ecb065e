#pragma once

#include "render/RowBands.h"

#include <QImage>
#include <QRegion>

// What the clock window shows when frames go straight to it, so that a frame sends only the
// pixels that really changed: the hands are redrawn whole each second, but most of them
// (the hour and minute hands) land where they were.
class ShownFrame {
public:
    // Takes `frame` in where it may differ (`candidates`, row by row) and returns where it did
    // differ, as one rectangle per band of rows. The whole frame when nothing was shown
    // before, or at another size.
    QRegion Take(const QImage& frame, const RowSpans& candidates);
    // The window was painted another way: the next Take sends everything.
    void Forget();

    static constexpr int BandRows = 8;

private:
    QImage shown_;
};
