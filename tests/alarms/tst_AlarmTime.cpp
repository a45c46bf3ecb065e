#include "alarms/AlarmTime.h"

#include <QtTest>

namespace {
KAlarm alarmAt(int hh, int mm) {
    KAlarm a;
    a.HH = a.RingHH = a.DefHH = int16_t(hh);
    a.mm = a.RingMM = a.DefMM = int16_t(mm);
    return a;
}
} // namespace

class tst_AlarmTime : public QObject {
    Q_OBJECT

private Q_SLOTS:

    void moveRingTime_data() {
        QTest::addColumn<int>("hh");
        QTest::addColumn<int>("mm");
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("into the next hour") << 7 << 50 << qint64(15) << "08:05";
        QTest::newRow("past midnight") << 23 << 50 << qint64(15) << "00:05";
        QTest::newRow("negative before midnight") << 0 << 5 << qint64(-10) << "23:55";
        QTest::newRow("more than a day") << 7 << 30 << qint64(40000) << "02:10";
        QTest::newRow("largest interval") << 0 << 0 << qint64(2147483647) << "02:07";
        QTest::newRow("smallest interval") << 0 << 0 << qint64(-2147483648LL) << "21:52";
        // Hand-edited files can hold hours past 23: they count as days plus the rest.
        QTest::newRow("hour 25") << 25 << 0 << qint64(30) << "01:30";
        QTest::newRow("negative hour") << -1 << 0 << qint64(0) << "23:00";
    }

    void moveRingTime() {
        QFETCH(int, hh);
        QFETCH(int, mm);
        QFETCH(qint64, minutes);
        QFETCH(QString, expected);
        KAlarm a = alarmAt(hh, mm);
        MoveRingTime(a, minutes);
        QCOMPARE(RingTimeText(a), expected);
        // Only the due time moves; the configured and saved times stay.
        QCOMPARE(a.HH, int16_t(hh));
        QCOMPARE(a.DefMM, int16_t(mm));
    }

    void snooze_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("snoozed");
        QTest::addColumn<QString>("due");
        // Counted from the due time 07:30, whatever the time now.
        QTest::newRow("blanks around") << " 12 " << true << "07:42";
        QTest::newRow("300") << "300" << true << "12:30";
        QTest::newRow("past midnight") << "1000" << true << "00:10";
        QTest::newRow("0 only clears Rang") << "0" << true << "07:30";
        QTest::newRow("negative") << "-30" << true << "07:00";
        QTest::newRow("largest 16-bit") << "32767" << true << "01:37";
        QTest::newRow("empty") << "" << false << "07:30";
        QTest::newRow("fraction") << "5.5" << false << "07:30";
        QTest::newRow("number and text") << "5 min" << false << "07:30";
        QTest::newRow("beyond 16 bits") << "40000" << false << "07:30";
    }

    void snooze() {
        QFETCH(QString, text);
        QFETCH(bool, snoozed);
        QFETCH(QString, due);
        KAlarm a = alarmAt(7, 30);
        a.Rang = true;
        QCOMPARE(Snooze(a, text), snoozed);
        QCOMPARE(RingTimeText(a), due);
        QCOMPARE(a.Rang, !snoozed); // a failed snooze leaves the alarm as it was
    }
};

QTEST_GUILESS_MAIN(tst_AlarmTime)
#include "tst_AlarmTime.moc"
