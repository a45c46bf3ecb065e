#pragma once

#include "render/FrameChanges.h"
#include "render/RowBands.h"
#include "render/SecondHandCache.h"
#include "render/Vorel_WuLines.h"
#include "shell/mdlStartup.h"

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <array>
#include <cstdint>
#include <vector>

// Composes clock frames: the fitted face, then hour, minute and second hands. Used by the
// clock window and by the style editor's preview. Reads hand widths from the options at each
// segment, unless useWidths() has set widths of its own.
//
// A frame is drawn into backing(), which the window shows. Only the pixels of the hands of the
// previous frame are put back from the face and the new hands drawn; the result is pixel for
// pixel what clearing, drawing the whole face and the hands would give. Where the new frame
// differs from the previous one (lastChangedRows(), lastChangedRegion()) is found along the
// old and new hands only, so a window that shows the previous frame needs just those pixels.
class ClockRenderer {
public:
    ClockRenderer();

    // The face source picture (style bitmap or desktop capture); null = no face.
    QImage ImgClk;
    // The face fitted to the client area; null = none.
    QImage ScaledFace;

    int32_t FaceCenterX = 0;
    int32_t FaceCenterY = 0;
    float HandRadiusX = 0;
    float HandRadiusY = 0;
    int16_t LastDrawnSecond = 0; // ForceFrame forces the next frame
    ColorBytes HourRgb, MinuteRgb, SecondsRgb;

    static constexpr int16_t ForceFrame = 210; // no second has this value

    // Loads the picture of Options().StyleFile into ImgClk (kept when it cannot be read)
    // and splits the hand colours. The caller then runs its resize handling.
    void pLoadStyle(bool B = false);

    // The geometry part of the resize handling: backing image, centre, radii (0.375 of the
    // client width and height), and LastDrawnSecond = ForceFrame.
    void setClientSize(QSize size);
    QSize clientSize() const;

    // Fits ImgClk to the client area into ScaledFace (parRecalc true, halftone stretch), or
    // takes ImgClk itself (false: a desktop capture that already has the client size).
    void RecalcImage(bool parRecalc);

    // Draws a frame when the second differs from LastDrawnSecond; true when it drew.
    bool Render(const QDateTime& tTime);
    bool Render(QTime time);

    // The backing image the window shows (32-bit RGB, the client size).
    const QImage& backing() const;
    // The pixels in which the last frame drawn differs from the one before (all of them after
    // a size or face change), row by row: each row's span from its first to its last
    // differing pixel.
    const RowSpans& lastChangedRows() const { return changedRows_; }
    // The same as one rectangle per band of eight rows; what the window needs to repaint.
    const std::vector<QRect>& lastChangedRects() const { return changedRects_; }
    QRegion lastChangedRegion() const;

    // Hand widths for the following frames instead of the options' (the style editor's
    // preview; SW 0 or less: no second hand), and back to the options.
    void useWidths(int16_t HW, int16_t MW, int16_t SW);
    void useOptions();

    // Whether the second hand's positions are kept between frames or every hand is drawn line
    // by line each frame (the default); both give the same pixels. Kept positions win in a
    // loop of frames, but a clock draws one frame a second from a cold cache: measured on the
    // whole process they saved no CPU and cost about 1 MB and a slower start, so the clock
    // draws its hands afresh.
    void keepHandPositions(bool on);

    // The bytes of the pictures and kept pixels the renderer holds: the source and fitted
    // faces, the backing, the face layer and the hands' kept rows; a picture shared by two of
    // them counts once. The second hand's kept positions are not counted.
    size_t heldBytes() const;

private:
    int16_t widthOf(int hand) const;
    bool faceLayerCurrent() const;
    void bandChanges(); // changedRects_ from changedRows_
    // What decides an hour or minute hand's pixels: the centre, its width and colour, and the
    // points of its two segments. Not valid: no hand drawn yet.
    struct HandKey {
        std::array<int, 4 + 2 * 12> values{};
        bool valid = false;
        bool operator==(const HandKey&) const = default;
    };
    // The keys of the two hands for this frame's angles.
    void staticKey(float hourAngle, float minuteAngle, HandKey (&key)[2]);
    // The hands (the minute hand alone unless hourToo) from the points staticKey() worked out
    // for the frame, onto an image that shows the face beneath them (with the hour hand, when
    // that stays); their rows are kept in staticHands_, the hour hand's as the face with that
    // hand alone.
    void drawHands(QImage& image, bool hourToo);
    void buildFaceLayer();
    void copyFace(QImage& to) const; // faceLayer_'s pixels into a picture of its size

    QSize client_;
    QImage backing_;
    QImage faceLayer_;    // the cleared background with the face drawn on it
    qint64 faceKey_ = -1; // ScaledFace's cache key when faceLayer_ was made
    bool faceLayerValid_ = false;
    // The face with the hour and minute hands is the face layer with those hands' rows over
    // it, redrawn only when their pixels move; every frame is that with the second hand on
    // top. Each hand's rows: the hour hand's on the face before the minute hand was drawn
    // (kept while the hour hand stays), the minute hand's with both hands; where the rows and
    // what drew them, hand by hand.
    SpanOverlay staticHands_[2];
    RowSpans staticRows_[2];
    HandKey staticKey_[2];
    HandKey nextKey_[2]; // the keys of the frame being drawn
    // The pixels the second hand of the backing's frame wrote: what the next frame puts back
    // from the face with the hour and minute hands.
    RowSpans secondRows_;
    // The face with the hour and minute hands beneath those pixels (when the frame was not
    // drawn whole).
    SpanOverlay beneathSecond_;
    bool beneathSecondKept_ = false;
    RowSpans changedRows_;            // the last frame's changed pixels
    std::vector<QRect> changedRects_; // ...and in bands of rows
    // What the frame being drawn put back, and the previous frame's pixels there.
    FrameChanges changes_;
    // The last points worked out for each hour and minute hand segment, and from what.
    struct Outline {
        float angle = 0, lx = 0, ly = 0;
        int16_t width = 0;
        QPoint centre;
        Vorel_WuLines::HandPoints points;
        bool valid = false;
    };
    Outline outlines_[4];
    SecondHandCache secondHand_;
    bool keepHands_ = false;
    bool ownWidths_ = false; // useWidths() is in force
    int16_t ownWidth_[3] = {0, 0, 0};
};
