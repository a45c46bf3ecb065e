#include "render/PixelBlend.h"
#include "render/Vorel_WuLines.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

using namespace Vorel_WuLines;
using Points = QList<QPoint>;
using Ints = QList<int>;

namespace {

const ColorBytes Black{0, 0, 0};

QImage white(int w = 100, int h = 100) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

// The pixels that are no longer white, row by row.
Points changed(const QImage& img) {
    Points out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                out << QPoint(x, y);
    return out;
}

// A different colour in every pixel, so blends show where they read.
QImage gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 5 % 256, y * 7 % 256, (x + y) * 3 % 256));
    return img;
}

quint32 pixelOf(ColorBytes c) {
    return 0xff000000u | (quint32(c.Red) << 16) | (quint32(c.Green) << 8) | c.Blue;
}

#if defined(PIXELBLEND_AVX2)
__attribute__((target("avx2"))) quint32 blendAvx2(ColorBytes line, quint32 surface, float w) {
    return PixelBlend::blendPixelAvx2(PixelBlend::LineColor4(line), surface, w);
}
#endif

} // namespace

class tst_Vorel_WuLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void surfaceAndBlend() {
        QImage img = white(4, 4);
        Surface dc(img);
        dc.SetPixelV(1, 2, 0x4040FF); // red in the lowest byte
        dc.SetPixelV(-1, 0, 0);
        dc.SetPixelV(0, 4, 0);
        QCOMPARE(changed(img), Points{QPoint(1, 2)});
        QCOMPARE(img.pixel(1, 2), qRgb(255, 0x40, 0x40));
        QCOMPARE(dc.GetPixel(4, 0), Surface::OutsideColor);
        QCOMPARE(int(BlendByte(0, 255, 0.5f)), 128); // halves to even
        QCOMPARE(int(BlendByte(2, 3, 0.5f)), 2);
    }

    // The drawing loops blend whole pixels at once, in whatever way the processor allows;
    // each must give the bytes of the plain blend, for every line and surface byte and the
    // weights lines use: the fractions of the positions along lines up to 24 pixels long,
    // and one minus them.
    void pixelBlendsEqualPlainBlend() {
        QList<float> weights{0.0f, 1.0f};
        for (int D = 1; D <= 24; ++D)
            for (int E = 0; E <= D; ++E)
                for (int i = 0; i <= D; ++i) {
                    const float f = static_cast<float>((static_cast<double>(i) / D) * E);
                    const float frac = f - std::floor(f);
                    weights << frac << 1.0f - frac;
                }
        std::sort(weights.begin(), weights.end());
        weights.erase(std::unique(weights.begin(), weights.end()), weights.end());
#if defined(PIXELBLEND_AVX2)
        const bool avx2 = PixelBlend::hasAvx2();
#endif
        for (float w : weights)
            for (int a = 0; a < 256; ++a) {
                const ColorBytes line{uint8_t(a), uint8_t(255 - a), uint8_t(a ^ 0x5a)};
                const PixelBlend::LineColor sse(line);
                for (int b = 0; b < 256; ++b) {
                    const ColorBytes under{uint8_t(b), uint8_t((a + b) & 255), uint8_t(255 - b)};
                    const quint32 surface = pixelOf(under);
                    const quint32 plain = pixelOf(BlendTriple(line, under, w));
                    if (PixelBlend::blendPixel(sse, surface, w) != plain)
                        QFAIL(qPrintable(QString("a %1 b %2 w %3").arg(a).arg(b).arg(w)));
#if defined(PIXELBLEND_AVX2)
                    if (avx2 && blendAvx2(line, surface, w) != plain)
                        QFAIL(qPrintable(QString("AVX2: a %1 b %2 w %3").arg(a).arg(b).arg(w)));
#endif
                }
            }
    }

    // Triangles take a faster road than other polygons: the same triangle given with one
    // corner twice must come out the same, with the same rows and box written, also when
    // clipped. Small ones of every shape, long thin ones like a hand's body at every angle,
    // whose edges run close together, and a few as large as the fast road takes.
    void triangleMatchesGeneralPolygon() {
        QRandomGenerator rng(5);
        for (int n = 0; n < 3010; ++n) {
            QPoint c[4];
            const int size = n < 2000 ? 30 : n < 3000 ? 120 : 1024;
            if (n < 2000) {
                for (QPoint& p : c)
                    p = QPoint(rng.bounded(-10, 40), rng.bounded(-10, 40));
            } else if (n >= 3000) {
                for (QPoint& p : c)
                    p = QPoint(rng.bounded(size), rng.bounded(size));
            } else {
                const double angle = rng.bounded(6.3), length = 5.0 + rng.bounded(53.0);
                const double half = 0.5 + rng.bounded(3.5);
                const QPointF centre(60 + rng.bounded(1.0), 60 + rng.bounded(1.0));
                const QPointF along(std::cos(angle), std::sin(angle));
                const QPointF across(-along.y(), along.x());
                c[0] = (centre + along * length).toPoint();
                c[1] = (centre + across * half).toPoint();
                c[2] = (centre - across * half).toPoint();
            }
            c[3] = c[2];
            QImage fast = white(size, size), general = white(size, size);
            std::vector<int> fastLo(size_t(size), INT_MAX), fastHi(size_t(size), INT_MIN);
            std::vector<int> generalLo = fastLo, generalHi = fastHi;
            Surface f(fast), g(general);
            f.trackRows(fastLo.data(), fastHi.data());
            g.trackRows(generalLo.data(), generalHi.data());
            f.Polygon(c, 3, Black);
            g.Polygon(c, 4, Black);
            QVERIFY2(fast == general, qPrintable(QString::number(n)));
            QVERIFY2(fastLo == generalLo && fastHi == generalHi, qPrintable(QString::number(n)));
            QCOMPARE(f.touched(), g.touched());
        }
    }

    // A surface that tracks its rows widens each row's span to exactly the pixels written in
    // it, whichever way the edges of a triangle run, inside the picture or clipped by it.
    void trackedRowsAreThePixelsWritten() {
        QRandomGenerator rng(11);
        for (int n = 0; n < 400; ++n) {
            QPoint c[3];
            const int reach = n < 200 ? 29 : 45; // the second half reaches outside
            for (QPoint& p : c)
                p = QPoint(rng.bounded(n < 200 ? 0 : -15, reach),
                           rng.bounded(n < 200 ? 0 : -15, reach));
            QImage img = white(30, 30);
            std::vector<int> lo(30, INT_MAX), hi(30, INT_MIN);
            Surface dc(img);
            dc.trackRows(lo.data(), hi.data());
            dc.Polygon(c, 3, Black);
            for (int y = 0; y < 30; ++y) {
                int from = INT_MAX, to = INT_MIN;
                for (int x = 0; x < 30; ++x)
                    if (img.pixel(x, y) != qRgb(255, 255, 255)) {
                        from = std::min(from, x);
                        to = std::max(to, x);
                    }
                QVERIFY2(lo[size_t(y)] == from && hi[size_t(y)] == to,
                         qPrintable(QString("triangle %1 row %2: %3..%4 tracked %5..%6")
                                        .arg(n)
                                        .arg(y)
                                        .arg(from)
                                        .arg(to)
                                        .arg(lo[size_t(y)])
                                        .arg(hi[size_t(y)])));
            }
        }
    }

    // A line inside the surface widens the rows' spans to cover every pixel it writes; one
    // that runs mostly down, a row a step, to exactly those pixels.
    void trackedRowsCoverLines() {
        QRandomGenerator rng(17);
        for (int n = 0; n < 400; ++n) {
            const QPoint p1(rng.bounded(3, 37), rng.bounded(3, 37));
            const QPoint p2(rng.bounded(3, 37), rng.bounded(3, 37));
            const int16_t width = int16_t(rng.bounded(1, 4));
            QImage img = white(40, 40);
            std::vector<int> lo(40, INT_MAX), hi(40, INT_MIN);
            Surface dc(img);
            dc.trackRows(lo.data(), hi.data());
            std::vector<PixelWrite> writes;
            QVERIFY(ListWuLine(dc, p1, p2, width, writes));
            std::vector<int> from(40, INT_MAX), to(40, INT_MIN);
            for (const PixelWrite& w : writes) {
                const int y = int(w.offset / 40), x = int(w.offset % 40);
                from[size_t(y)] = std::min(from[size_t(y)], x);
                to[size_t(y)] = std::max(to[size_t(y)], x);
            }
            const bool down = std::abs(p2.y() - p1.y()) >= std::abs(p2.x() - p1.x());
            for (size_t y = 0; y < 40; ++y) {
                const QString where = QString("line %1 row %2").arg(n).arg(y);
                if (down)
                    QVERIFY2(lo[y] == from[y] && hi[y] == to[y], qPrintable(where));
                else if (from[y] <= to[y])
                    QVERIFY2(lo[y] <= from[y] && hi[y] >= to[y], qPrintable(where));
            }
        }
    }

    void solidLines_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::addColumn<Points>("pixels");
        Points row, diagonal;
        for (int i = 0; i <= 6; ++i)
            row << QPoint(2 + i, 5); // both ends included
        for (int i = 0; i <= 4; ++i) // y-major: a pair side by side in each row
            diagonal << QPoint(1 + i, 2 + i) << QPoint(2 + i, 2 + i);
        QTest::newRow("horizontal, width 1") << QPoint(2, 5) << QPoint(8, 5) << 1 << row;
        QTest::newRow("45 degrees, width 2") << QPoint(2, 2) << QPoint(6, 6) << 2 << diagonal;
        QTest::newRow("a point draws nothing") << QPoint(9, 9) << QPoint(9, 9) << 3 << Points{};
    }
    void solidLines() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QFETCH(Points, pixels);
        QImage img = white();
        Surface dc(img);
        WuLine(dc, p1, p2, Black, int16_t(width));
        QCOMPARE(changed(img), pixels);
        for (const QPoint& p : pixels)
            QCOMPARE(img.pixel(p), qRgb(0, 0, 0));
    }

    // Line (0,10)-(4,11): column 1 lies a quarter of the way down, column 2 half way.
    // Grey levels of rows 7 to 14 in both columns.
    void widths_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<Ints>("columns");
        const int W = 255;
        QTest::newRow("0") << 0 << Ints{W, W, W, 48, W, W, W, W, W, W, W, 64, W, W, W, W};
        QTest::newRow("1") << 1 << Ints{W, W, W, 64, 191, W, W, W, W, W, W, 128, 128, W, W, W};
        QTest::newRow("2") << 2 << Ints{W, W, 64, 0, 191, W, W, W, W, W, 128, 0, 128, W, W, W};
        QTest::newRow("3") << 3 << Ints{W, W, 64, 0, 0, 191, W, W, W, W, 128, 0, 0, 128, W, W};
        QTest::newRow("4") << 4 << Ints{W, 64, 0, 0, 0, 191, W, W, W, 128, 0, 0, 0, 128, W, W};
        QTest::newRow("5") << 5 << Ints{W, 64, 0, 0, 0, 0, 191, W, W, 128, 0, 0, 0, 0, 128, W};
    }
    void widths() {
        QFETCH(int, width);
        QFETCH(Ints, columns);
        QImage img = white(20, 20);
        Surface dc(img);
        WuLine(dc, QPoint(0, 10), QPoint(4, 11), Black, int16_t(width));
        Ints got;
        for (int x : {1, 2})
            for (int y = 7; y < 15; ++y)
                got << qRed(img.pixel(x, y));
        QCOMPARE(got, columns);
        for (const QPoint& p : changed(img))
            QVERIFY(p.x() <= 4); // nothing past the end
    }

    // p1 to p2 draws what p2 to p1 draws; a line running off the image agrees with the
    // whole line where they share pixels.
    void sameLineEveryWay_data() {
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<int>("width");
        QTest::newRow("shallow") << QPoint(55, 20) << QPoint(3, 50) << 5;
        QTest::newRow("steep, width 0") << QPoint(10, 3) << QPoint(25, 56) << 0;
    }
    void sameLineEveryWay() {
        QFETCH(QPoint, p1);
        QFETCH(QPoint, p2);
        QFETCH(int, width);
        QImage forward = gradient(60, 60), backward = forward.copy(), top = gradient(60, 30);
        Surface a(forward), b(backward), c(top);
        WuLine(a, p1, p2, {255, 0, 0}, int16_t(width));
        WuLine(b, p2, p1, {255, 0, 0}, int16_t(width));
        WuLine(c, p1, p2, {255, 0, 0}, int16_t(width));
        QVERIFY(forward != gradient(60, 60));
        QCOMPARE(forward, backward);
        QCOMPARE(forward.copy(0, 0, 60, 30), top);
    }

    // Lines inside the picture are drawn by loops made for each major axis and for the
    // hands' widths; the pixel-by-pixel drawing of a line that runs off the picture must
    // agree with them where they share pixels, for every width, both ways, with and without
    // AVX2.
    void insideAgreesWithClipped() {
        QRandomGenerator rng(23);
        for (bool avx2 : {true, false}) {
#if defined(PIXELBLEND_AVX2)
            PixelBlend::avx2Allowed() = avx2;
#endif
            for (int n = 0; n < 300; ++n) {
                const int width = n % 6;
                // Lines that end in the lower half, so that the upper half alone clips them.
                const QPoint p1(rng.bounded(3, 57), rng.bounded(3, 57));
                const QPoint p2(rng.bounded(3, 57), rng.bounded(33, 57));
                QImage whole = gradient(60, 60), top = gradient(60, 30);
                Surface a(whole), c(top);
                WuLine(a, p1, p2, {40, 90, 200}, int16_t(width));
                WuLine(c, p1, p2, {40, 90, 200}, int16_t(width));
                QVERIFY2(whole.copy(0, 0, 60, 30) == top,
                         qPrintable(QString("line %1, AVX2 %2").arg(n).arg(avx2)));
            }
        }
#if defined(PIXELBLEND_AVX2)
        PixelBlend::avx2Allowed() = true;
#endif
    }

    // Hands pointing right from (50, 50), 20 pixels long, worked out pixel by pixel:
    // width 8 is the triangle (70,50) (50,46) (50,54), width 4 (70,50) (50,48) (50,52),
    // width 3 and less one plain line over rows 49 to 51.
    void taperedHand_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<Points>("pixels");
        QTest::addColumn<Ints>("grey");
        QTest::newRow("8") << 8 << Points{{50, 45}, {51, 45}, {60, 47}, {49, 50}}
                           << Ints{0, 51, 0, 255};
        QTest::newRow("4") << 4 << Points{{50, 47}, {55, 47}} << Ints{0, 128};
        QTest::newRow("3") << 3 << Points{{60, 51}, {60, 52}} << Ints{0, 255};
    }
    void taperedHand() {
        QFETCH(int, width);
        QFETCH(Points, pixels);
        QFETCH(Ints, grey);
        QImage img = white();
        Surface dc(img);
        DrawHand(dc, QPoint(50, 50), 0.0f, 20, 20, Black, int16_t(width));
        Ints got;
        for (const QPoint& p : pixels)
            got << qRed(img.pixel(p));
        QCOMPARE(got, grey);
    }
};

QTEST_GUILESS_MAIN(tst_Vorel_WuLines)
#include "tst_Vorel_WuLines.moc"
