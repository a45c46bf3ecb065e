#pragma once

#include <QPoint>
#include <QRegion>
#include <QSize>
#include <array>
#include <cstdint>

class QScreen;

// Window placement in twips (1/1440 inch), the unit positions are stored in, and the
// geometry of the round window. Plain functions so tests reach them without a window.
namespace Placement {

// Twips per pixel of a screen, from its logical DPI (15 at 96 DPI). The primary screen's
// factor when screen is null; 15 when there is no screen at all.
double TwipsPerPixelX(const QScreen* screen = nullptr);
double TwipsPerPixelY(const QScreen* screen = nullptr);

int PixelsFromTwips(double twips, double twipsPerPixel);
float TwipsFromPixels(int pixels, double twipsPerPixel);

// Keeps one stored coordinate on the screen: a value beyond the screen's extent becomes
// the extent less the window's; a negative one becomes 0; anything else stays. All twips.
float ClampToScreen(float position, float screenExtent, float windowExtent);

// Keeps a stored position (twips) on the primary screen for a window of the given outer
// size, writes the kept values back and returns the position in pixels.
QPoint PlaceOnScreen(float& px, float& py, QSize outer);

// A stored client size made to fit an available area: each side at least kSmallestSide
// and at most the area's, so no value in a file can make a window larger than the screen.
inline constexpr int kSmallestSide = 16;
QSize FitSize(QSize stored, QSize available);
// The same for the primary screen's available area (1024 x 768 without a screen).
QSize FitOnScreen(QSize stored);

// The round window's shape for a client area: the ellipse one pixel in from the left and
// top edges, in client coordinates.
QRegion RoundShape(QSize client);

// The client sizes of the size menu, smallest first.
inline constexpr std::array<int, 5> kSizes = {64, 96, 128, 192, 256};

// Rounds to the nearest whole number, halves to the even neighbour, as every conversion
// from floating point in the clock does.
int32_t RoundHalfEven(double value);

} // namespace Placement
