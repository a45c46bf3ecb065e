#pragma once

#include <QImage>
#include <cstdint>

// Copies a bitmap into a new one of a chosen size, colour depth and kind, stretching it when
// the size differs. A bitmap here is a QImage; the null image plays the part of "no bitmap".
namespace modCopyBitmap {

// Bitmap kinds.
constexpr int32_t KindAuto = 0;    // a section when the source has its own pixels (always here)
constexpr int32_t KindDevice = 1;  // the screen's format (1-bit sources stay 1-bit)
constexpr int32_t KindSection = 2; // the requested colour depth

// Stretch modes: HALFTONE averages the source area under each target pixel; the others
// pick the nearest source pixel.
constexpr int32_t BLACKONWHITE = 1;
constexpr int32_t WHITEONBLACK = 2;
constexpr int32_t COLORONCOLOR = 3;
constexpr int32_t HALFTONE = 4;

// A new bitmap of |width| x |height| pixels (0 = the source's width or height) and depth bits
// per pixel (0 = the source's), or a null image when the source is null or the depth is not
// one of 0, 1, 4, 8, 16, 24, 32. Same size: a straight pixel copy; otherwise the whole source
// is stretched onto the whole target with mode. Targets of 1, 4 and 8 bits keep the source's
// colour table when it has one (a 4-bit bitmap is stored with 8 bits per pixel and at most 16
// colours). The source is never changed.
QImage CopyBitmap(const QImage& source, int32_t kind, int32_t width, int32_t height, int32_t depth,
                  int32_t mode);

// Bits per pixel of a bitmap as the copy counts them (a 4-bit copy reports 4).
int32_t BitsPerPixel(const QImage& bitmap);

// Bytes of pixel data of a device-independent bitmap: rows padded to 32 bits.
int64_t ImageSize(int32_t depth, int32_t width, int32_t height);

// Area-averaging resample of the whole image to width x height (both > 0), in premultiplied
// 32-bit colour; exposed for the style preview and the benchmarks.
QImage HalftoneStretch(const QImage& source, int width, int height);

} // namespace modCopyBitmap
