#include "AlarmTestFiles.h"
#include "alarms/AlarmCheck.h"
#include "alarms/AlarmTime.h"
#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QTimeZone>
#include <QtTest>
#include <stdexcept>
#include <unistd.h>

using namespace AlarmTestFiles;

namespace {
KAlarmPtr addAlarm(int hh, int mm, int bSave, int minutes = 0) {
    Options().Alarms.append(alarmAt(hh, mm, bSave, minutes));
    return Options().Alarms.last();
}
} // namespace

class tst_AlarmCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() {
        Options().Alarms.clear();
        TestSupport::resetNow();
    }

    void recurrenceOverTwoDays_data() {
        QTest::addColumn<int>("bSave");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QTime>("due");
        QTest::addColumn<QStringList>("expected");
        const QTime t0730(7, 30);
        QTest::newRow("daily") << -1 << 0 << t0730 << QStringList{"1 07:30", "2 07:30"};
        QTest::newRow("once") << 0 << 0 << t0730 << QStringList{"1 07:30"};
        QStringList quarterHours{"1 23:50"};
        for (int m = 5; m < 1440; m += 15)
            quarterHours << QTime(m / 60, m % 60).toString("2 HH:mm");
        QTest::newRow("every 15 across midnight") << 1 << 15 << QTime(23, 50) << quarterHours;
        QTest::newRow("every 0 is once a day")
            << 1 << 0 << t0730 << QStringList{"1 07:30", "2 07:30"};
        QTest::newRow("every -10 moves back a day")
            << 1 << -10 << t0730 << QStringList{"1 07:30", "2 07:20"};
        // The check starts out remembering minute 0: the run's first minute is not checked.
        QTest::newRow("daily in the run's first minute")
            << -1 << 0 << QTime(0, 0) << QStringList{"2 00:00"};
        QTest::newRow("daily on the hour")
            << -1 << 0 << QTime(1, 0) << QStringList{"1 01:00", "2 01:00"};
        // A tick that comes late still checks its minute.
        QTest::newRow("daily, second 0 missed")
            << -1 << 0 << QTime(7, 30, 1) << QStringList{"1 07:30", "2 07:30"};
    }
    void recurrenceOverTwoDays() {
        QFETCH(int, bSave);
        QFETCH(int, minutes);
        QFETCH(QTime, due);
        QFETCH(QStringList, expected);
        KAlarmPtr alarm = addAlarm(due.hour(), due.minute(), bSave, minutes);
        alarm->SwiMsg = true;
        AlarmCheck check;
        QStringList fired;
        check.openMessage = [&fired](const KAlarmPtr& a) {
            const QDateTime now = TimeSource::now();
            fired << QString::number(at(1, 0, 0).daysTo(now) + 1) + now.toString(" HH:mm");
            QCOMPARE(RingTimeText(*a), now.toString("HH:mm")); // opened before moving on
        };
        // Ticks 600 ms apart, two in every second 0; a second given is skipped on day 1.
        QDateTime current;
        TimeSource::setFunction([&current] { return current; });
        const QDateTime skip = at(1, due.hour(), due.minute());
        for (current = at(1, 0, 0); current < at(3, 0, 0); current = current.addMSecs(600))
            if (due.second() == 0 || current < skip || current >= skip.addSecs(1))
                check.Tick(TimeSource::now());
        QCOMPARE(fired, expected);
        QCOMPARE(QList<int>({alarm->HH, alarm->DefMM}), QList<int>({due.hour(), due.minute()}));
    }

    // The wall clock jumps: suspend and resume, the clock set back, daylight saving time in
    // Berlin starting and ending. Alarms a..d are daily at 08:00, once at 09:30, every 15
    // minutes from 08:00, and daily at 02:30. Ticks come at the given local times, or every
    // 30 seconds between two times joined by "..".
    void wallClockJumps_data() {
        QTest::addColumn<QStringList>("ticks");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("suspended three hours")
            << QStringList{"06-10 07:59:30", "06-10 11:00:10", "06-10 11:00:50", "06-10 11:15:00"}
            << QStringList{"a 08:00 at 11:00", "c 08:00 at 11:00", "b 09:30 at 11:00",
                           "c 11:15 at 11:15"};
        QTest::newRow("more than twelve hours passed over")
            << QStringList{"06-10 07:59:30", "06-10 20:15:00", "06-10 20:15:40"} << QStringList{};
        QTest::newRow("clock set back an hour")
            << QStringList{"06-10 07:59:50", "06-10 08:00:10", "06-10 08:01:00",
                           "06-10 07:00:30", "06-10 07:59:59", "06-10 08:00:05"}
            << QStringList{"a 08:00 at 08:00", "c 08:00 at 08:00"};
        QTest::newRow("hour repeated at the end of summer time")
            << QStringList{"10-25 01:50:00 .. 10-25 03:10:00"} << QStringList{"d 02:30 at 02:30"};
        QTest::newRow("hour skipped at the start of summer time")
            << QStringList{"03-29 01:50:00 .. 03-29 03:10:00"} << QStringList{"d 02:30 at 03:00"};
    }
    void wallClockJumps() {
        QFETCH(QStringList, ticks);
        QFETCH(QStringList, expected);
        const QTimeZone berlin("Europe/Berlin");
        QVERIFY(berlin.isValid());
        const auto local = [&berlin](const QString& text) {
            return QDateTime(QDate::fromString("2026-" + text.left(5), "yyyy-MM-dd"),
                             QTime::fromString(text.mid(6), "HH:mm:ss"), berlin);
        };
        QList<QDateTime> moments;
        for (const QString& t : ticks) {
            if (!t.contains(" .. ")) {
                moments << local(t);
                continue;
            }
            // Stepped in real time, so the repeated hour is walked through twice.
            const QDateTime end = local(t.section(" .. ", 1));
            for (QDateTime m = local(t.section(" .. ", 0, 0)); m <= end; m = m.addSecs(30))
                moments << m;
        }
        QVERIFY(moments.size() >= 2);
        const QList<KAlarmPtr> alarms = {addAlarm(8, 0, -1), addAlarm(9, 30, 0),
                                         addAlarm(8, 0, 1, 15), addAlarm(2, 30, -1)};
        for (int i = 0; i < alarms.size(); ++i) {
            alarms[i]->SwiMsg = true;
            alarms[i]->Text = QString(QChar('a' + i));
        }
        AlarmCheck check;
        QDateTime current;
        QStringList fired;
        check.openMessage = [&](const KAlarmPtr& a) {
            fired << a->Text + " " + RingTimeText(*a) + " at " + current.toString("HH:mm");
        };
        for (const QDateTime& m : std::as_const(moments)) {
            current = m.toTimeZone(berlin);
            check.Tick(current);
        }
        QCOMPARE(fired, expected);
    }

    // A whole day at one tick a second, with ticks that now and then come late or not at
    // all: every quarter-hour alarm rings exactly once, and the check keeps no memory.
    void aDayOfTicks() {
        KAlarmPtr quarter = addAlarm(0, 15, 1, 15);
        quarter->SwiMsg = true;
        AlarmCheck check;
        QDateTime current;
        QStringList fired;
        check.openMessage = [&](const KAlarmPtr& a) {
            fired << RingTimeText(*a) + (RingTimeText(*a) == current.toString("HH:mm") ? "" : "!");
        };
        const auto residentKb = [] {
            QFile statm("/proc/self/statm");
            if (!statm.open(QIODevice::ReadOnly))
                return -1L;
            return statm.readAll().split(' ').value(1).toLong() * (sysconf(_SC_PAGESIZE) / 1024);
        };
        check.Tick(at(1, 0, 0)); // the start is the first tick of a minute: not checked
        const long before = residentKb();
        for (int s = 1; s <= 24 * 3600 + 5; ++s) {
            if (s % 1800 == 0)
                continue; // the tick of second 0 lost at every half hour
            current = at(1, 0, 0).addSecs(s + (s % 601 == 0 ? 1 : 0));
            check.Tick(current);
        }
        const long after = residentKb();
        QStringList expected;
        for (int m = 15; m <= 24 * 60; m += 15)
            expected << QTime(0, 0).addSecs(m * 60).toString("HH:mm");
        qInfo("a simulated day: %lld alarms due, %lld fired; resident %ld kB at the start, %ld kB "
              "at the end",
              qlonglong(expected.size()), qlonglong(fired.size()), before, after);
        QCOMPARE(fired, expected);
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(after - before < 2048, qPrintable(QString::number(after - before) + " kB more"));
#else
        Q_UNUSED(before);
        Q_UNUSED(after);
#endif
    }

    void firing_data() {
        QTest::addColumn<bool>("message");
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("failing"); // neither the program nor the window can start
        const QStringList both{"program run.sh", "message 07:30"};
        QTest::newRow("everything, once") << true << 0 << both << false;
        QTest::newRow("everything, every 15") << true << 1 << both << false;
        QTest::newRow("every 15, failing") << true << 1 << both << true;
        QTest::newRow("program and sound, daily")
            << false << -1 << QStringList{"program run.sh"} << false;
    }
    void firing() {
        QFETCH(bool, message);
        QFETCH(int, bSave);
        QFETCH(QStringList, expected);
        QFETCH(bool, failing);
        KAlarmPtr a = addAlarm(7, 30, bSave, 15);
        a->SwiPgm = a->SwiSnd = true;
        a->SwiMsg = message;
        a->PathPgm = "run.sh";
        a->PathSnd = longTone(TestSupport::scratchFolder("firing") + "/tone.wav");
        AlarmCheck check;
        QStringList events;
        check.openMessage = [&](const KAlarmPtr& x) {
            events << "message " + RingTimeText(*x);
            if (failing)
                throw std::runtime_error("cannot open");
        };
        check.runProgram = [&](const QString& line) {
            events << "program " + line;
            if (failing)
                throw std::runtime_error("cannot start");
        };
        check.CheckAlarms(at(1, 7, 30));
        QCOMPARE(events, expected);
        // The window plays the sound itself; only alarms without one use the check's player.
        QCOMPARE(check.AlarmPlayer().isPlaying(), !message);
        QCOMPARE(RingTimeText(*a), bSave == 1 ? "07:45" : "07:30");
        QCOMPARE(a->Rang, bSave != 1);
    }

    // The second stops the first, and plays its own when it can.
    void twoSoundOnlyAlarms() {
        const QString folder = TestSupport::scratchFolder("sounds");
        TestSupport::writeFile(folder + "/corrupt.wav", "RIFF" + QByteArray(4000, '\x7f'));
        for (const QString sound : {"b.wav", "corrupt.wav"}) {
            Options().Alarms.clear();
            KAlarmPtr first = addAlarm(7, 30, -1), second = addAlarm(7, 30, -1);
            first->SwiSnd = second->SwiSnd = true;
            first->PathSnd = longTone(folder + "/a.wav");
            second->PathSnd = longTone(folder + "/b.wav").replace("b.wav", sound);
            AlarmCheck check;
            check.CheckAlarms(at(1, 7, 30));
            QCOMPARE(check.AlarmPlayer().isPlaying(), sound == "b.wav");
            QVERIFY(first->Rang && second->Rang);
        }
    }

    void programAlarmStartsProgram() {
        const QString folder = TestSupport::scratchFolder("program");
        KAlarmPtr a = addAlarm(7, 30, -1);
        a->SwiPgm = true;
        // No shell sees this line: quoted words stay whole, the rest is passed as it stands.
        a->PathPgm = "touch \"" + folder + "/two words\" " + folder + "/$HOME;>x";
        AlarmCheck().CheckAlarms(at(1, 7, 30));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder + "/$HOME;>x"), 10000);
        QVERIFY(QFile::exists(folder + "/two words"));
        for (const char* line : {"   ", "/nonexistent/zintar-no-such-program --flag"})
            QVERIFY(!StartProgram(line));
        for (const char* line : {"\\bin\\true", "\"true"}) // backslashes; an unclosed quote
            QVERIFY(StartProgram(line));
    }
};

QTEST_MAIN(tst_AlarmCheck)
#include "tst_AlarmCheck.moc"
