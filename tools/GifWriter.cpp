#include "GifWriter.h"

#include <QFile>
#include <QHash>
#include <algorithm>

namespace {

// Packs variable-width codes least significant bit first into 255-byte sub-blocks.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray& out) : out_(out) {}
    void put(int code, int bits) {
        acc_ |= uint32_t(code) << nbits_;
        nbits_ += bits;
        while (nbits_ >= 8) {
            byte(uint8_t(acc_ & 0xff));
            acc_ >>= 8;
            nbits_ -= 8;
        }
    }
    void finish() {
        if (nbits_ > 0)
            byte(uint8_t(acc_ & 0xff));
        flushBlock();
        out_.append('\0'); // block terminator
    }

private:
    void byte(uint8_t b) {
        block_.append(char(b));
        if (block_.size() == 255)
            flushBlock();
    }
    void flushBlock() {
        if (block_.isEmpty())
            return;
        out_.append(char(block_.size()));
        out_.append(block_);
        block_.clear();
    }
    QByteArray& out_;
    QByteArray block_;
    uint32_t acc_ = 0;
    int nbits_ = 0;
};

// Up to 256 colours for the image: the most used cells of a 32 x 32 x 32 colour grid, each
// as the mean of the pixels in it. Enough for drawn faces with gradients.
QList<QRgb> palette(const QImage& rgb) {
    struct Cell {
        qint64 count = 0, r = 0, g = 0, b = 0;
    };
    QList<Cell> cells(32 * 32 * 32);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x];
            Cell& cell = cells[(qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3)];
            ++cell.count;
            cell.r += qRed(c);
            cell.g += qGreen(c);
            cell.b += qBlue(c);
        }
    }
    std::sort(cells.begin(), cells.end(),
              [](const Cell& a, const Cell& b) { return a.count > b.count; });
    QList<QRgb> table;
    for (const Cell& c : cells) {
        if (c.count == 0 || table.size() == 256)
            break;
        table.append(qRgb(int(c.r / c.count), int(c.g / c.count), int(c.b / c.count)));
    }
    return table;
}

void put16(QByteArray& out, int v) {
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

} // namespace

bool writeGif(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8, palette(rgb),
                                               Qt::ThresholdDither | Qt::AvoidDither);
    if (indexed.isNull())
        return false;
    QList<QRgb> table = indexed.colorTable();
    table.resize(256, qRgb(0, 0, 0));

    QByteArray out("GIF89a");
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append(char(0xF7)); // global table of 256 entries, 8 bits per primary
    out.append('\0');       // background colour index
    out.append('\0');       // no aspect ratio
    for (QRgb c : table) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, indexed.width());
    put16(out, indexed.height());
    out.append('\0'); // no local table, not interlaced

    const int minCodeSize = 8;
    out.append(char(minCodeSize));
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    CodeWriter codes(out);
    QHash<uint32_t, int> dictionary; // (prefix code << 8 | byte) -> code
    int next = end + 1;
    int bits = minCodeSize + 1;
    codes.put(clear, bits);
    int prefix = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* line = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int k = line[x];
            if (prefix < 0) {
                prefix = k;
                continue;
            }
            const uint32_t key = (uint32_t(prefix) << 8) | uint32_t(k);
            const auto found = dictionary.constFind(key);
            if (found != dictionary.constEnd()) {
                prefix = *found;
                continue;
            }
            codes.put(prefix, bits);
            if (next < 4096) {
                dictionary.insert(key, next);
                if (next == (1 << bits) && bits < 12)
                    ++bits;
                ++next;
            } else {
                codes.put(clear, bits);
                dictionary.clear();
                next = end + 1;
                bits = minCodeSize + 1;
            }
            prefix = k;
        }
    }
    if (prefix >= 0)
        codes.put(prefix, bits);
    codes.put(end, bits);
    codes.finish();
    out.append(';');

    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(out) == out.size();
}
