#include "mainwindow/ShownFrame.h"

#include <QTest>

namespace {
RowSpans spans(const QRect& r, int rows) {
    RowSpans s;
    s.clear(rows);
    for (int y = r.top(); y <= r.bottom(); ++y)
        s.add(y, r.left(), r.right());
    return s;
}
} // namespace

class tst_ShownFrame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void onlyDifferingPixelsAreSent() {
        QImage frame(64, 64, QImage::Format_RGB32);
        frame.fill(Qt::white);
        ShownFrame shown;
        QCOMPARE(shown.Take(frame, spans(QRect(10, 10, 5, 5), frame.height())),
                 QRegion(frame.rect()));
        QCOMPARE(shown.Take(frame, spans(frame.rect(), frame.height())),
                 QRegion()); // redrawn, identical
        // Two pixels in one band of rows and one further down: a rectangle per band, tight.
        frame.setPixel(20, 3, qRgb(1, 2, 3));
        frame.setPixel(25, 5, qRgb(1, 2, 3));
        frame.setPixel(40, 50, qRgb(9, 9, 9));
        QCOMPARE(shown.Take(frame, spans(frame.rect(), frame.height())),
                 QRegion(QRect(QPoint(20, 3), QPoint(25, 5))) + QRect(40, 50, 1, 1));
        // A change outside the candidates is not looked at, so it is still pending later.
        frame.setPixel(60, 60, qRgb(0, 0, 0));
        QCOMPARE(shown.Take(frame, spans(QRect(0, 0, 32, 32), frame.height())), QRegion());
        QCOMPARE(shown.Take(frame, spans(frame.rect(), frame.height())), QRegion(60, 60, 1, 1));
        shown.Forget(); // after Forget or a new size everything is sent
        QCOMPARE(shown.Take(frame, RowSpans{}), QRegion(frame.rect()));
        const QImage bigger = frame.copy(0, 0, 80, 80);
        QCOMPARE(shown.Take(bigger, spans(QRect(0, 0, 4, 4), bigger.height())),
                 QRegion(bigger.rect()));
    }
};

QTEST_APPLESS_MAIN(tst_ShownFrame)
#include "tst_ShownFrame.moc"
