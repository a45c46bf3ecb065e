#include "render/Surface.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QImage white(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

int coloured(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) != qRgb(255, 255, 255);
    return n;
}

} // namespace

class tst_Surface : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pixelsAsColourValues() {
        QImage img = white(4, 4);
        Surface dc(img);
        dc.SetPixelV(1, 2, 0x4040FF); // red in the lowest byte
        QCOMPARE(img.pixel(1, 2), qRgb(255, 0x40, 0x40));
        QCOMPARE(dc.GetPixel(1, 2), 0x4040FF);
        QCOMPARE(dc.GetPixel(4, 0), Surface::OutsideColor);
        dc.SetPixelV(-1, 0, 0);
        dc.SetPixelV(0, 4, 0);
        QCOMPARE(coloured(img), 1);
        QCOMPARE(dc.touched(), QRect(1, 2, 1, 1));
    }

    void polygon_data() {
        QTest::addColumn<QList<QPoint>>("corners");
        QTest::addColumn<int>("pixels");
        // Every pixel centre inside or on the outline: x, y >= 0 and x + y <= 4.
        QTest::newRow("right triangle") << QList<QPoint>{{0, 0}, {4, 0}, {0, 4}} << 15;
        QTest::newRow("flat triangle is its outline") << QList<QPoint>{{1, 1}, {7, 1}, {4, 1}} << 7;
        QTest::newRow("sliver keeps a connected outline")
            << QList<QPoint>{{0, 0}, {9, 3}, {0, 1}} << 15; // 7 inside, 8 more on the outline
        QTest::newRow("clipped to the image")
            << QList<QPoint>{{-100, -100}, {200, 5}, {5, 300}} << 144;
    }
    void polygon() {
        QFETCH(QList<QPoint>, corners);
        QFETCH(int, pixels);
        QImage img = white(12, 12);
        Surface dc(img);
        dc.Polygon(corners.constData(), int(corners.size()), {0, 0, 0});
        QCOMPARE(coloured(img), pixels);
        QVERIFY(QRect(0, 0, 12, 12).contains(dc.touched()));
    }

    // Triangles take a faster road than other polygons; a triangle given with one corner
    // twice must come out the same.
    void triangleMatchesGeneralPolygon() {
        QRandomGenerator rng(5);
        for (int n = 0; n < 300; ++n) {
            QPoint c[3];
            for (QPoint& p : c)
                p = QPoint(rng.bounded(-10, 40), rng.bounded(-10, 40));
            QImage fast = white(30, 30), general = white(30, 30);
            Surface a(fast), b(general);
            a.Polygon(c, 3, {0, 0, 0});
            const QPoint four[4] = {c[0], c[1], c[2], c[2]};
            b.Polygon(four, 4, {0, 0, 0});
            QVERIFY2(fast == general, qPrintable(QString::number(n)));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Surface)
#include "tst_Surface.moc"
