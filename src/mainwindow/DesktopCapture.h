#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <cstdint>

// The see-through face: a copy of the screen behind the clock with sixty dots as the
// hour and minute marks.
namespace DesktopCapture {

// Hour marks (every fifth dot) and minute marks.
inline constexpr double kHourMarkDistance = 0.4;    // of the client width
inline constexpr double kMinuteMarkDistance = 0.45; // of the client width
inline constexpr int kHourMarkDiameter = 6;
inline constexpr int kMinuteMarkDiameter = 3;

// The pixel a dot is centred on, for mark i (0 at 3 o'clock, clockwise) at distance r
// in a face of width W.
QPoint MarkCentre(int i, int W, double r);

// Paints the sixty marks onto a face; the colours are colour values (red in the low byte).
void PaintMarks(QImage& face, int32_t hourColor, int32_t minuteColor);

// A colour value (red in the lowest byte) as a QColor.
QColor ColorFromValue(int32_t value);

// The screen's pixels in a rectangle of screen pixels; white where nothing could be read.
QImage GrabScreen(const QRect& area);

} // namespace DesktopCapture
