#include "TestSupport.h"
#include "render/ClockRenderer.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <array>
#include <cmath>

namespace {

using Hands = std::array<ColorBytes, 3>;
const ColorBytes Black{0, 0, 0}, White{255, 255, 255};

QDateTime at(const QString& hms) {
    return QDateTime(QDate(2026, 3, 14), QTime::fromString(hms, "HH:mm:ss"));
}

QImage face(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, qRgb((x * 3) % 256, (y * 5) % 256, ((x ^ y) * 7) % 256));
    return img;
}

// Fits picture (none: a white background) to size, with the hands in the given colours.
void prepare(ClockRenderer& r, QSize size, const QImage& picture = {}, Hands hands = {}) {
    r.ImgClk = picture;
    r.HourRgb = hands[0];
    r.MinuteRgb = hands[1];
    r.SecondsRgb = hands[2];
    r.setClientSize(size);
    r.RecalcImage(true);
}

// Only one hand (0 hour, 1 minute, 2 second) shows: the others are white on white.
void oneHand(ClockRenderer& r, int hand, QSize size) {
    prepare(r, size, {},
            {hand == 0 ? Black : White, hand == 1 ? Black : White, hand == 2 ? Black : White});
}

// The dark pixel farthest from the centre, on the side of `towards` (degrees) or anywhere:
// its angle (0 towards 3 o'clock, clockwise) and distance, or -1 when there is none.
QPointF farthestDark(const QImage& img, QPoint centre, std::optional<double> towards = {}) {
    QPointF tip(0, -1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double dx = x - centre.x(), dy = y - centre.y();
            if (qRed(img.pixel(x, y)) > 200 ||
                (towards &&
                 dx * std::cos(*towards * M_PI / 180) + dy * std::sin(*towards * M_PI / 180) <= 0))
                continue;
            if (std::hypot(dx, dy) > tip.y())
                tip = {std::atan2(dy, dx) * 180 / M_PI, std::hypot(dx, dy)};
        }
    return tip;
}

} // namespace

class tst_ClockRenderer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        Options().Defaults();
        Options().StyleFile = QString();
    }

    // 128-pixel client: hour 36, minute 48, second 52.8 pixels; tails 4.8, 9.6 and 12.
    // A 200 x 100 client stretches them into an ellipse.
    void handDirections_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("hand");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("tail");
        const QSize s(128, 128), wide(200, 100);
        QTest::newRow("12:00:00 hour") << s << "12:00:00" << 0 << -90.0 << 36.0 << 4.8;
        QTest::newRow("12:00:00 second") << s << "12:00:00" << 2 << -90.0 << 52.8 << 12.0;
        QTest::newRow("03:00:00 hour") << s << "03:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("03:30:00 hour") << s << "03:30:00" << 0 << 15.0 << 36.0 << 4.8;
        QTest::newRow("03:30:00 minute") << s << "03:30:00" << 1 << 90.0 << 48.0 << 9.6;
        QTest::newRow("15:00:00 hour") << s << "15:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("200 x 100 minute at 3") << wide << "00:15:00" << 1 << 0.0 << 75.0 << 15.0;
        QTest::newRow("200 x 100 minute up") << wide << "00:00:00" << 1 << -90.0 << 37.5 << 7.5;
    }
    void handDirections() {
        QFETCH(QSize, size);
        QFETCH(QString, time);
        QFETCH(int, hand);
        QFETCH(double, angle);
        QFETCH(double, length);
        QFETCH(double, tail);
        ClockRenderer r;
        oneHand(r, hand, size);
        // Thin white hands, so they do not wipe out the one looked at where they cross it.
        r.useWidths(hand == 0 ? 4 : 1, hand == 1 ? 4 : 1, hand == 2 ? 4 : 1);
        QVERIFY(r.Render(at(time)));
        const QPoint centre(size.width() / 2, size.height() / 2);
        const QPointF tip = farthestDark(r.backing(), centre);
        QVERIFY2(std::abs(std::remainder(tip.x() - angle, 360.0)) < 3, qPrintable(time));
        QVERIFY2(std::abs(tip.y() - length) < 1.5, qPrintable(QString::number(tip.y())));
        QVERIFY(std::abs(farthestDark(r.backing(), centre, angle + 180).y() - tail) < 2.5);
    }

    // Two renders in one second draw once; a resize forces a frame. SW <= 0: no second hand.
    void drawsOncePerSecond() {
        ClockRenderer r;
        oneHand(r, 2, QSize(128, 128));
        const QDateTime t = at("10:20:30");
        QVERIFY(r.Render(t));
        const QImage first = r.backing().copy();
        QVERIFY(!r.Render(t.addMSecs(400)));
        QCOMPARE(r.backing(), first);
        QVERIFY(r.Render(t.addSecs(1)));
        QVERIFY(r.backing() != first);
        r.setClientSize(QSize(128, 128));
        QVERIFY(r.Render(t.addSecs(1)));
        for (int16_t width : {0, -2}) {
            Options().SW = width;
            ClockRenderer none;
            oneHand(none, 2, QSize(128, 128));
            none.Render(t);
            QCOMPARE(farthestDark(none.backing(), QPoint(64, 64)).y(), -1.0);
        }
    }

    // Each frame restores only the previous hands; it must equal a frame drawn from scratch.
    // lastChangedRows() must give each row's first and last pixel that differs from the
    // previous frame, and lastChangedRegion() must hold every such pixel.
    void partialFramesEqualFullFrames() {
        const Hands hands{{{30, 40, 200}, {10, 200, 10}, {250, 0, 120}}};
        ClockRenderer running;
        prepare(running, QSize(150, 150), face(300), hands);
        QDateTime t = at("09:58:50");
        QImage previous;
        for (int i = 0; i < 75; ++i, t = t.addSecs(1)) {
            if (i == 40) { // the style changes in the middle
                Options().HW = 3;
                Options().SW = 5;
            }
            QVERIFY(running.Render(t));
            ClockRenderer fresh;
            prepare(fresh, QSize(150, 150), running.ImgClk, hands);
            fresh.Render(t);
            QCOMPARE(running.backing(), fresh.backing());
            const RowSpans& rows = running.lastChangedRows();
            const QRegion region = running.lastChangedRegion();
            for (int y = 0; !previous.isNull() && y < 150; ++y) {
                int lo = INT_MAX, hi = INT_MIN;
                for (int x = 0; x < 150; ++x)
                    if (previous.pixel(x, y) != running.backing().pixel(x, y)) {
                        lo = std::min(lo, x);
                        hi = std::max(hi, x);
                        QVERIFY(region.contains(QPoint(x, y)));
                    }
                const bool listed = y >= rows.first && y < rows.end;
                QCOMPARE(listed ? rows.lo[size_t(y)] : INT_MAX, lo);
                QCOMPARE(listed ? rows.hi[size_t(y)] : INT_MIN, hi);
            }
            previous = running.backing().copy();
        }
    }

    // No face: hands on white. A face that turns up later is fitted by the next frame, and
    // repaints everything; see-through parts show white.
    void faceFitting() {
        ClockRenderer r;
        prepare(r, QSize(96, 48));
        QVERIFY(r.Render(at("06:00:00")));
        QCOMPARE(r.backing().pixel(2, 2), qRgb(255, 255, 255));
        QVERIFY(r.backing().pixel(48, 34) != qRgb(255, 255, 255)); // the hour hand
        QImage picture(256, 256, QImage::Format_ARGB32);
        picture.fill(qRgb(200, 10, 10));
        for (int y = 0; y < 128; ++y) // the top left quarter is see-through
            for (int x = 0; x < 128; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
        r.ImgClk = picture;
        QVERIFY(r.Render(at("06:00:01")));
        QCOMPARE(r.lastChangedRegion().boundingRect(), QRect(0, 0, 96, 48));
        QCOMPARE(r.backing().pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(r.backing().pixel(95, 47), qRgb(200, 10, 10));
        r.Render(at("06:00:02"));
        QVERIFY(r.lastChangedRegion().boundingRect() != QRect(0, 0, 96, 48));
    }

    // The face's path may hold "\"; a picture that cannot be read keeps the face it had,
    // but the colours are taken.
    void loadStyle() {
        const QString folder = TestSupport::scratchFolder("style");
        QVERIFY(face(40).save(folder + "/face.bmp"));
        QVERIFY(TestSupport::writeFile(folder + "/broken.bmp", "BM not a bitmap"));
        ClockRenderer r;
        Options().StyleFile = folder + "\\face.bmp";
        Options().HCol = 0x4040FF;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(QList<int>({r.HourRgb.Red, r.HourRgb.Green, r.HourRgb.Blue}),
                 QList<int>({0xFF, 0x40, 0x40}));
        Options().StyleFile = folder + "/broken.bmp";
        Options().HCol = 0;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(r.HourRgb.Red, 0);
    }
};

QTEST_MAIN(tst_ClockRenderer)
#include "tst_ClockRenderer.moc"
