#include "AlarmTestFiles.h"
#include "alarms/AlarmTime.h"

#include <QtTest>

using AlarmTestFiles::alarmAt;

class tst_AlarmTime : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void moveRingTime_data() {
        QTest::addColumn<int>("hh");
        QTest::addColumn<int>("mm");
        QTest::addColumn<qint64>("minutes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("past midnight") << 23 << 50 << qint64(15) << "00:05";
        QTest::newRow("negative before midnight") << 0 << 5 << qint64(-10) << "23:55";
        QTest::newRow("largest interval") << 0 << 0 << qint64(2147483647) << "02:07";
        QTest::newRow("smallest interval") << 0 << 0 << qint64(-2147483648LL) << "21:52";
        // Hand-edited files can hold hours past 23: they count as days plus the rest.
        QTest::newRow("hour 25") << 25 << 0 << qint64(30) << "01:30";
    }
    void moveRingTime() {
        QFETCH(int, hh);
        QFETCH(int, mm);
        QFETCH(qint64, minutes);
        QFETCH(QString, expected);
        KAlarmPtr a = alarmAt(hh, mm, 1);
        MoveRingTime(*a, minutes);
        QCOMPARE(RingTimeText(*a), expected);
        QCOMPARE(a->HH, int16_t(hh)); // only the due time moves
        QCOMPARE(a->DefMM, int16_t(mm));
    }

    void snooze_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("due"); // empty: not snoozed
        // Counted from the due time 07:30, whatever the time now.
        QTest::newRow("blanks around") << " 12 "
                                       << "07:42";
        QTest::newRow("past midnight") << "1000"
                                       << "00:10";
        QTest::newRow("negative") << "-30"
                                  << "07:00";
        QTest::newRow("largest 16-bit") << "32767"
                                        << "01:37";
        QTest::newRow("fraction") << "5.5"
                                  << "";
        QTest::newRow("number and text") << "5 min"
                                         << "";
        QTest::newRow("beyond 16 bits") << "40000"
                                        << "";
    }
    void snooze() {
        QFETCH(QString, text);
        QFETCH(QString, due);
        KAlarmPtr a = alarmAt(7, 30, -1);
        a->Rang = true;
        QCOMPARE(Snooze(*a, text), !due.isEmpty());
        QCOMPARE(RingTimeText(*a), due.isEmpty() ? "07:30" : due);
        QCOMPARE(a->Rang, due.isEmpty()); // a failed snooze leaves the alarm as it was
    }
};

QTEST_GUILESS_MAIN(tst_AlarmTime)
#include "tst_AlarmTime.moc"
