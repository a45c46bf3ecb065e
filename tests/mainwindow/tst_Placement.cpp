#include "mainwindow/Placement.h"

#include <QGuiApplication>
#include <QScreen>
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

    // No stored size makes a window larger than the screen's available area or smaller
    // than 16 pixels a side.
    void fitSize_data() {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("fitted");
        QTest::newRow("fits") << QSize(128, 192) << QSize(128, 192);
        QTest::newRow("huge") << QSize(100000, 2147483647) << QSize(1024, 740);
        QTest::newRow("one side too wide") << QSize(2000, 100) << QSize(1024, 100);
        QTest::newRow("zero and negative") << QSize(0, -5) << QSize(16, 16);
        QTest::newRow("tiny") << QSize(3, 15) << QSize(16, 16);
        QTest::newRow("exactly the area") << QSize(1024, 740) << QSize(1024, 740);
    }
    void fitSize() {
        QFETCH(QSize, stored);
        QFETCH(QSize, fitted);
        QCOMPARE(Placement::FitSize(stored, QSize(1024, 740)), fitted);
    }

    void fitOnScreen() {
        const QSize fitted = Placement::FitOnScreen(QSize(100000, 100000));
        QVERIFY(fitted.width() <= 32767 && fitted.width() >= 16);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            QCOMPARE(fitted, screen->availableGeometry().size());
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
