#pragma once

#include "render/Surface.h"
#include "shell/mdlStartup.h"

#include <QPoint>
#include <cstdint>
#include <vector>

// The clock hands: anti-aliased lines of any width (Xiaolin Wu's line, widened to a solid
// run between two blended edge pixels) and tapered hands built from them. Every blended pixel
// is read from the surface and mixed with the line colour, so a hand blends into whatever
// lies beneath it. Angles are radians, 0 towards 3 o'clock, growing clockwise on screen.
namespace Vorel_WuLines {

// One segment of a hand from centre outwards (a negative length draws the tail on the other
// side). Widths up to 3 are a plain line; wider hands are a filled triangle whose outline is
// smoothed by two width-3 lines.
void DrawHand(Surface& dc, QPoint centre, float angle, float lx, float ly, ColorBytes color,
              int16_t width);

// The whole-pixel points a hand segment is drawn from: its tip and, for widths over 3, the
// three corners of its solid body and the two ends of its base. Segments with equal points,
// width and colour draw equal pixels.
struct HandPoints {
    QPoint tip, body[3], c1, c2;
};
HandPoints HandOutline(QPoint centre, float angle, float lx, float ly, int16_t width);
// The segment drawn from its points, as DrawHand draws it.
void DrawHandPoints(Surface& dc, QPoint centre, const HandPoints& h, ColorBytes color,
                    int16_t width);

// A line from p1 to p2, both ends included, width pixels thick across its major axis;
// drawing p2 to p1 gives the same pixels. Nothing is drawn when p1 equals p2.
void WuLine(Surface& dc, QPoint p1, QPoint p2, ColorBytes color, int16_t width);

// One pixel a line writes: its offset from the surface's first pixel (rows rowPixels()
// apart) and the surface's share of the blend (see BlendTriple), or SolidWrite for the line
// colour itself.
struct PixelWrite {
    uint32_t offset;
    float weight;
};
inline constexpr float SolidWrite = -1.0f;

// The pixels WuLine would write, appended to out in the order it writes them, and the area
// it would touch recorded on dc; nothing is written. False, with nothing appended, for a
// line that reaches outside the surface (WuLine clips those pixel by pixel).
bool ListWuLine(Surface& dc, QPoint p1, QPoint p2, int16_t width, std::vector<PixelWrite>& out);

int32_t TripleToColor(ColorBytes t);
ColorBytes ColorToTriple(int32_t c);

// Mixes a line colour a with a surface colour b; w is the surface's share (0 = pure line,
// 1 = surface unchanged).
ColorBytes BlendTriple(ColorBytes a, ColorBytes b, float w);
uint8_t BlendByte(uint8_t a, uint8_t b, float w);

// Nearest whole number, halves to the even neighbour.
int32_t RoundHalfEven(double v);

} // namespace Vorel_WuLines
