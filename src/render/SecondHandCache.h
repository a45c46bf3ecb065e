#pragma once

#include "render/RowBands.h"
#include "render/Surface.h"
#include "render/Vorel_WuLines.h"
#include "shell/mdlStartup.h"

#include <QPoint>
#include <QSize>
#include <array>
#include <cstdint>
#include <vector>

// The second hand's sixty positions, each kept as the list of pixels its two segments (tail,
// then the hand) write and the rows they touch. A frame then only blends the listed pixels
// into what lies beneath, which gives the same bytes as drawing the hand: the positions and
// weights are the drawing's own, and the blends run in the drawing's order. The blended
// pixels are kept too: when the pixels beneath are those of the last time the position was
// drawn (the hour and minute hands kept off it), they are written as they are.
//
// The lists are made when first needed and dropped when anything that shapes the hand
// changes: the picture's size or row length, the centre, the radii, the width or the colour.
// A position with a line that would reach outside the picture is not listed; draw() says so
// and the caller draws it the ordinary way.
class SecondHandCache {
public:
    // What the hand's pixels depend on.
    struct Shape {
        QSize size;
        qsizetype rowPixels = 0;
        QPoint centre;
        float radiusX = 0, radiusY = 0; // the clock's hand radii
        int16_t width = 0;
        ColorBytes color;
        bool operator==(const Shape& o) const;
    };

    // The second hand at `second` (0..59) of `shape` onto dc, whose picture must have the
    // shape's size and row length; rows gets the touched span of every row, as the
    // drawing's row tracking would give (rows must be empty on entry). False when this
    // position cannot be replayed: nothing was drawn.
    bool draw(Surface& dc, const Shape& shape, int second, RowSpans& rows);

    // Drops every list (the next draw() makes them anew).
    void clear();

    // The pixels listed for a position so far (-1: not made yet or not listable).
    int listedPixels(int second) const;

private:
    struct Position {
        bool made = false;
        bool usable = false;
        std::vector<Vorel_WuLines::PixelWrite> writes;
        RowSpans rows;
        // Every pixel the writes change, once; what lay there when the hand was last drawn
        // and what the hand made of it. The same pixels beneath give the same result.
        std::vector<uint32_t> offsets, under, result;
        bool drawnOnce = false;
    };
    void make(Position& position, int second);

    Shape shape_;
    std::array<Position, 60> positions_;
};

// The second hand drawn the ordinary way: its tail, then the hand, at `second` of `shape`.
void DrawSecondHand(Surface& dc, const SecondHandCache::Shape& shape, int second);
