#pragma once

#include "shell/mdlStartup.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <algorithm>
#include <cstdint>

// The pixel surface the hands are drawn on: a QImage of 32-bit pixels seen the way the
// drawing code needs it. Reads and writes go one pixel at a time; a pixel outside the image
// reads as OutsideColor and ignores writes. Every pixel written is added to touched(), so a
// caller can tell which part of the image a drawing changed.
class Surface {
public:
    // What GetPixel returns outside the image (no usable colour).
    static constexpr int32_t OutsideColor = -1;

    // Draws into image, which must outlive the surface. An image in another format than
    // 32-bit RGB is converted in place first.
    explicit Surface(QImage& image);

    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const {
        return static_cast<unsigned>(x) < static_cast<unsigned>(width_) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(height_);
    }

    // Pixel as a colour value (red in the lowest byte), OutsideColor outside.
    int32_t GetPixel(int x, int y) const;
    void SetPixelV(int x, int y, int32_t color);

    // The same in byte order, for the blending code; outside reads give black.
    ColorBytes pixelBytes(int x, int y) const {
        if (!contains(x, y))
            return {};
        const uint32_t p = row(y)[x];
        return {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8),
                static_cast<uint8_t>(p >> 16)};
    }
    void setPixelBytes(int x, int y, ColorBytes c) {
        if (!contains(x, y))
            return;
        row(y)[x] = 0xff000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
        touch(x, y);
    }

    // A filled polygon without anti-aliasing: every pixel centre inside it (even-odd rule)
    // plus its one-pixel outline through all corners, all in one colour.
    void Polygon(const QPoint* points, int count, ColorBytes color);

    // Direct access for drawing loops that have checked their whole extent lies inside:
    // the pixel at (x, y), the distance between rows in pixels, and the rectangle they wrote.
    uint32_t* pixelPointer(int x, int y) const { return row(y) + x; }
    qsizetype rowPixels() const { return stride_ / 4; }
    void addTouched(const QRect& r) {
        if (r.isEmpty())
            return;
        touch(r.left(), r.top());
        touch(r.right(), r.bottom());
        if (rowLo_) {
            for (int y = r.top(); y <= r.bottom(); ++y) {
                if (r.left() < rowLo_[y])
                    rowLo_[y] = r.left();
                if (r.right() > rowHi_[y])
                    rowHi_[y] = r.right();
            }
        }
    }
    // The same for the bounding box alone, and the rows' spans being kept (nullptr: none);
    // a drawing loop that widens the spans itself gives the box here.
    void addTouchedBox(const QRect& r) {
        if (r.isEmpty())
            return;
        widenBox(r.left(), r.top(), r.right(), r.bottom());
    }
    int* rowLo() const { return rowLo_; }
    int* rowHi() const { return rowHi_; }
    static uint32_t pack(ColorBytes c) {
        return 0xff000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
    }

    // The bounding box of the pixels written since the surface was made or since
    // resetTouched(); empty when nothing was written.
    QRect touched() const;
    void resetTouched();

    // Also keeps, row by row, the span of the pixels written: lo[y] and hi[y] (arrays of
    // height() entries, owned by the caller) widen to cover each one; nullptr stops it.
    void trackRows(int* lo, int* hi) {
        rowLo_ = lo;
        rowHi_ = hi;
    }

private:
    uint32_t* row(int y) const {
        return reinterpret_cast<uint32_t*>(bits_ + static_cast<qsizetype>(y) * stride_);
    }
    void touch(int x, int y) {
        if (x < minX_)
            minX_ = x;
        if (x > maxX_)
            maxX_ = x;
        if (y < minY_)
            minY_ = y;
        if (y > maxY_)
            maxY_ = y;
        if (rowLo_) {
            if (x < rowLo_[y])
                rowLo_[y] = x;
            if (x > rowHi_[y])
                rowHi_[y] = x;
        }
    }
    // The bounding box alone.
    void widenBox(int x1, int y1, int x2, int y2) {
        minX_ = std::min(minX_, x1);
        minY_ = std::min(minY_, y1);
        maxX_ = std::max(maxX_, x2);
        maxY_ = std::max(maxY_, y2);
    }
    void fillSpan(int y, int x1, int x2, uint32_t pixel);
    void solidTriangle(const QPoint* points, uint32_t pixel);
    void outline(QPoint a, QPoint b, ColorBytes color);

    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int width_ = 0;
    int height_ = 0;
    int minX_, minY_, maxX_, maxY_;
    int* rowLo_ = nullptr;
    int* rowHi_ = nullptr;
};
