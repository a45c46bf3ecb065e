#pragma once

#include "shell/mdlStartup.h"

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>

// Composes clock frames: the fitted face, then hour, minute and second hands. Used by the
// clock window and by the style editor's preview. Reads hand widths from the options
// (or from the values set on it, see useOptions).
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
    int16_t LastDrawnSecond = 0; // 210 forces the next frame
    ColorBytes HourRgb, MinuteRgb, SecondsRgb;

    // Loads the picture of Options().StyleFile into ImgClk (kept when it cannot be read)
    // and splits the hand colours. The caller then runs its resize handling.
    void pLoadStyle(bool B = false);

    // The geometry part of the resize handling: backing image, centre, radii, and
    // LastDrawnSecond = 210.
    void setClientSize(QSize size);
    QSize clientSize() const;

    void RecalcImage(bool parRecalc);

    // Draws a frame when the second differs from LastDrawnSecond; true when it drew.
    bool Render(const QDateTime& tTime);

    // The backing image the window shows.
    const QImage& backing() const;
    // Pixels that changed in the last frame drawn (old and new hands, or all after a
    // face change); what the window needs to repaint.
    QRect lastChanged() const;
};
