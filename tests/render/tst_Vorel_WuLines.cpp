#include "render/Vorel_WuLines.h"

#include <QtTest>

using namespace Vorel_WuLines;

namespace {

const ColorBytes Black{0, 0, 0};
const ColorBytes Red{0, 0, 255};
const ColorBytes Blue{255, 0, 0};

QImage white(int w = 100, int h = 100) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

int grey(const QImage& img, int x, int y) {
    return qRed(img.pixel(x, y));
}

// Column x of rows [from, from + n) as grey levels, for comparing with a written list.
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

// A background with a different colour in every pixel, so blends show where they read.
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
        QTest::newRow("half of 255 and 0") << 255 << 0 << 0.5f << 128;
        QTest::newRow("half of 1 and 2 rounds to even 2") << 1 << 2 << 0.5f << 2;
        QTest::newRow("half of 2 and 3 rounds to even 2") << 2 << 3 << 0.5f << 2;
        QTest::newRow("weight 0 is the pure line") << 10 << 200 << 0.0f << 10;
        QTest::newRow("weight 1 keeps the surface") << 10 << 200 << 1.0f << 200;
        QTest::newRow("quarter of the surface") << 0 << 255 << 0.25f << 64;
        QTest::newRow("three quarters of the surface") << 0 << 255 << 0.75f << 191;
    }
    void blendByte() {
        QFETCH(int, line);
        QFETCH(int, surface);
        QFETCH(float, weight);
        QFETCH(int, expected);
        QCOMPARE(int(BlendByte(uint8_t(line), uint8_t(surface), weight)), expected);
    }

    void blendTripleMixesEachChannel() {
        const ColorBytes mixed = BlendTriple(Red, Blue, 0.5f);
        QCOMPARE(int(mixed.Red), 128);
        QCOMPARE(int(mixed.Green), 0);
        QCOMPARE(int(mixed.Blue), 128);
    }

    void colourConversions_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("blue");
        QTest::newRow("red is the lowest byte") << 0x0000FF << 255 << 0 << 0;
        QTest::newRow("default second hand") << 0x4040FF << 255 << 0x40 << 0x40;
        QTest::newRow("blue is the third byte") << 0xFF0000 << 0 << 0 << 255;
        QTest::newRow("top byte ignored") << 0x01123456 << 0x56 << 0x34 << 0x12;
    }
    void colourConversions() {
        QFETCH(int, color);
        QFETCH(int, red);
        QFETCH(int, green);
        QFETCH(int, blue);
        const ColorBytes t = ColorToTriple(color);
        QCOMPARE(int(t.Red), red);
        QCOMPARE(int(t.Green), green);
        QCOMPARE(int(t.Blue), blue);
        QCOMPARE(TripleToColor(t), color & 0xFFFFFF);
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-0.6") << -0.6 << -1;
        QTest::newRow("128.4") << 128.4 << 128;
        QTest::newRow("69.6") << 69.6 << 70;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }

    void horizontalLineIsOneCleanRow() {
        QImage img = white();
        Surface dc(img);
        WuLine(dc, QPoint(2, 5), QPoint(8, 5), Black, 1);
        const QList<QPoint> changed = changedPixels(img);
        QCOMPARE(changed.size(), 7); // both ends included
        for (const QPoint& p : changed) {
            QCOMPARE(p.y(), 5);
            QCOMPARE(img.pixel(p), qRgb(0, 0, 0));
        }
        QCOMPARE(dc.touched(), QRect(QPoint(2, 5), QPoint(8, 6)));
    }

    void diagonalIsYMajor() {
        // Width 2 on a y-major line puts the pair of pixels side by side in each row.
        QImage img = white();
        Surface dc(img);
        WuLine(dc, QPoint(2, 2), QPoint(6, 6), Black, 2);
        for (int i = 0; i <= 4; ++i) {
            QCOMPARE(grey(img, 2 + i, 2 + i), 0);
            QCOMPARE(grey(img, 1 + i, 2 + i), 0);
            QCOMPARE(grey(img, 2 + i, 1 + i), 255); // an x-major line would stack them
        }
        QCOMPARE(changedPixels(img).size(), 10);
    }

    void pointLineDrawsNothing() {
        QImage img = white();
        Surface dc(img);
        WuLine(dc, QPoint(10, 10), QPoint(10, 10), Black, 3);
        QVERIFY(changedPixels(img).isEmpty());
        QVERIFY(dc.touched().isEmpty());
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

    void directionDoesNotMatter_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::newRow("shallow") << QPoint(3, 4) << QPoint(40, 17) << 1;
        QTest::newRow("shallow upwards") << QPoint(3, 30) << QPoint(41, 11) << 2;
        QTest::newRow("steep") << QPoint(20, 2) << QPoint(27, 45) << 3;
        QTest::newRow("steep leftwards") << QPoint(30, 2) << QPoint(7, 39) << 5;
        QTest::newRow("anti-diagonal") << QPoint(40, 2) << QPoint(2, 40) << 4;
        QTest::newRow("width 0") << QPoint(1, 1) << QPoint(33, 20) << 0;
    }
    void directionDoesNotMatter() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QImage forward = gradient(50, 50);
        QImage backward = forward.copy();
        Surface a(forward);
        Surface b(backward);
        WuLine(a, p1, p2, Blue, int16_t(width));
        WuLine(b, p2, p1, Blue, int16_t(width));
        QCOMPARE(forward, backward);
        QVERIFY(forward != gradient(50, 50));
    }

    void pixelsOutsideAreIgnored() {
        QImage img = white(10, 10);
        Surface dc(img);
        WuLine(dc, QPoint(-20, -5), QPoint(30, 14), Black, 5);
        DrawHand(dc, QPoint(5, 5), 0.3f, 400, 400, Black, 8);
        QVERIFY(!changedPixels(img).isEmpty());
        QCOMPARE(dc.touched(), QRect(0, 0, 10, 10).intersected(dc.touched()));
        QCOMPARE(dc.GetPixel(-1, 3), Surface::OutsideColor);
    }

    // A line wholly inside the image and one that runs off its edge take different roads;
    // the pixels they share must agree.
    void clippedLineMatchesWholeLine_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::newRow("shallow 1") << QPoint(2, 5) << QPoint(57, 40) << 1;
        QTest::newRow("steep 3") << QPoint(50, 3) << QPoint(20, 55) << 3;
        QTest::newRow("steep 0") << QPoint(10, 3) << QPoint(25, 56) << 0;
        QTest::newRow("shallow 5") << QPoint(55, 20) << QPoint(3, 50) << 5;
    }
    void clippedLineMatchesWholeLine() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QImage whole = gradient(60, 60);
        QImage half = gradient(60, 30);
        Surface a(whole);
        Surface b(half);
        WuLine(a, p1, p2, Blue, int16_t(width));
        WuLine(b, p1, p2, Blue, int16_t(width));
        QCOMPARE(whole.copy(0, 0, 60, 30), half);
    }

    void laterLineBlendsWithEarlierOne() {
        QImage img = white(30, 30);
        Surface dc(img);
        WuLine(dc, QPoint(0, 10), QPoint(20, 10), Red, 1);
        WuLine(dc, QPoint(5, 9), QPoint(15, 11), Blue, 1);
        // Column 7 lies 0.4 of a pixel below row 9: the lower edge pixel is in the red row
        // and keeps 0.6 of it.
        QCOMPARE(img.pixel(7, 10), qRgb(153, 0, 102));
        QCOMPARE(img.pixel(7, 9), qRgb(102, 102, 255)); // 0.4 of the white above
        QCOMPARE(img.pixel(10, 10), qRgb(0, 0, 255));   // on the blue line's whole row
    }

    void thinHandIsOneLine() {
        QImage img = white();
        Surface dc(img);
        DrawHand(dc, QPoint(50, 50), 0.0f, 20, 20, Black, 3);
        for (int x = 50; x <= 70; ++x)
            QCOMPARE(column(img, x, 48, 5), (QList<int>{255, 0, 0, 0, 255}));
        QCOMPARE(changedPixels(img).size(), 21 * 3);
    }

    void negativeLengthDrawsTheTail() {
        QImage img = white();
        Surface dc(img);
        DrawHand(dc, QPoint(50, 50), 0.0f, -20, -20, Black, 3);
        const QList<QPoint> changed = changedPixels(img);
        QCOMPARE(changed.size(), 21 * 3);
        for (const QPoint& p : changed)
            QVERIFY(p.x() >= 30 && p.x() <= 50);
    }

    // Hands pointing right from (50, 50), 20 pixels long, worked out pixel by pixel.
    void taperedHand_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<int>("expected");
        // Width 8: triangle (70,50) (50,46) (50,54), edges from (70,50) to (50,46) and (50,54).
        QTest::newRow("8: edge line above the base") << 8 << QPoint(50, 45) << 0;
        QTest::newRow("8: blended step above") << 8 << QPoint(51, 45) << 51;
        QTest::newRow("8: blended step below") << 8 << QPoint(51, 55) << 51;
        QTest::newRow("8: solid run past the body") << 8 << QPoint(51, 46) << 0;
        QTest::newRow("8: outside upper edge") << 8 << QPoint(60, 46) << 255;
        QTest::newRow("8: upper edge") << 8 << QPoint(60, 47) << 0;
        QTest::newRow("8: lower edge") << 8 << QPoint(60, 53) << 0;
        QTest::newRow("8: outside lower edge") << 8 << QPoint(60, 54) << 255;
        QTest::newRow("8: tip") << 8 << QPoint(70, 50) << 0;
        QTest::newRow("8: below tip") << 8 << QPoint(70, 51) << 0;
        QTest::newRow("8: past the tip") << 8 << QPoint(71, 50) << 255;
        QTest::newRow("8: behind the centre") << 8 << QPoint(49, 50) << 255;
        // Width 4: triangle (70,50) (50,48) (50,52).
        QTest::newRow("4: base above") << 4 << QPoint(50, 47) << 0;
        QTest::newRow("4: beyond base above") << 4 << QPoint(50, 46) << 255;
        QTest::newRow("4: base below") << 4 << QPoint(50, 53) << 0;
        QTest::newRow("4: beyond base below") << 4 << QPoint(50, 54) << 255;
        QTest::newRow("4: half-way edge above") << 4 << QPoint(55, 47) << 128;
        QTest::newRow("4: half-way edge below") << 4 << QPoint(55, 53) << 128;
        QTest::newRow("4: body") << 4 << QPoint(60, 50) << 0;
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

    void kiteOfForwardAndTail() {
        QImage img = white();
        Surface dc(img);
        DrawHand(dc, QPoint(50, 50), -1.570795f, 30, 30, Black, 8);
        DrawHand(dc, QPoint(50, 50), -1.570795f, -5, -5, Black, 8);
        // The shared base across the centre is 8 pixels wide, the tips 30 up and 5 down.
        QCOMPARE(grey(img, 50, 20), 0);
        QCOMPARE(grey(img, 50, 55), 0);
        QCOMPARE(grey(img, 50, 56), 255);
        QCOMPARE(grey(img, 46, 50), 0);
        QCOMPARE(grey(img, 54, 50), 0);
        QCOMPARE(grey(img, 50, 18), 255);
    }
};

QTEST_GUILESS_MAIN(tst_Vorel_WuLines)
#include "tst_Vorel_WuLines.moc"
