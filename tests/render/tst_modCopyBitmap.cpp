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

// A picture of w x h grey pixels, row by row.
QImage greys(int w, int h, std::initializer_list<int> values) {
    QImage img(w, h, QImage::Format_RGB32);
    int i = 0;
    for (int g : values) {
        img.setPixel(i % w, i / w, qRgb(g, g, g));
        ++i;
    }
    return img;
}

} // namespace

class tst_modCopyBitmap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sizes() {
        const QImage src = noise(100, 80);
        const QImage copy = CopyBitmap(src, KindAuto, 100, 80, 0, HALFTONE);
        QCOMPARE(copy, src);                          // the same size is a straight copy
        QVERIFY(copy.constBits() != src.constBits()); // into a bitmap of its own
        QCOMPARE(CopyBitmap(src, KindAuto, -64, -32, 0, HALFTONE).size(), QSize(64, 32));
        QCOMPARE(CopyBitmap(src, KindAuto, 0, 0, 0, HALFTONE).size(), QSize(100, 80));
    }

    void twentyFourBitTo64() {
        const QImage copy =
            CopyBitmap(noise(256, 256, QImage::Format_RGB888), KindAuto, 64, 64, 0, HALFTONE);
        QCOMPARE(BitsPerPixel(copy), 24);
        QCOMPARE(copy.bytesPerLine(), 192);
        QCOMPARE(qint64(copy.sizeInBytes()), ImageSize(24, 64, 64));
        QCOMPARE(ImageSize(24, 65, 1), qint64(196)); // rows padded to 32 bits
    }

    // bits 0: nothing is made.
    void depths_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("mono");
        QTest::addColumn<int>("bits");
        QTest::newRow("0 keeps 32") << 0 << KindAuto << false << 32;
        QTest::newRow("1") << 1 << KindAuto << false << 1;
        QTest::newRow("8") << 8 << KindSection << false << 8;
        QTest::newRow("device bitmap ignores depth") << 8 << KindDevice << false << 32;
        QTest::newRow("device bitmap keeps 1 bit") << 0 << KindDevice << true << 1;
        QTest::newRow("refused 2") << 2 << KindAuto << false << 0;
        QTest::newRow("refused 64 of a section") << 64 << KindSection << false << 0;
        QTest::newRow("unknown kind") << 0 << 3 << false << 0;
    }
    void depths() {
        QFETCH(int, depth);
        QFETCH(int, kind);
        QFETCH(bool, mono);
        QFETCH(int, bits);
        const QImage src = noise(50, 50, mono ? QImage::Format_Mono : QImage::Format_RGB32);
        const QImage copy = CopyBitmap(src, kind, 20, 20, depth, HALFTONE);
        QCOMPARE(copy.isNull(), bits == 0);
        if (bits)
            QCOMPARE(BitsPerPixel(copy), bits);
        if (bits && bits <= 8)
            QVERIFY(copy.colorCount() <= (1 << bits));
    }

    void eightBitKeepsItsColourTable() {
        QImage src(40, 30, QImage::Format_Indexed8);
        src.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(10, 20, 200), qRgb(9, 9, 9)});
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                src.setPixel(x, y, uint((x / 10 + y / 10) % 4));
        const QImage scaled = CopyBitmap(src, KindAuto, 64, 64, 0, HALFTONE);
        QCOMPARE(scaled.format(), QImage::Format_Indexed8);
        QCOMPARE(scaled.colorTable(), src.colorTable());
        QCOMPARE(CopyBitmap(src, KindAuto, 0, 0, 0, HALFTONE), src); // indices and table kept
    }

    void halftoneAveragesAreas_data() {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<int>>("expected"); // the red channel, row by row
        QTest::newRow("two into one, half rounds up")
            << greys(2, 1, {0, 255}) << QSize(1, 1) << QList<int>{128};
        QTest::newRow("doubling repeats")
            << greys(2, 1, {0, 255}) << QSize(4, 1) << QList<int>{0, 0, 255, 255};
        QTest::newRow("both directions")
            << greys(2, 2, {0, 255, 200, 0}) << QSize(1, 1) << QList<int>{114};
    }
    void halftoneAveragesAreas() {
        QFETCH(QImage, source);
        QFETCH(QSize, size);
        QFETCH(QList<int>, expected);
        const QImage copy = CopyBitmap(source, KindAuto, size.width(), size.height(), 0, HALFTONE);
        QList<int> red;
        for (int y = 0; y < copy.height(); ++y)
            for (int x = 0; x < copy.width(); ++x)
                red.append(qRed(copy.pixel(x, y)));
        QCOMPARE(red, expected);
    }

    void pictureSharesAndKeepsItsBitmap() {
        QVERIFY(CopyBitmap(QImage(), KindAuto, 64, 64, 0, HALFTONE).isNull()); // handle 0
        const modOLEPicture::Picture none =
            modOLEPicture::PictureFromHandle(QImage(), true, 0, true);
        QVERIFY(none.isNull());
        QCOMPARE(none.useCount(), 0L);

        modOLEPicture::Picture first = modOLEPicture::PictureFromHandle(
            CopyBitmap(noise(64, 64), KindAuto, 32, 32, 0, HALFTONE), true, 0, true);
        modOLEPicture::Picture second = first;
        QCOMPARE(first.useCount(), 2L);
        first = {};
        QCOMPARE(second.useCount(), 1L);
        QCOMPARE(second.handle().size(), QSize(32, 32)); // still there after the others went
    }
};

QTEST_GUILESS_MAIN(tst_modCopyBitmap)
#include "tst_modCopyBitmap.moc"
