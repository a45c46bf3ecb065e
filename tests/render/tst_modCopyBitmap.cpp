#include "render/modCopyBitmap.h"
#include "render/modOLEPicture.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace modCopyBitmap;

namespace {

QImage noise(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(42);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, 0xff000000u | rng.bounded(0x1000000u));
    return img.convertToFormat(format);
}

// The area-weighted mean of one channel under target pixel (tx, ty), worked out pixel by
// pixel from the overlap of the target pixel's square with each source pixel's.
int areaMean(const QImage& premultiplied, int w, int h, int tx, int ty, int shift) {
    const int64_t sw = premultiplied.width(), sh = premultiplied.height();
    uint64_t sum = 0;
    for (int64_t sy = 0; sy < sh; ++sy)
        for (int64_t sx = 0; sx < sw; ++sx) {
            // In units where a source pixel is w (h) wide and a target pixel sw (sh).
            const int64_t ox = std::min((tx + 1) * sw, (sx + 1) * w) - std::max(tx * sw, sx * w);
            const int64_t oy = std::min((ty + 1) * sh, (sy + 1) * h) - std::max(ty * sh, sy * h);
            if (ox > 0 && oy > 0)
                sum += uint64_t((premultiplied.pixel(int(sx), int(sy)) >> shift) & 0xff) *
                       uint64_t(ox * oy);
        }
    const uint64_t total = uint64_t(sw * sh);
    return int((sum + total / 2) / total);
}

QImage copy(const QImage& src, int w, int h, int kind = KindAuto, int depth = 0) {
    return CopyBitmap(src, kind, w, h, depth, HALFTONE);
}

} // namespace

class tst_modCopyBitmap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes() {
        const QImage src = noise(100, 80);
        QCOMPARE(copy(src, 100, 80), src); // a straight copy, into a bitmap of its own
        QVERIFY(copy(src, 100, 80).constBits() != src.constBits());
        QCOMPARE(copy(src, -64, -32).size(), QSize(64, 32));
        QCOMPARE(copy(src, 0, 0).size(), QSize(100, 80));
        const QImage rgb = copy(noise(256, 256, QImage::Format_RGB888), 64, 64);
        QCOMPARE(BitsPerPixel(rgb), 24);
        QCOMPARE(rgb.bytesPerLine(), 192);
        QCOMPARE(ImageSize(24, 65, 1), qint64(196)); // rows padded to 32 bits
        QVERIFY(copy(QImage(), 64, 64).isNull());    // handle 0
    }

    void depths_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("mono");
        QTest::addColumn<int>("bits"); // 0: nothing is made
        QTest::newRow("0 keeps 32") << 0 << KindAuto << false << 32;
        QTest::newRow("1") << 1 << KindAuto << false << 1;
        QTest::newRow("8") << 8 << KindSection << false << 8;
        QTest::newRow("device bitmap ignores depth") << 8 << KindDevice << false << 32;
        QTest::newRow("device bitmap keeps 1 bit") << 0 << KindDevice << true << 1;
        QTest::newRow("refused 2") << 2 << KindAuto << false << 0;
        QTest::newRow("refused 64") << 64 << KindSection << false << 0;
        QTest::newRow("unknown kind") << 0 << 3 << false << 0;
    }
    void depths() {
        QFETCH(int, depth);
        QFETCH(int, kind);
        QFETCH(bool, mono);
        QFETCH(int, bits);
        const QImage c = copy(noise(50, 50, mono ? QImage::Format_Mono : QImage::Format_RGB32), 20,
                              20, kind, depth);
        QCOMPARE(c.isNull() ? 0 : BitsPerPixel(c), bits);
    }

    void eightBitKeepsItsColourTable() {
        QImage src(40, 30, QImage::Format_Indexed8);
        src.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(10, 20, 200), qRgb(9, 9, 9)});
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                src.setPixel(x, y, uint((x / 10 + y / 10) % 4));
        QCOMPARE(copy(src, 64, 64).colorTable(), src.colorTable());
        QCOMPARE(copy(src, 0, 0), src);
    }

    // Halftone averages areas: 0 and 255 into one gives 128 (halves up), 0 255 / 200 0 gives 114.
    void halftone() {
        QImage two(2, 1, QImage::Format_RGB32), four(2, 2, QImage::Format_RGB32);
        two.setPixel(0, 0, qRgb(0, 0, 0));
        two.setPixel(1, 0, qRgb(255, 255, 255));
        four.fill(qRgb(0, 0, 0));
        four.setPixel(1, 0, qRgb(255, 255, 255));
        four.setPixel(0, 1, qRgb(200, 200, 200));
        QCOMPARE(qRed(copy(two, 1, 1).pixel(0, 0)), 128);
        QCOMPARE(qRed(copy(four, 1, 1).pixel(0, 0)), 114);
        const QImage doubled = copy(two, 4, 1); // repeats: 0 0 255 255
        QCOMPARE(QList<int>({qRed(doubled.pixel(1, 0)), qRed(doubled.pixel(2, 0))}),
                 QList<int>({0, 255}));
    }

    // Every pixel of a stretch, up or down by whole and odd ratios, is the exact mean of the
    // area it covers, whatever the source's format; an opaque picture gives the same 32-bit
    // bitmap as converting the premultiplied stretch would.
    void halftoneIsTheAreaMean_data() {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QSize>("size");
        QImage rgb32 = noise(13, 11);
        for (int y = 0; y < rgb32.height(); ++y) // RGB32's unused byte counts as opaque
            reinterpret_cast<QRgb*>(rgb32.scanLine(y))[y % rgb32.width()] &= 0x00ffffffu;
        QImage translucent = noise(13, 11, QImage::Format_ARGB32);
        for (int y = 0; y < translucent.height(); ++y)
            for (int x = 0; x < translucent.width(); ++x)
                translucent.setPixel(x, y,
                                     (translucent.pixel(x, y) & 0xffffffu) |
                                         uint32_t((x * 37 + y * 11) % 256) << 24);
        // Whole-number reductions (3 x 3 and 1 x 1 blocks) take a shorter way to the same sums.
        QTest::newRow("rgb32 39x33 to 13x11") << noise(39, 33) << QSize(13, 11);
        QTest::newRow("translucent 13x11 to 13x11") << translucent << QSize(13, 11);
        for (const QSize size : {QSize(5, 4), QSize(29, 23), QSize(13, 22), QSize(6, 11)}) {
            const QByteArray at =
                QByteArray::number(size.width()) + 'x' + QByteArray::number(size.height());
            QTest::newRow(QByteArray("rgb32 " + at).constData()) << rgb32 << size;
            QTest::newRow(QByteArray("translucent " + at).constData()) << translucent << size;
            QTest::newRow(QByteArray("indexed " + at).constData())
                << noise(13, 11, QImage::Format_Indexed8) << size;
            QTest::newRow(QByteArray("rgb888 " + at).constData())
                << noise(13, 11, QImage::Format_RGB888) << size;
        }
        QTest::newRow("256 to 128") << noise(256, 256) << QSize(128, 128);
        QTest::newRow("255 x 253 to 192 x 128") << noise(255, 253) << QSize(192, 128);
    }
    void halftoneIsTheAreaMean() {
        QFETCH(QImage, source);
        QFETCH(QSize, size);
        QImage premultiplied = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (source.format() == QImage::Format_RGB32)
            for (int y = 0; y < source.height(); ++y)
                for (int x = 0; x < source.width(); ++x)
                    premultiplied.setPixel(x, y, source.pixel(x, y) | 0xff000000u);
        const QImage stretched = HalftoneStretch(source, size.width(), size.height());
        QCOMPARE(stretched.format(), QImage::Format_ARGB32_Premultiplied);
        const int step = size.width() > 64 ? 7 : 1; // the large picture at a sample of pixels
        for (int y = 0; y < size.height(); y += step)
            for (int x = 0; x < size.width(); x += step) {
                const QRgb want =
                    qRgba(areaMean(premultiplied, size.width(), size.height(), x, y, 16),
                          areaMean(premultiplied, size.width(), size.height(), x, y, 8),
                          areaMean(premultiplied, size.width(), size.height(), x, y, 0),
                          areaMean(premultiplied, size.width(), size.height(), x, y, 24));
                if (stretched.pixel(x, y) != want)
                    QFAIL(qPrintable(QStringLiteral("pixel %1, %2: %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(stretched.pixel(x, y), 8, 16)
                                         .arg(want, 8, 16)));
            }
        const QImage bitmap = copy(source, size.width(), size.height());
        if (!source.hasAlphaChannel() && source.depth() == 32) {
            QCOMPARE(bitmap.format(), QImage::Format_RGB32);
            QCOMPARE(bitmap, stretched.convertToFormat(QImage::Format_RGB32));
        }
    }

    void pictureSharesItsBitmap() {
        QCOMPARE(modOLEPicture::PictureFromHandle(QImage(), true, 0, true).useCount(), 0L);
        modOLEPicture::Picture first =
            modOLEPicture::PictureFromHandle(copy(noise(64, 64), 32, 32), true, 0, true);
        modOLEPicture::Picture second = first;
        QCOMPARE(first.useCount(), 2L);
        first = {};
        QCOMPARE(second.handle().size(), QSize(32, 32)); // still there after the others went
    }
};

QTEST_GUILESS_MAIN(tst_modCopyBitmap)
#include "tst_modCopyBitmap.moc"
