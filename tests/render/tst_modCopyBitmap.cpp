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

QImage row(std::initializer_list<int> greys) {
    QImage img(int(greys.size()), 1, QImage::Format_RGB32);
    int x = 0;
    for (int g : greys)
        img.setPixel(x++, 0, qRgb(g, g, g));
    return img;
}

QList<int> greys(const QImage& img) {
    QList<int> values;
    for (int x = 0; x < img.width(); ++x)
        values.append(qRed(img.pixel(x, 0)));
    return values;
}

QImage paletted() {
    QImage img(40, 30, QImage::Format_Indexed8);
    img.setColorTable({qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(10, 20, 200), qRgb(250, 250, 250)});
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            img.setPixel(x, y, uint((x / 10 + y / 10) % 4));
    return img;
}

} // namespace

class tst_modCopyBitmap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameSizeIsStraightCopy() {
        const QImage src = noise(256, 256);
        const QImage copy = CopyBitmap(src, KindAuto, 256, 256, 0, HALFTONE);
        QCOMPARE(copy, src);
        QVERIFY(copy.constBits() != src.constBits()); // a bitmap of its own
    }

    void sizes_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("shrink") << 64 << 32 << QSize(64, 32);
        QTest::newRow("negative sizes are absolute") << -64 << -32 << QSize(64, 32);
        QTest::newRow("0 keeps the source's size") << 0 << 0 << QSize(100, 80);
        QTest::newRow("0 width only") << 0 << 20 << QSize(100, 20);
        QTest::newRow("enlarge") << 300 << 90 << QSize(300, 90);
    }
    void sizes() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, expected);
        QCOMPARE(CopyBitmap(noise(100, 80), KindAuto, width, height, 0, HALFTONE).size(), expected);
    }

    void twentyFourBitTo64() {
        const QImage copy =
            CopyBitmap(noise(256, 256, QImage::Format_RGB888), KindAuto, 64, 64, 0, HALFTONE);
        QCOMPARE(BitsPerPixel(copy), 24);
        QCOMPARE(copy.bytesPerLine(), 192);
        QCOMPARE(qint64(copy.sizeInBytes()), ImageSize(24, 64, 64));
        QCOMPARE(ImageSize(24, 64, 64), qint64(192 * 64));
        QCOMPARE(ImageSize(24, 65, 1), qint64(196)); // rows padded to 32 bits
        QCOMPARE(ImageSize(1, 33, 2), qint64(16));
    }

    void refusedDepths_data() {
        QTest::addColumn<int>("depth");
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
        QTest::newRow("12") << 12;
        QTest::newRow("-8") << -8;
        QTest::newRow("64") << 64;
    }
    void refusedDepths() {
        QFETCH(int, depth);
        QVERIFY(CopyBitmap(noise(16, 16), KindAuto, 8, 8, depth, HALFTONE).isNull());
        QVERIFY(CopyBitmap(noise(16, 16), KindSection, 16, 16, depth, HALFTONE).isNull());
    }

    void depths_data() {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("bits");
        QTest::newRow("0 keeps 32") << 0 << KindAuto << 32;
        QTest::newRow("1") << 1 << KindAuto << 1;
        QTest::newRow("4") << 4 << KindAuto << 4;
        QTest::newRow("8") << 8 << KindSection << 8;
        QTest::newRow("16") << 16 << KindAuto << 16;
        QTest::newRow("24") << 24 << KindAuto << 24;
        QTest::newRow("device bitmap ignores depth") << 8 << KindDevice << 32;
    }
    void depths() {
        QFETCH(int, depth);
        QFETCH(int, kind);
        QFETCH(int, bits);
        const QImage copy = CopyBitmap(noise(50, 50), kind, 20, 20, depth, HALFTONE);
        QCOMPARE(BitsPerPixel(copy), bits);
        if (bits <= 8)
            QVERIFY(copy.colorCount() <= (1 << bits));
    }

    void unknownKindYieldsNothing() {
        QVERIFY(CopyBitmap(noise(8, 8), 3, 4, 4, 0, HALFTONE).isNull());
    }

    void oneBitSourceStaysOneBitAsDeviceBitmap() {
        const QImage mono = noise(32, 32).convertToFormat(QImage::Format_Mono);
        QCOMPARE(BitsPerPixel(CopyBitmap(mono, KindDevice, 16, 16, 0, HALFTONE)), 1);
    }

    void eightBitKeepsItsColourTable() {
        const QImage src = paletted();
        const QImage scaled = CopyBitmap(src, KindAuto, 64, 64, 0, HALFTONE);
        QCOMPARE(scaled.format(), QImage::Format_Indexed8);
        QCOMPARE(scaled.colorTable(), src.colorTable());
        const QImage same = CopyBitmap(src, KindAuto, 0, 0, 0, HALFTONE);
        QCOMPARE(same, src); // indices and table unchanged
    }

    void nullSourceYieldsNothing() {
        QVERIFY(CopyBitmap(QImage(), KindAuto, 64, 64, 0, HALFTONE).isNull());
        const modOLEPicture::Picture none =
            modOLEPicture::PictureFromHandle(CopyBitmap(QImage(), 0, 64, 64, 0, 4), true, 0, true);
        QVERIFY(none.isNull());
        QCOMPARE(none.useCount(), 0L);
    }

    void halftoneAveragesAreas_data() {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("two into one, half rounds up") << row({0, 255}) << 1 << QList<int>{128};
        QTest::newRow("three into two") << row({0, 90, 180}) << 2 << QList<int>{30, 150};
        QTest::newRow("four into two") << row({0, 100, 200, 40}) << 2 << QList<int>{50, 120};
        QTest::newRow("doubling repeats") << row({0, 255}) << 4 << QList<int>{0, 0, 255, 255};
        QTest::newRow("two into three shares the middle")
            << row({0, 255}) << 3 << QList<int>{0, 128, 255};
    }
    void halftoneAveragesAreas() {
        QFETCH(QImage, source);
        QFETCH(int, width);
        QFETCH(QList<int>, expected);
        QCOMPARE(greys(CopyBitmap(source, KindAuto, width, 1, 0, HALFTONE)), expected);
    }

    void halftoneAveragesBothDirections() {
        QImage checker(2, 2, QImage::Format_RGB32);
        checker.setPixel(0, 0, qRgb(0, 0, 0));
        checker.setPixel(1, 1, qRgb(0, 0, 0));
        checker.setPixel(1, 0, qRgb(255, 255, 255));
        checker.setPixel(0, 1, qRgb(200, 100, 0));
        QCOMPARE(CopyBitmap(checker, KindAuto, 1, 1, 0, HALFTONE).pixel(0, 0), qRgb(114, 89, 64));
    }

    void otherModesPickPixels() {
        const QImage copy = CopyBitmap(row({0, 90, 180, 255}), KindAuto, 2, 1, 0, COLORONCOLOR);
        for (int g : greys(copy))
            QVERIFY(g == 0 || g == 90 || g == 180 || g == 255);
    }

    void sourceIsNotChanged() {
        const QImage src = noise(30, 30);
        const QImage before = src.copy();
        CopyBitmap(src, KindAuto, 7, 9, 8, HALFTONE);
        QCOMPARE(src, before);
    }

    void pictureSharesAndKeepsItsBitmap() {
        modOLEPicture::Picture first;
        {
            const QImage bitmap = CopyBitmap(noise(64, 64), KindAuto, 32, 32, 0, HALFTONE);
            first = modOLEPicture::PictureFromHandle(bitmap, true, 0, true);
        }
        QVERIFY(!first.isNull());
        QCOMPARE(first.useCount(), 1L);
        modOLEPicture::Picture second = first;
        QCOMPARE(first.useCount(), 2L);
        first = {};
        QCOMPARE(second.useCount(), 1L);
        QCOMPARE(second.handle().size(), QSize(32, 32)); // still there after the others went
    }
};

QTEST_GUILESS_MAIN(tst_modCopyBitmap)
#include "tst_modCopyBitmap.moc"
