#include "TestSupport.h"
#include "render/ClockRenderer.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <cmath>

namespace {

const ColorBytes Black{0, 0, 0};
const ColorBytes White{255, 255, 255};

QDateTime at(const QString& hms) {
    return QDateTime(QDate(2026, 3, 14), QTime::fromString(hms, QStringLiteral("HH:mm:ss")));
}

QImage face(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            img.setPixel(x, y, qRgb((x * 3) % 256, (y * 5) % 256, ((x ^ y) * 7) % 256));
    return img;
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
            if (qRed(img.pixel(x, y)) > 200)
                continue;
            const double dx = x - centre.x();
            const double dy = y - centre.y();
            if (towards) {
                const double r = *towards * M_PI / 180;
                if (dx * std::cos(r) + dy * std::sin(r) <= 0)
                    continue;
            }
            const double len = std::hypot(dx, dy);
            if (len > tip.length) {
                tip.length = len;
                tip.angle = std::atan2(dy, dx) * 180 / M_PI;
            }
        }
    return tip;
}

double angleDifference(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

} // namespace

class tst_ClockRenderer : public QObject {
    Q_OBJECT

private:
    // A renderer that shows only one hand: the others are white on the white background.
    ClockRenderer oneHand(int hand, QSize size) {
        ClockRenderer r;
        r.HourRgb = hand == 0 ? Black : White;
        r.MinuteRgb = hand == 1 ? Black : White;
        r.SecondsRgb = hand == 2 ? Black : White;
        r.setClientSize(size);
        r.RecalcImage(true);
        return r;
    }

private Q_SLOTS:
    void init() {
        Options().Defaults();
        Options().StyleFile = QString();
    }

    void geometry_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<float>("rx");
        QTest::addColumn<float>("ry");
        QTest::newRow("64") << QSize(64, 64) << QPoint(32, 32) << 24.0f << 24.0f;
        QTest::newRow("128") << QSize(128, 128) << QPoint(64, 64) << 48.0f << 48.0f;
        QTest::newRow("256") << QSize(256, 256) << QPoint(128, 128) << 96.0f << 96.0f;
        QTest::newRow("dragged 200 x 100") << QSize(200, 100) << QPoint(100, 50) << 75.0f << 37.5f;
        QTest::newRow("odd sizes round to even")
            << QSize(101, 99) << QPoint(50, 50) << 37.875f << 37.125f;
    }
    void geometry() {
        QFETCH(QSize, size);
        QFETCH(QPoint, centre);
        QFETCH(float, rx);
        QFETCH(float, ry);
        ClockRenderer r;
        r.setClientSize(size);
        QCOMPARE(QPoint(r.FaceCenterX, r.FaceCenterY), centre);
        QCOMPARE(r.HandRadiusX, rx);
        QCOMPARE(r.HandRadiusY, ry);
        QCOMPARE(r.LastDrawnSecond, ClockRenderer::ForceFrame);
        QCOMPARE(r.backing().size(), size);
    }

    // 128-pixel client: hour 36, minute 48, second 52.8 pixels; tails 4.8, 9.6 and 12.
    void handDirections_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("hand");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("length");
        QTest::addColumn<double>("tail");
        QTest::newRow("12:00:00 hour up") << "12:00:00" << 0 << -90.0 << 36.0 << 4.8;
        QTest::newRow("12:00:00 minute up") << "12:00:00" << 1 << -90.0 << 48.0 << 9.6;
        QTest::newRow("12:00:00 second up") << "12:00:00" << 2 << -90.0 << 52.8 << 12.0;
        QTest::newRow("03:00:00 hour right") << "03:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("03:00:00 minute up") << "03:00:00" << 1 << -90.0 << 48.0 << 9.6;
        QTest::newRow("03:00:00 second up") << "03:00:00" << 2 << -90.0 << 52.8 << 12.0;
        QTest::newRow("03:30:00 hour half past 3") << "03:30:00" << 0 << 15.0 << 36.0 << 4.8;
        QTest::newRow("03:30:00 minute down") << "03:30:00" << 1 << 90.0 << 48.0 << 9.6;
        QTest::newRow("15:00:00 hour as at 3") << "15:00:00" << 0 << 0.0 << 36.0 << 4.8;
        QTest::newRow("00:15:45 minute just past 3") << "00:15:45" << 1 << 4.5 << 48.0 << 9.6;
        QTest::newRow("00:15:45 second at 9") << "00:15:45" << 2 << 180.0 << 52.8 << 12.0;
        QTest::newRow("18:00:00 hour down") << "18:00:00" << 0 << 90.0 << 36.0 << 4.8;
    }
    void handDirections() {
        QFETCH(QString, time);
        QFETCH(int, hand);
        QFETCH(double, angle);
        QFETCH(double, length);
        QFETCH(double, tail);
        ClockRenderer r = oneHand(hand, QSize(128, 128));
        // The hidden hands are white: keep them thin so they do not wipe out the one looked
        // at where they cross it.
        r.useWidths(hand == 0 ? 4 : 1, hand == 1 ? 4 : 1, hand == 2 ? 4 : 1);
        QVERIFY(r.Render(at(time)));
        const Tip forward = farthestDark(r.backing(), QPoint(64, 64));
        QVERIFY2(angleDifference(forward.angle, angle) < 2.5,
                 qPrintable(QString::number(forward.angle)));
        QVERIFY2(std::abs(forward.length - length) < 1.5,
                 qPrintable(QString::number(forward.length)));
        const Tip back = farthestDark(r.backing(), QPoint(64, 64), angle + 180);
        QVERIFY2(std::abs(back.length - tail) < 2.5, qPrintable(QString::number(back.length)));
    }

    void handTipsFollowAnEllipse() {
        ClockRenderer r = oneHand(1, QSize(200, 100));
        QVERIFY(r.Render(at("00:15:00")));
        Tip tip = farthestDark(r.backing(), QPoint(100, 50));
        QVERIFY(std::abs(tip.length - 75) < 1.5);
        QVERIFY(angleDifference(tip.angle, 0) < 2);
        r.LastDrawnSecond = ClockRenderer::ForceFrame;
        QVERIFY(r.Render(at("00:00:00")));
        tip = farthestDark(r.backing(), QPoint(100, 50));
        QVERIFY(std::abs(tip.length - 37.5) < 1.5);
        QVERIFY(angleDifference(tip.angle, -90) < 3);
    }

    void drawsOncePerSecond() {
        ClockRenderer r = oneHand(2, QSize(128, 128));
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

    void secondHandWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("0: none") << 0 << false;
        QTest::newRow("negative: none") << -2 << false;
        QTest::newRow("1: a thin line") << 1 << true;
        QTest::newRow("2") << 2 << true;
    }
    void secondHandWidth() {
        QFETCH(int, width);
        QFETCH(bool, drawn);
        Options().SW = int16_t(width);
        ClockRenderer r = oneHand(2, QSize(128, 128));
        r.Render(at("12:00:00"));
        QCOMPARE(farthestDark(r.backing(), QPoint(64, 64)).length > 0, drawn);
    }

    void widthsOfTheirOwn() {
        Options().SW = 2;
        ClockRenderer r = oneHand(2, QSize(128, 128));
        r.useWidths(8, 4, 0);
        r.Render(at("12:00:00"));
        QCOMPARE(farthestDark(r.backing(), QPoint(64, 64)).length, -1.0);
        r.useOptions();
        r.LastDrawnSecond = ClockRenderer::ForceFrame;
        r.Render(at("12:00:00"));
        QVERIFY(farthestDark(r.backing(), QPoint(64, 64)).length > 50);
    }

    void hourHandIsAKite() {
        ClockRenderer r = oneHand(0, QSize(128, 128));
        r.useWidths(8, 1, 1); // the white minute and second hands only cover column 64
        r.Render(at("03:00:00"));
        // Column 65, just right of the shared base (60 to 68): the outline lines run from the
        // corners to the tip, 1/9 of a pixel inwards per column, so their outer pixels keep
        // 1/9 of the white.
        QList<int> column;
        for (int y = 57; y <= 71; ++y)
            column.append(qRed(r.backing().pixel(65, y)));
        QCOMPARE(column, (QList<int>{255, 255, 28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 255, 255}));
        QCOMPARE(qRed(r.backing().pixel(100, 64)), 0); // forward tip, 36 pixels out
        QCOMPARE(qRed(r.backing().pixel(101, 64)), 255);
        QCOMPARE(qRed(r.backing().pixel(59, 64)), 0); // tail tip, 4.8 pixels back
        QCOMPARE(qRed(r.backing().pixel(58, 64)), 255);
    }

    // Each frame restores only the previous hands; it must equal a frame drawn from scratch,
    // and the pixels that differ from the previous frame must lie in lastChanged().
    void partialFramesEqualFullFrames() {
        ClockRenderer running;
        running.ImgClk = face(300);
        running.HourRgb = {30, 40, 200};
        running.MinuteRgb = {10, 200, 10};
        running.SecondsRgb = {250, 0, 120};
        running.setClientSize(QSize(150, 150));
        running.RecalcImage(true);
        QDateTime t = at("09:58:50");
        QImage previous;
        for (int i = 0; i < 75; ++i, t = t.addSecs(1)) {
            if (i == 40) { // the style changes in the middle
                Options().HW = 3;
                Options().SW = 5;
            }
            QVERIFY(running.Render(t));
            ClockRenderer fresh;
            fresh.ImgClk = running.ImgClk;
            fresh.HourRgb = running.HourRgb;
            fresh.MinuteRgb = running.MinuteRgb;
            fresh.SecondsRgb = running.SecondsRgb;
            fresh.setClientSize(QSize(150, 150));
            fresh.RecalcImage(true);
            fresh.Render(t);
            QCOMPARE(running.backing(), fresh.backing());
            if (!previous.isNull()) {
                const QRect changed = running.lastChanged();
                QVERIFY(!changed.isEmpty());
                QVERIFY(changed.width() < 150 || changed.height() < 150);
                for (int y = 0; y < 150; ++y)
                    for (int x = 0; x < 150; ++x)
                        if (previous.pixel(x, y) != running.backing().pixel(x, y))
                            QVERIFY(running.lastChangedRegion().contains(QPoint(x, y)));
            }
            previous = running.backing().copy();
        }
    }

    void faceChangeRepaintsEverything() {
        ClockRenderer r;
        r.ImgClk = face(64);
        r.setClientSize(QSize(64, 64));
        r.RecalcImage(true);
        r.Render(at("01:02:03"));
        QCOMPARE(r.lastChanged(), QRect(0, 0, 64, 64));
        r.Render(at("01:02:04"));
        QVERIFY(r.lastChanged() != QRect(0, 0, 64, 64));
        r.ImgClk = face(64).mirrored();
        r.RecalcImage(false);                                   // as the desktop capture does
        QCOMPARE(r.ScaledFace.cacheKey(), r.ImgClk.cacheKey()); // the same picture, no copy
        r.Render(at("01:02:05"));
        QCOMPARE(r.lastChanged(), QRect(0, 0, 64, 64));
        QCOMPARE(r.backing().pixel(1, 1), face(64).mirrored().pixel(1, 1));
    }

    void faceIsFittedToTheClientArea() {
        ClockRenderer r;
        QImage big(256, 256, QImage::Format_RGB32);
        big.fill(qRgb(200, 10, 10));
        r.ImgClk = big;
        r.setClientSize(QSize(96, 48));
        r.RecalcImage(true);
        QCOMPARE(r.ScaledFace.size(), QSize(96, 48));
        r.Render(at("00:00:00"));
        QCOMPARE(r.backing().pixel(0, 0), qRgb(200, 10, 10));
        QCOMPARE(r.backing().pixel(95, 47), qRgb(200, 10, 10));
    }

    void noFaceShowsHandsOnWhite() {
        ClockRenderer r;
        r.setClientSize(QSize(64, 64));
        r.RecalcImage(true);
        QVERIFY(r.ScaledFace.isNull());
        QVERIFY(r.Render(at("06:00:00")));
        QCOMPARE(r.backing().pixel(2, 2), qRgb(255, 255, 255));
        QVERIFY(r.backing().pixel(32, 50) != qRgb(255, 255, 255));
        // A face that turns up later is fitted by the next frame.
        r.ImgClk = face(128);
        QVERIFY(r.Render(at("06:00:01")));
        QCOMPARE(r.ScaledFace.size(), QSize(64, 64));
        QVERIFY(r.backing().pixel(2, 2) != qRgb(255, 255, 255));
    }

    void transparentFaceShowsWhiteBehind() {
        QImage clear(32, 32, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        ClockRenderer r;
        r.ImgClk = clear;
        r.setClientSize(QSize(32, 32));
        r.RecalcImage(true);
        r.Render(at("00:00:00"));
        QCOMPARE(r.backing().pixel(1, 1), qRgb(255, 255, 255));
    }

    void loadStyle() {
        const QString folder = TestSupport::scratchFolder(QStringLiteral("style"));
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(qRgb(255, 0, 0));
        QVERIFY(red.save(folder + QStringLiteral("/red.bmp")));
        ClockRenderer r;
        Options().StyleFile = QString(folder + QStringLiteral("\\red.bmp")); // as a file has it
        Options().HCol = 0x4040FF;
        Options().MCol = 0x123456;
        Options().SCol = 0xFF0000;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(int(r.HourRgb.Red), 0xFF);
        QCOMPARE(int(r.HourRgb.Blue), 0x40);
        QCOMPARE(int(r.MinuteRgb.Green), 0x34);
        QCOMPARE(int(r.SecondsRgb.Blue), 0xFF);
        // A style whose picture cannot be read keeps the face it had.
        Options().StyleFile = folder + QStringLiteral("/missing.bmp");
        Options().HCol = 0;
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
        QCOMPARE(int(r.HourRgb.Red), 0);
        TestSupport::writeFile(folder + QStringLiteral("/broken.bmp"), "BM not a bitmap");
        Options().StyleFile = folder + QStringLiteral("/broken.bmp");
        r.pLoadStyle();
        QCOMPARE(r.ImgClk.size(), QSize(40, 40));
    }

    void emptyClientAreaDrawsNothing() {
        ClockRenderer r;
        r.ImgClk = face(32);
        r.setClientSize(QSize(0, 0));
        r.RecalcImage(true);
        QVERIFY(!r.Render(at("00:00:01")));
        QVERIFY(r.lastChanged().isEmpty());
    }
};

QTEST_MAIN(tst_ClockRenderer)
#include "tst_ClockRenderer.moc"
