#include "mainwindow/TickTimer.h"

#include <QTest>

class tst_TickTimer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // It repeats until stopped; a restart with a new interval replaces the running timer
    // rather than adding a second one.
    void repeatsRestartsAndStops() {
        int calls = 0;
        TickTimer t([&calls] { ++calls; });
        t.start(10);
        QVERIFY(t.isActive());
        QTRY_VERIFY_WITH_TIMEOUT(calls >= 3, 5000);
        t.start(60'000);
        QCOMPARE(t.interval(), 60'000);
        const int atRestart = calls;
        QTest::qWait(100);
        QCOMPARE(calls, atRestart);
        t.stop();
        QVERIFY(!t.isActive());
        t.setInterval(5);
        t.start();
        QTRY_VERIFY_WITH_TIMEOUT(calls > atRestart, 5000);
        t.stop();
        const int atStop = calls;
        QTest::qWait(50);
        QCOMPARE(calls, atStop);
    }

    // The callback may stop its own timer: no call comes after that.
    void stopsFromItsOwnCallback() {
        int calls = 0;
        TickTimer t;
        t.setCallback([&] {
            ++calls;
            t.stop();
        });
        t.start(5);
        QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 5000);
        QTest::qWait(50);
        QCOMPARE(calls, 1);
        QVERIFY(!t.isActive());
    }
};

QTEST_GUILESS_MAIN(tst_TickTimer)
#include "tst_TickTimer.moc"
