#include "render/HandTrig.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double Pi = 3.14159; // as the clock's geometry writes it

// Every angle a hand is drawn at, formed as the renderer, the second hand's positions and the
// style preview form them, then for each the quarter turn on that HandOutline also asks for.
QList<float> handAngles() {
    QList<float> angles;
    for (int hour = 0; hour < 24; ++hour)
        for (int minute = 0; minute < 60; ++minute)
            angles << static_cast<float>(((hour + minute / 60.0) - 3) / 6 * Pi);
    for (int minute = 0; minute < 60; ++minute)
        for (int s = 0; s < 60; ++s)
            angles << static_cast<float>(((minute + s / 60.0) - 15) / 30 * Pi);
    for (int second = 0; second < 60; ++second)
        angles << static_cast<float>((second - 15) / 30.0 * Pi);
    const qsizetype hands = angles.size();
    for (qsizetype i = 0; i < hands; ++i)
        angles << static_cast<float>(Pi / 2 + angles[i]);
    return angles;
}

bool same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool withinAnUlp(double a, double b) {
    return same(a, b) || std::nextafter(a, b) == b;
}

// The angle and what came of it, every bit shown.
QByteArray shown(double angle, HandTrig::CosSin v) {
    char text[128];
    std::snprintf(text, sizeof text, "%a: %a %a, libm %a %a", angle, v.cos, v.sin, std::cos(angle),
                  std::sin(angle));
    return text;
}

// Rows for the code with fused multiply-adds (where the processor has them) and the plain code.
void bothWays() {
    QTest::addColumn<bool>("plain");
    QTest::newRow("fma where there is one") << false;
    QTest::newRow("plain") << true;
}

} // namespace

class tst_HandTrig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { HandTrig::FmaAllowed() = true; }

    void handAnglesAsLibm_data() { bothWays(); }
    void handAnglesAsLibm() {
        QFETCH(bool, plain);
        HandTrig::FmaAllowed() = !plain;
        const QList<float> angles = handAngles();
        QCOMPARE(angles.size(), 2 * (24 * 60 + 60 * 60 + 60));
        int differing = 0;
        for (float angle : angles) {
            const double x = angle;
            for (const HandTrig::CosSin v : {HandTrig::Of(angle), HandTrig::OfInFull(angle)})
                if ((!same(v.cos, std::cos(x)) || !same(v.sin, std::sin(x))) && ++differing <= 5)
                    qWarning("%s", shown(x, v).constData());
        }
        QCOMPARE(differing, 0);
    }

    // Angles no hand takes, across every step and quarter turn both ways and down to the
    // smallest floats. libm is not rounded correctly everywhere, so a few are an ulp away;
    // the quick sum, the full one, and both with and without fused multiply-adds agree.
    void otherAngles() {
        QList<float> angles;
        QRandomGenerator random(7);
        for (int i = 0; i < 200000; ++i)
            angles << static_cast<float>(random.bounded(512.0) - 256.0);
        for (float a = 1.0f; a > 0; a /= 2)
            angles << a << -a;
        QList<HandTrig::CosSin> fused;
        for (float angle : angles)
            fused << HandTrig::Of(angle);
        HandTrig::FmaAllowed() = false;
        int differing = 0;
        for (qsizetype i = 0; i < angles.size(); ++i) {
            const double x = angles[i];
            const HandTrig::CosSin v = HandTrig::Of(angles[i]);
            const HandTrig::CosSin full = HandTrig::OfInFull(angles[i]);
            QVERIFY2(same(v.cos, fused[i].cos) && same(v.sin, fused[i].sin), shown(x, v));
            QVERIFY2(same(v.cos, full.cos) && same(v.sin, full.sin), shown(x, full));
            QVERIFY2(withinAnUlp(v.cos, std::cos(x)) && withinAnUlp(v.sin, std::sin(x)),
                     shown(x, v));
            differing += !same(v.cos, std::cos(x)) || !same(v.sin, std::sin(x));
        }
        QVERIFY2(differing < angles.size() / 200, qPrintable(QString::number(differing)));
    }

    // The floats (in the binades searched) whose cosine or sine comes closest to halfway
    // between two doubles, 2^-24 of an ulp or nearer; the values are the nearest doubles, found
    // with 300-bit arithmetic. libm rounds half of these the other way.
    void closestToHalfway_data() { bothWays(); }
    void closestToHalfway() {
        QFETCH(bool, plain);
        HandTrig::FmaAllowed() = !plain;
        struct Nearest {
            float angle;
            double cos, sin;
        };
        const QList<Nearest> nearest = {
            {0x1.41d418p-1f, 0x1.9e2400180659ep-1, 0x1.2d0cfc965fd81p-1},
            {0x1.5939c4p-1f, 0x1.8ff4ae47f0051p-1, 0x1.3fa7b35db7cf7p-1},
            {0x1.77a75cp-1f, 0x1.7c4388aee768dp-1, 0x1.56d899215e871p-1},
            {0x1.ee41cp+1f, -0x1.80feecce021b2p-1, -0x1.51860fc5c570ap-1},
            {0x1.f3873ap+1f, -0x1.72c5ec8455ea8p-1, -0x1.6116946a8463fp-1},
            {0x1.fcb922p+1f, -0x1.587974293f8f2p-1, -0x1.7aca12850b933p-1},
            {0x1.27ab9cp+3f, -0x1.f741807916192p-1, 0x1.78e1f4a719be8p-3},
            {0x1.8117dep+3f, 0x1.b92f533ddf15ap-1, -0x1.03ceb5a539bc1p-1},
            {0x1.c954fap+3f, -0x1.3b11eb2091ac9p-3, 0x1.f9e7a1e9bea8cp-1},
            {0x1.fa5b4p+3f, -0x1.fc940cb5f1655p-1, -0x1.d8c062807fa53p-4},
            {0x1.83e3cap+6f, -0x1.d4245535d87bbp-1, 0x1.9eaab31f7aabfp-2},
            {0x1.bdf38p+6f, -0x1.3d54695ed8272p-5, -0x1.ff9da00264e89p-1},
        };
        for (const Nearest& n : nearest)
            for (const float sign : {1.0f, -1.0f})
                for (const HandTrig::CosSin v :
                     {HandTrig::Of(sign * n.angle), HandTrig::OfInFull(sign * n.angle)})
                    QVERIFY2(same(v.cos, n.cos) && same(v.sin, sign * n.sin),
                             shown(sign * n.angle, v));
    }

    // Zero, which keeps its sign, angles passed on to libm, and angles asked for again after
    // others (the last answers are kept).
    void edgesAndRepeats() {
        // In a list, so that the compiler cannot work out std::cos and std::sin itself.
        const QList<float> angles = {0.0f, -0.0f, 256.0f, -256.0f, 1e6f, -3e38f, INFINITY,
                                     1.0f, 2.0f,  1.0f,   3.0f,    2.0f, 1.0f,   1.0f};
        for (float angle : angles) {
            const HandTrig::CosSin v = HandTrig::Of(angle);
            QVERIFY2(same(v.cos, std::cos(double(angle))) && same(v.sin, std::sin(double(angle))),
                     shown(angle, v));
        }
        const HandTrig::CosSin v = HandTrig::Of(NAN);
        QVERIFY(std::isnan(v.cos) && std::isnan(v.sin));
    }
};

QTEST_MAIN(tst_HandTrig)
#include "tst_HandTrig.moc"
