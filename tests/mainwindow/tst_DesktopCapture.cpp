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
        QTest::newRow("6 o'clock hour") << 15 << 128 << 51.2 << QPoint(63, 114);
        QTest::newRow("9 o'clock hour") << 30 << 128 << 51.2 << QPoint(12, 63);
        QTest::newRow("12 o'clock hour") << 45 << 128 << 51.2 << QPoint(63, 12);
        QTest::newRow("one minute past 3") << 1 << 128 << 57.6 << QPoint(120, 69);
        QTest::newRow("64 pixels, 3 o'clock") << 0 << 64 << 25.6 << QPoint(57, 31);
        // 25.6 + 32 = 57.6 -> 58; 0.4 * 96 = 38.4 + 48 = 86.4 -> 86
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
        QCOMPARE(DesktopCapture::ColorFromValue(0x333333), QColor(0x33, 0x33, 0x33));
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
        // The ground between the rings and the centre stays as captured.
        QCOMPARE(face.pixelColor(64, 64), kGround);
        QCOMPARE(face.pixelColor(90, 64), kGround);
        QCOMPARE(face.pixelColor(0, 0), kGround);
    }

    void hourDotsAreLargerThanMinuteDots() {
        QImage face(128, 128, QImage::Format_RGB32);
        face.fill(Qt::black);
        DesktopCapture::PaintMarks(face, 0xFFFFFF, 0xFFFFFF);
        auto lit = [&](QPoint c) {
            int n = 0;
            for (int y = c.y() - 5; y <= c.y() + 5; ++y)
                for (int x = c.x() - 5; x <= c.x() + 5; ++x)
                    n += qGray(face.pixel(x, y)) > 127;
            return n;
        };
        const int hour = lit(DesktopCapture::MarkCentre(0, 128, 51.2));
        const int minute = lit(DesktopCapture::MarkCentre(1, 128, 57.6));
        QVERIFY2(hour >= 20 && hour <= 40, qPrintable(QString::number(hour)));      // ~ pi * 3^2
        QVERIFY2(minute >= 5 && minute <= 12, qPrintable(QString::number(minute))); // ~ pi * 1.5^2
    }

    void aNullFaceIsLeftAlone() {
        QImage none;
        DesktopCapture::PaintMarks(none, 0, 0);
        QVERIFY(none.isNull());
    }
};

QTEST_MAIN(tst_DesktopCapture)
#include "tst_DesktopCapture.moc"
