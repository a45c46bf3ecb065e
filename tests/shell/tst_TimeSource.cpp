#include "shell/TimeSource.h"

#include <QTest>
#include <ctime>

class tst_TimeSource : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // A zone whose offset is not whole hours, before the first reading of the clock.
        qputenv("TZ", ":Asia/Kathmandu");
        tzset();
    }

    // The tick's reading agrees with the full local date and time read around it.
    void timeOfDayIsTheLocalTime() {
        for (int i = 0; i < 3; ++i) {
            const QTime before = QDateTime::currentDateTime().time();
            const QTime now = TimeSource::timeOfDay();
            const QTime after = QDateTime::currentDateTime().time();
            if (after < before)
                continue; // midnight between the readings
            QVERIFY2(before <= now && now <= after,
                     qPrintable(now.toString(QStringLiteral("hh:mm:ss.zzz")) + " not within " +
                                before.toString(QStringLiteral("hh:mm:ss.zzz")) + ".." +
                                after.toString(QStringLiteral("hh:mm:ss.zzz"))));
        }
    }

    void timeOfDayFollowsAReplacedClock() {
        TimeSource::setFixed(QDateTime(QDate(2026, 3, 29), QTime(23, 59, 59, 500)));
        QCOMPARE(TimeSource::timeOfDay(), QTime(23, 59, 59, 500));
        TimeSource::reset();
    }
};

QTEST_GUILESS_MAIN(tst_TimeSource)
#include "tst_TimeSource.moc"
