#include "mainwindow/DesktopCapture.h"

#include <QTest>

class tst_DesktopCapture : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marksArePaintedInTheirColours() {
        const QColor ground(0x3A, 0x6E, 0xA5);
        QImage face(96, 96, QImage::Format_RGB32);
        face.fill(ground);
        DesktopCapture::PaintMarks(face, 0x0000FF, 0x00FF00); // red hour, green minute dots
        int hourDots = 0, minuteDots = 0;
        for (int i = 0; i < 60; ++i) {
            const bool hour = i % 5 == 0;
            const QColor got =
                face.pixelColor(DesktopCapture::MarkCentre(i, 96, (hour ? 0.4 : 0.45) * 96));
            hourDots += hour && got == QColor(Qt::red);
            minuteDots += !hour && got == QColor(Qt::green);
        }
        QCOMPARE(hourDots, 12);
        QCOMPARE(minuteDots, 48);
        QCOMPARE(face.pixelColor(48, 48), ground); // the ground between the dots stays
    }
};

QTEST_MAIN(tst_DesktopCapture)
#include "tst_DesktopCapture.moc"
