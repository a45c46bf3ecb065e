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
        QTest::newRow("at the edge: kept") << 15360.0f << 15360.0f;
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
        QTest::newRow("half to even down") << 37.5 << 15.0 << 2; // 2.5
        QTest::newRow("half to even up") << 52.5 << 15.0 << 4;   // 3.5
        QTest::newRow("120 dpi") << 1440.0 << 12.0 << 120;
    }
    void twips() {
        QFETCH(double, twips);
        QFETCH(double, factor);
        QFETCH(int, pixels);
        QCOMPARE(Placement::PixelsFromTwips(twips, factor), pixels);
    }
};

QTEST_MAIN(tst_Placement)
#include "tst_Placement.moc"
