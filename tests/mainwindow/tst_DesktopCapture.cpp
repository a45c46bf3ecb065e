#include "mainwindow/DesktopCapture.h"

#include <QTest>

namespace {
const QColor kGround(0x3A, 0x6E, 0xA5);
}

class tst_DesktopCapture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void markCentre_data() {
        QTest::addColumn<int>("i");
        QTest::addColumn<int>("width");
        QTest::addColumn<double>("distance");
        QTest::addColumn<QPoint>("centre");
        // 128 pixels: hour marks at 51.2, minute marks at 57.6, less one pixel in x and y.
        QTest::newRow("3 o'clock hour") << 0 << 128 << 51.2 << QPoint(114, 63);
        QTest::newRow("12 o'clock hour") << 45 << 128 << 51.2 << QPoint(63, 12);
        QTest::newRow("one minute past 3") << 1 << 128 << 57.6 << QPoint(120, 69);
        QTest::newRow("96 pixels, 3 o'clock") << 0 << 96 << 38.4 << QPoint(85, 47);
    }
    void markCentre() {
        QFETCH(int, i);
        QFETCH(int, width);
        QFETCH(double, distance);
        QFETCH(QPoint, centre);
        QCOMPARE(DesktopCapture::MarkCentre(i, width, distance), centre);
    }

    void colourValuesHaveRedInTheLowByte() {
        QCOMPARE(DesktopCapture::ColorFromValue(0x4040FF), QColor(0xFF, 0x40, 0x40));
        QCOMPARE(DesktopCapture::ColorFromValue(0xFF0000), QColor(0, 0, 0xFF));
    }

    void marksArePaintedInTheirColours() {
        QImage face(128, 128, QImage::Format_RGB32);
        face.fill(kGround);
        DesktopCapture::PaintMarks(face, 0x0000FF, 0x00FF00); // red hour, green minute dots
        int hourDots = 0, minuteDots = 0;
        for (int i = 0; i < 60; ++i) {
            const bool hour = i % 5 == 0;
            const QPoint c = DesktopCapture::MarkCentre(i, 128, (hour ? 0.4 : 0.45) * 128);
            const QColor got = face.pixelColor(c);
            if (hour && got == QColor(Qt::red))
                ++hourDots;
            if (!hour && got == QColor(Qt::green))
                ++minuteDots;
        }
        QCOMPARE(hourDots, 12);
        QCOMPARE(minuteDots, 48);
        // The ground between the dots stays as captured.
        QCOMPARE(face.pixelColor(64, 64), kGround);
    }

    void aNullFaceIsLeftAlone() {
        QImage none;
        DesktopCapture::PaintMarks(none, 0, 0);
        QVERIFY(none.isNull());
    }
};

QTEST_MAIN(tst_DesktopCapture)
#include "tst_DesktopCapture.moc"
