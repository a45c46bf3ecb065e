#include "TestSupport.h"
#include "render/ClockRenderer.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <array>
#include <cmath>

namespace {

const ColorBytes Black{0, 0, 0};
const ColorBytes White{255, 255, 255};

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
void prepare(ClockRenderer& r, QSize size, const QImage& picture = {},
             std::array<ColorBytes, 3> hands = {}) {
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

int colour(ColorBytes c) {
    return c.Red | c.Green << 8 | c.Blue << 16;
}

struct Tip {
    double angle = 0; // degrees, 0 towards 3 o'clock, clockwise on screen
    double length = -1;
};

// The dark pixel farthest from the centre, on the side of `towards` (degrees) or anywhere.
Tip farthestDark(const QImage& img, QPoint centre, std::optional<double> towards = {}) {
    Tip tip;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const double dx = x - centre.x(), dy = y - centre.y();
            if (qRed(img.pixel(x, y)) > 200 ||
                (towards &&
                 dx * std::cos(*towards * M_PI / 180) + dy * std::sin(*towards * M_PI / 180) <= 0))
                continue;
            if (std::hypot(dx, dy) > tip.length)
                tip = {std::atan2(dy, dx) * 180 / M_PI, std::hypot(dx, dy)};
        }
    return tip;
}

double angleDifference(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

} // namespace

class tst_ClockRenderer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        Options().Defaults();
        Options().StyleFile = QString();
    }

    void oddSizesRoundTheCentreToEven() {
        ClockRenderer r;
        r.setClientSize(QSize(101, 99));
        QCOMPARE(QPoint(r.FaceCenterX, r.FaceCenterY), QPoint(50, 50));
        QCOMPARE(QPointF(r.HandRadiusX, r.HandRadiusY), QPointF(37.875, 37.125));
        QCOMPARE(r.LastDrawnSecond, ClockRenderer::ForceFrame);
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
        const QSize s(128, 128);
        QTest::newRow("12:00:00 hour up") << s << "12:00:00" << 0 << -90.0 << 36.0 << 4.8;
        QTest::newRow("12:00:00 second up") << s << "12:00:00" << 2 << -90.0 << 52.8 << 12.0;
        QTest::newRow("03:00:00 hour right") << s << "03:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("03:30:00 hour half past 3") << s << "03:30:00" << 0 << 15.0 << 36.0 << 4.8;
        QTest::newRow("03:30:00 minute down") << s << "03:30:00" << 1 << 90.0 << 48.0 << 9.6;
        QTest::newRow("15:00:00 hour as at 3") << s << "15:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("00:15:45 minute past 3") << s << "00:15:45" << 1 << 4.5 << 48.0 << 9.6;
        const QSize wide(200, 100);
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
        const Tip forward = farthestDark(r.backing(), centre);
        QVERIFY2(angleDifference(forward.angle, angle) < 3,
                 qPrintable(QString::number(forward.angle)));
        QVERIFY2(std::abs(forward.length - length) < 1.5,
                 qPrintable(QString::number(forward.length)));
        const Tip back = farthestDark(r.backing(), centre, angle + 180);
        QVERIFY2(std::abs(back.length - tail) < 2.5, qPrintable(QString::number(back.length)));
    }

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
        r.setClientSize(QSize(128, 128)); // a resize forces the next frame, whatever the time
        QVERIFY(r.Render(t.addSecs(1)));
    }

    void noSecondHandAtWidthZeroOrLess() {
        for (int16_t width : {0, -2}) {
            Options().SW = width;
            ClockRenderer r;
            oneHand(r, 2, QSize(128, 128));
            r.Render(at("12:00:00"));
            QCOMPARE(farthestDark(r.backing(), QPoint(64, 64)).length, -1.0);
        }
    }

    // Each frame restores only the previous hands; it must equal a frame drawn from scratch,
    // and the pixels that differ from the previous frame must lie in lastChangedRegion().
    void partialFramesEqualFullFrames() {
        const QSize size(150, 150);
        const std::array<ColorBytes, 3> hands{{{30, 40, 200}, {10, 200, 10}, {250, 0, 120}}};
        ClockRenderer running;
        prepare(running, size, face(300), hands);
        QDateTime t = at("09:58:50");
        QImage previous;
        for (int i = 0; i < 75; ++i, t = t.addSecs(1)) {
            if (i == 40) { // the style changes in the middle
                Options().HW = 3;
                Options().SW = 5;
            }
            QVERIFY(running.Render(t));
            ClockRenderer fresh;
            prepare(fresh, size, running.ImgClk, hands);
            fresh.Render(t);
            QCOMPARE(running.backing(), fresh.backing());
            if (!previous.isNull()) {
                QVERIFY(running.lastChanged().width() < 150 ||
                        running.lastChanged().height() < 150);
                for (int y = 0; y < 150; ++y)
                    for (int x = 0; x < 150; ++x)
                        if (previous.pixel(x, y) != running.backing().pixel(x, y))
                            QVERIFY(running.lastChangedRegion().contains(QPoint(x, y)));
            }
            previous = running.backing().copy();
        }
    }

    // No face: hands on white. A face that turns up later is fitted by the next frame; a new
    // face, as the desktop capture makes, repaints everything; see-through parts show white.
    void faceFitting() {
        ClockRenderer r;
        prepare(r, QSize(96, 48));
        QVERIFY(r.Render(at("06:00:00")));
        QCOMPARE(r.backing().pixel(2, 2), qRgb(255, 255, 255));
        QVERIFY(r.backing().pixel(48, 34) != qRgb(255, 255, 255)); // the hour hand
        r.ImgClk = face(128);
        QVERIFY(r.Render(at("06:00:01")));
        QCOMPARE(r.ScaledFace.size(), QSize(96, 48));
        QCOMPARE(r.lastChanged(), QRect(0, 0, 96, 48));
        r.Render(at("06:00:02"));
        QVERIFY(r.lastChanged() != QRect(0, 0, 96, 48));

        QImage picture(256, 256, QImage::Format_ARGB32);
        picture.fill(qRgb(200, 10, 10));
        for (int y = 0; y < 128; ++y) // the top left quarter is see-through
            for (int x = 0; x < 128; ++x)
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
        r.ImgClk = picture;
        r.RecalcImage(false);
        r.Render(at("06:00:03"));
        QCOMPARE(r.lastChanged(), QRect(0, 0, 96, 48));
        QCOMPARE(r.backing().pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(r.backing().pixel(95, 47), qRgb(200, 10, 10));
    }

    void loadStyle() {
        const QString folder = TestSupport::scratchFolder("style");
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        QVERIFY(red.save(folder + "/red.bmp"));
        QVERIFY(TestSupport::writeFile(folder + "/broken.bmp", "BM not a bitmap"));
        ClockRenderer r;
        Options().StyleFile = folder + "\\red.bmp"; // as a file has it
        Options().HCol = 0x4040FF;
        Options().MCol = 0x123456;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(colour(r.HourRgb), 0x4040FF);
        QCOMPARE(colour(r.MinuteRgb), 0x123456);
        // A style whose picture cannot be read keeps the face it had, but takes the colours.
        Options().StyleFile = folder + "/broken.bmp";
        Options().HCol = 0;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(colour(r.HourRgb), 0);
    }
};

QTEST_MAIN(tst_ClockRenderer)
#include "tst_ClockRenderer.moc"
