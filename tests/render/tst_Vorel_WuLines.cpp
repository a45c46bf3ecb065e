#include "render/Vorel_WuLines.h"

#include <QtTest>

using namespace Vorel_WuLines;

namespace {

const ColorBytes Black{0, 0, 0};
const ColorBytes Blue{255, 0, 0};

QImage white(int w = 100, int h = 100) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

int grey(const QImage& img, int x, int y) {
    return qRed(img.pixel(x, y));
}

// Column x of rows [from, from + n) as grey levels.
QList<int> column(const QImage& img, int x, int from, int n) {
    QList<int> values;
    for (int y = from; y < from + n; ++y)
        values.append(grey(img, x, y));
    return values;
}

QList<QPoint> changedPixels(const QImage& img) {
    QList<QPoint> changed;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                changed.append(QPoint(x, y));
    return changed;
}

// A different colour in every pixel, so blends show where they read.
QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, (x + y) * 3 % 256));
    return img;
}

} // namespace

class tst_Vorel_WuLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void blendByte_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("surface");
        QTest::addColumn<float>("weight");
        QTest::addColumn<int>("expected");
        QTest::newRow("half of 0 and 255 rounds to even 128") << 0 << 255 << 0.5f << 128;
        QTest::newRow("half of 2 and 3 rounds to even 2") << 2 << 3 << 0.5f << 2;
        QTest::newRow("three quarters of the surface") << 0 << 255 << 0.75f << 191;
    }
    void blendByte() {
        QFETCH(int, line);
        QFETCH(int, surface);
        QFETCH(float, weight);
        QFETCH(int, expected);
        QCOMPARE(int(BlendByte(uint8_t(line), uint8_t(surface), weight)), expected);
    }

    // Lines whose every pixel is solid: all of them black, nothing else changed.
    void solidLines_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<QPoint>>("pixels");
        QList<QPoint> row, diagonal;
        for (int i = 0; i <= 6; ++i)
            row << QPoint(2 + i, 5); // both ends included
        for (int i = 0; i <= 4; ++i) // y-major: the pair of pixels side by side in each row
            diagonal << QPoint(1 + i, 2 + i) << QPoint(2 + i, 2 + i);
        QTest::newRow("horizontal, width 1") << QPoint(2, 5) << QPoint(8, 5) << 1 << row;
        QTest::newRow("45 degrees, width 2") << QPoint(2, 2) << QPoint(6, 6) << 2 << diagonal;
        QTest::newRow("a point draws nothing")
            << QPoint(9, 9) << QPoint(9, 9) << 3 << QList<QPoint>{};
    }
    void solidLines() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QFETCH(QList<QPoint>, pixels);
        QImage img = white();
        Surface dc(img);
        WuLine(dc, p1, p2, Black, int16_t(width));
        QCOMPARE(changedPixels(img), pixels);
        for (const QPoint& p : pixels)
            QCOMPARE(img.pixel(p), qRgb(0, 0, 0));
    }

    // Line (0,10)-(4,11): column 1 lies a quarter of the way down, column 2 half way.
    void widths_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("column1"); // rows 7..14
        QTest::addColumn<QList<int>>("column2");
        QTest::newRow("0: one pixel blended twice")
            << 0 << QList<int>{255, 255, 255, 48, 255, 255, 255, 255}
            << QList<int>{255, 255, 255, 64, 255, 255, 255, 255};
        QTest::newRow("1: classic Wu pair")
            << 1 << QList<int>{255, 255, 255, 64, 191, 255, 255, 255}
            << QList<int>{255, 255, 255, 128, 128, 255, 255, 255};
        QTest::newRow("2: one solid") << 2 << QList<int>{255, 255, 64, 0, 191, 255, 255, 255}
                                      << QList<int>{255, 255, 128, 0, 128, 255, 255, 255};
        QTest::newRow("3: odd extra pixel below")
            << 3 << QList<int>{255, 255, 64, 0, 0, 191, 255, 255}
            << QList<int>{255, 255, 128, 0, 0, 128, 255, 255};
        QTest::newRow("4") << 4 << QList<int>{255, 64, 0, 0, 0, 191, 255, 255}
                           << QList<int>{255, 128, 0, 0, 0, 128, 255, 255};
        QTest::newRow("5") << 5 << QList<int>{255, 64, 0, 0, 0, 0, 191, 255}
                           << QList<int>{255, 128, 0, 0, 0, 0, 128, 255};
    }
    void widths() {
        QFETCH(int, width);
        QFETCH(QList<int>, column1);
        QFETCH(QList<int>, column2);
        QImage img = white(20, 20);
        Surface dc(img);
        WuLine(dc, QPoint(0, 10), QPoint(4, 11), Black, int16_t(width));
        QCOMPARE(column(img, 1, 7, 8), column1);
        QCOMPARE(column(img, 2, 7, 8), column2);
        QCOMPARE(column(img, 5, 0, 20), QList<int>(20, 255)); // nothing past the end
    }

    // p1 to p2 draws what p2 to p1 draws; a line running off the image (which takes another
    // road than one wholly inside) agrees with the whole line where they share pixels.
    void sameLineEveryWay_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::newRow("shallow") << QPoint(55, 20) << QPoint(3, 50) << 5;
        QTest::newRow("steep") << QPoint(50, 3) << QPoint(20, 55) << 3;
        QTest::newRow("width 0") << QPoint(10, 3) << QPoint(25, 56) << 0;
    }
    void sameLineEveryWay() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QImage forward = gradient(60, 60), backward = forward.copy(), top = gradient(60, 30);
        Surface a(forward), b(backward), c(top);
        WuLine(a, p1, p2, Blue, int16_t(width));
        WuLine(b, p2, p1, Blue, int16_t(width));
        WuLine(c, p1, p2, Blue, int16_t(width));
        QVERIFY(forward != gradient(60, 60));
        QCOMPARE(forward, backward);
        QCOMPARE(forward.copy(0, 0, 60, 30), top);
    }

    // Hands pointing right from (50, 50), 20 pixels long, worked out pixel by pixel.
    void taperedHand_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("expected");
        // Width 8: triangle (70,50) (50,46) (50,54), edges from (70,50) to (50,46) and (50,54).
        QTest::newRow("8: edge line above the base") << 8 << QPoint(50, 45) << 0;
        QTest::newRow("8: blended step above") << 8 << QPoint(51, 45) << 51;
        QTest::newRow("8: upper edge") << 8 << QPoint(60, 47) << 0;
        QTest::newRow("8: behind the centre") << 8 << QPoint(49, 50) << 255;
        // Width 4: triangle (70,50) (50,48) (50,52).
        QTest::newRow("4: base above") << 4 << QPoint(50, 47) << 0;
        QTest::newRow("4: half-way edge above") << 4 << QPoint(55, 47) << 128;
        // Up to width 3 a hand is one plain line, rows 49 to 51.
        QTest::newRow("3: line") << 3 << QPoint(60, 51) << 0;
        QTest::newRow("3: below the line") << 3 << QPoint(60, 52) << 255;
    }
    void taperedHand() {
        QFETCH(int, width);
        QFETCH(QPoint, pixel);
        QFETCH(int, expected);
        QImage img = white();
        Surface dc(img);
        DrawHand(dc, QPoint(50, 50), 0.0f, 20, 20, Black, int16_t(width));
        QCOMPARE(grey(img, pixel.x(), pixel.y()), expected);
    }
};

QTEST_GUILESS_MAIN(tst_Vorel_WuLines)
#include "tst_Vorel_WuLines.moc"
