#include "render/modCopyBitmap.h"

#include <QList>
#include <cstdlib>
#include <vector>

namespace modCopyBitmap {

namespace {

const QString BitsKey = QStringLiteral("BitsPerPixel");

bool depthAccepted(int32_t depth) {
    switch (depth) {
    case 0:
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// The colours a new indexed bitmap gets when its source has no colour table of its own.
QList<QRgb> standardTable(int32_t depth) {
    QList<QRgb> table;
    if (depth == 1) {
        table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else if (depth == 4) {
        table = {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
                 qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
                 qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
                 qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    } else {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    table.append(qRgb(r * 51, g * 51, b * 51));
        for (int i = 0; table.size() < 256; ++i)
            table.append(qRgb(8 + i * 6, 8 + i * 6, 8 + i * 6)); // greys between the cube's
    }
    return table;
}

QList<QRgb> tableFor(const QImage& source, int32_t depth) {
    const int entries = depth == 1 ? 2 : depth == 4 ? 16 : 256;
    QList<QRgb> table = source.colorTable();
    if (table.isEmpty())
        return standardTable(depth);
    if (table.size() > entries)
        table.resize(entries);
    return table;
}

// Brings pixels (already of the target size: the source itself when straight, else a new
// picture of its own) to the target depth.
QImage toDepth(QImage pixels, const QImage& source, int32_t depth, bool straight) {
    QImage out;
    switch (depth) {
    case 1:
    case 4:
    case 8: {
        const QList<QRgb> table = tableFor(source, depth);
        const QImage::Format f = depth == 1 ? QImage::Format_Mono : QImage::Format_Indexed8;
        if (straight && pixels.format() == f && pixels.colorTable() == table)
            out = pixels.copy();
        else
            out = pixels.convertToFormat(f, table, Qt::ThresholdDither | Qt::AvoidDither);
        break;
    }
    case 16:
        out = pixels.convertToFormat(QImage::Format_RGB555);
        break;
    case 24:
        out = pixels.convertToFormat(QImage::Format_RGB888);
        break;
    default: {
        const QImage::Format f =
            source.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        if (straight && pixels.depth() == 32)
            out = pixels.copy();
        else if (!straight && f == QImage::Format_RGB32 &&
                 pixels.format() == QImage::Format_ARGB32_Premultiplied) {
            // The stretch of an opaque picture is opaque: the same bits as a conversion.
            pixels.reinterpretAsFormat(QImage::Format_RGB32);
            out = std::move(pixels);
        } else
            out = pixels.convertToFormat(f);
        break;
    }
    }
    if (out.isNull())
        return out;
    if (straight && out.format() == source.format() && out.constBits() == source.constBits())
        out.detach(); // a new bitmap, never the caller's
    out.setText(BitsKey, depth == 4 ? QStringLiteral("4") : QString());
    return out;
}

// For each target column (or row): the source pixels under it and how much of each, in
// units where one target pixel spans `from` units and one source pixel `to` units.
struct Tap {
    int index;
    uint32_t weight;
};

std::vector<std::vector<Tap>> taps(int from, int to) {
    std::vector<std::vector<Tap>> result(to);
    for (int t = 0; t < to; ++t) {
        const int64_t start = int64_t(t) * from;
        const int64_t end = start + from;
        for (int64_t s = start / to; s * to < end && s < from; ++s) {
            const int64_t a = std::max(start, s * to);
            const int64_t b = std::min(end, (s + 1) * to);
            if (b > a)
                result[t].push_back({static_cast<int>(s), static_cast<uint32_t>(b - a)});
        }
    }
    return result;
}

// HalftoneStretch's reduction by whole numbers (a 256-pixel face to 128, say), for at most
// 256 source pixels to one: the n source pixels under a target pixel all cover it with the
// same weight w (width x height units), so the mean (sum * w + n * w / 2) / (n * w) is
// (2 * sum + n) / (2 * n) (for an odd n * w, too: 2 * sum + n is then odd and no quotient
// is a whole number the lower half-unit could change). Those means are worked out once for
// every possible sum.
void reduceByWholeNumbers(const QImage& src, QRgb opaque, QImage& out) {
    const int width = out.width(), height = out.height();
    const int sw = src.width(), sh = src.height();
    QRgb* const outBits = reinterpret_cast<QRgb*>(out.bits());
    const qsizetype outStride = out.bytesPerLine() / 4;
    const int kx = sw / width, ky = sh / height, n = kx * ky;
    std::vector<uint8_t> meanOf(size_t(255 * n + 1));
    for (int sum = 0; sum <= 255 * n; ++sum)
        meanOf[size_t(sum)] = uint8_t((2 * sum + n) / (2 * n));
    const QRgb* const srcBits = reinterpret_cast<const QRgb*>(src.constBits());
    const qsizetype srcStride = src.bytesPerLine() / 4;
    for (int y = 0; y < height; ++y) {
        QRgb* line = outBits + y * outStride;
        for (int x = 0; x < width; ++x) {
            uint32_t a = 0, r = 0, g = 0, b = 0;
            for (int sy = y * ky; sy < (y + 1) * ky; ++sy) {
                const QRgb* from = srcBits + sy * srcStride + x * kx;
                for (int i = 0; i < kx; ++i) {
                    const QRgb p = from[i] | opaque;
                    a += qAlpha(p);
                    r += qRed(p);
                    g += qGreen(p);
                    b += qBlue(p);
                }
            }
            line[x] = qRgba(meanOf[r], meanOf[g], meanOf[b], meanOf[a]);
        }
    }
}

} // namespace

int32_t BitsPerPixel(const QImage& bitmap) {
    if (bitmap.isNull())
        return 0;
    if (bitmap.text(BitsKey) == QLatin1String("4"))
        return 4;
    return bitmap.depth();
}

int64_t ImageSize(int32_t depth, int32_t width, int32_t height) {
    return (int64_t(depth) * width + 31) / 32 * 4 * height;
}

QImage HalftoneStretch(const QImage& source, int width, int height) {
    // 32-bit pictures are read where they are; RGB32's unused byte counts as opaque.
    const bool direct = source.format() == QImage::Format_RGB32 ||
                        source.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage src =
        direct ? source : source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QRgb opaque = source.format() == QImage::Format_RGB32 ? 0xff000000u : 0u;
    const int sw = src.width();
    const int sh = src.height();
    QImage out(width, height, QImage::Format_ARGB32_Premultiplied);
    if (src.isNull() || out.isNull())
        return {};
    if (sw % width == 0 && sh % height == 0 && (sw / width) * (sh / height) <= 256) {
        reduceByWholeNumbers(src, opaque, out);
        return out;
    }

    QRgb* const outBits = reinterpret_cast<QRgb*>(out.bits());
    const qsizetype outStride = out.bytesPerLine() / 4;
    const uint64_t total = uint64_t(sw) * uint64_t(sh);
    // n / total, exactly, without a 64-bit division for each channel of each pixel (most of
    // the stretch's time): the quotient estimated in floating point is off by one at most,
    // and is then mended. The sums stay far below 2^53, where doubles hold them exactly.
    const double inverse = 1.0 / double(total);
    const auto divide = [total, inverse](uint64_t n) {
        uint64_t q = uint64_t(double(n) * inverse);
        const uint64_t back = q * total;
        if (back > n)
            --q;
        else if (n - back >= total)
            ++q;
        return q;
    };
    const auto columns = taps(sw, width);
    const auto rows = taps(sh, height);

    // Each target pixel is the exact area-weighted mean of the source pixels it covers: the
    // source rows under a target row are summed across the columns, then weighted by row.
    // Target rows go in order, so a source row shared by two of them is summed once.
    std::vector<uint32_t> across(size_t(width) * 4);
    int acrossRow = -1;
    std::vector<uint64_t> acc(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(acc.begin(), acc.end(), 0);
        for (const Tap& row : rows[y]) {
            if (row.index != acrossRow) {
                acrossRow = row.index;
                const QRgb* line = reinterpret_cast<const QRgb*>(src.constScanLine(row.index));
                uint32_t* sums = across.data();
                for (int x = 0; x < width; ++x) {
                    uint32_t a = 0, r = 0, g = 0, b = 0;
                    for (const Tap& t : columns[x]) {
                        const QRgb p = line[t.index] | opaque;
                        a += qAlpha(p) * t.weight;
                        r += qRed(p) * t.weight;
                        g += qGreen(p) * t.weight;
                        b += qBlue(p) * t.weight;
                    }
                    sums[x * 4] = a;
                    sums[x * 4 + 1] = r;
                    sums[x * 4 + 2] = g;
                    sums[x * 4 + 3] = b;
                }
            }
            for (int i = 0; i < width * 4; ++i)
                acc[i] += uint64_t(across[i]) * row.weight;
        }
        QRgb* line = outBits + y * outStride;
        for (int x = 0; x < width; ++x) {
            auto mean = [&](int c) { return int(divide(acc[x * 4 + c] + total / 2)); };
            line[x] = qRgba(mean(1), mean(2), mean(3), mean(0));
        }
    }
    return out;
}

QImage CopyBitmap(const QImage& source, int32_t kind, int32_t width, int32_t height, int32_t depth,
                  int32_t mode) {
    if (source.isNull() || !depthAccepted(depth))
        return {};
    const int w = width != 0 ? std::abs(width) : source.width();
    const int h = height != 0 ? std::abs(height) : source.height();
    if (kind == KindAuto)
        kind = KindSection; // a QImage always holds its own pixels
    int32_t target;
    if (kind == KindSection)
        target = depth != 0 ? depth : BitsPerPixel(source);
    else if (kind == KindDevice)
        target = BitsPerPixel(source) == 1 ? 1 : 32;
    else
        return {};
    if (!depthAccepted(target) || target == 0)
        target = 32; // a source of an unusual depth (2-bit grey...) copies as 32-bit colour

    const bool straight = (w == source.width() && h == source.height());
    QImage pixels;
    if (straight)
        pixels = source;
    else if (mode == HALFTONE)
        pixels = HalftoneStretch(source, w, h);
    else
        pixels = source.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (pixels.isNull())
        return {};
    return toDepth(std::move(pixels), source, target, straight);
}

} // namespace modCopyBitmap
