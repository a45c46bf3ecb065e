#include "mainwindow/ShownFrame.h"

#include <QTest>

class tst_ShownFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyDifferingPixelsAreSent() {
        QImage frame(64, 64, QImage::Format_RGB32);
        frame.fill(Qt::white);
        ShownFrame shown;
        QCOMPARE(shown.Take(frame, QRegion(10, 10, 5, 5)), QRegion(frame.rect()));

        // Redrawn but identical: nothing to send.
        QCOMPARE(shown.Take(frame, QRegion(frame.rect())), QRegion());

        // Two pixels in one band of rows and one further down: a rectangle per band, tight.
        frame.setPixel(20, 3, qRgb(1, 2, 3));
        frame.setPixel(25, 5, qRgb(1, 2, 3));
        frame.setPixel(40, 50, qRgb(9, 9, 9));
        QRegion want;
        want += QRect(QPoint(20, 3), QPoint(25, 5));
        want += QRect(40, 50, 1, 1);
        QCOMPARE(shown.Take(frame, QRegion(frame.rect())), want);
        QCOMPARE(shown.Take(frame, QRegion(frame.rect())), QRegion());

        // A change outside the candidates is not looked at, so it is still pending later.
        frame.setPixel(60, 60, qRgb(0, 0, 0));
        QCOMPARE(shown.Take(frame, QRegion(0, 0, 32, 32)), QRegion());
        QCOMPARE(shown.Take(frame, QRegion(frame.rect())), QRegion(60, 60, 1, 1));
    }

    void everythingAfterForgetOrResize() {
        QImage frame(32, 32, QImage::Format_RGB32);
        frame.fill(Qt::black);
        ShownFrame shown;
        shown.Take(frame, {});
        shown.Forget();
        QCOMPARE(shown.Take(frame, {}), QRegion(frame.rect()));
        QImage bigger(48, 48, QImage::Format_RGB32);
        bigger.fill(Qt::black);
        QCOMPARE(shown.Take(bigger, QRegion(0, 0, 4, 4)), QRegion(bigger.rect()));
    }
};

QTEST_APPLESS_MAIN(tst_ShownFrame)
#include "tst_ShownFrame.moc"
