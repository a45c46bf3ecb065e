#include "mainwindow/Placement.h"

#include <QTest>

class tst_Placement : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void clampToScreen_data() {
        QTest::addColumn<float>("position");
        QTest::addColumn<float>("expected");
        // A 1024-pixel screen (15360 twips) and a 128-pixel window (1920 twips).
        QTest::newRow("on screen") << 1500.0f << 1500.0f;
        QTest::newRow("negative") << -300.0f << 0.0f;
        QTest::newRow("just beyond the edge") << 15361.0f << 13440.0f;
        // Partly off the screen but not beyond its edge: kept as the user left it.
        QTest::newRow("at the edge") << 15360.0f << 15360.0f;
    }
    void clampToScreen() {
        QFETCH(float, position);
        QFETCH(float, expected);
        QCOMPARE(Placement::ClampToScreen(position, 15360.0f, 1920.0f), expected);
    }

    void twips_data() {
        QTest::addColumn<double>("twips");
        QTest::addColumn<double>("factor");
        QTest::addColumn<int>("pixels");
        QTest::newRow("default 100 at 96 dpi") << 100.0 << 15.0 << 7; // 6.67
        QTest::newRow("half to even down") << 37.5 << 15.0 << 2;      // 2.5
        QTest::newRow("half to even up") << 52.5 << 15.0 << 4;        // 3.5
        QTest::newRow("120 dpi") << 1440.0 << 12.0 << 120;
    }
    void twips() {
        QFETCH(double, twips);
        QFETCH(double, factor);
        QFETCH(int, pixels);
        QCOMPARE(Placement::PixelsFromTwips(twips, factor), pixels);
    }

    void twipsRoundTrip() {
        for (int px : {0, 7, 100, 1023})
            QCOMPARE(Placement::PixelsFromTwips(Placement::TwipsFromPixels(px, 15.0), 15.0), px);
    }

    void roundShape_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("inside");
        QTest::newRow("corner") << 128 << QPoint(0, 0) << false;
        QTest::newRow("left edge row") << 128 << QPoint(0, 64) << false; // one pixel in
        QTest::newRow("second column") << 128 << QPoint(2, 64) << true;
        QTest::newRow("bottom right corner") << 256 << QPoint(250, 250) << false;
        QTest::newRow("large centre") << 256 << QPoint(128, 128) << true;
    }
    void roundShape() {
        QFETCH(int, size);
        QFETCH(QPoint, point);
        QFETCH(bool, inside);
        QCOMPARE(Placement::RoundShape(QSize(size, size)).contains(point), inside);
    }
};

QTEST_MAIN(tst_Placement)
#include "tst_Placement.moc"
