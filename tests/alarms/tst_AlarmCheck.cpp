#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/AlarmCheck.h"
#include "alarms/AlarmTime.h"
#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <stdexcept>

using namespace AlarmTestFiles;

namespace {
KAlarmPtr addAlarm(int hh, int mm, int bSave, int minutes = 0) {
    KAlarmPtr a = alarmAt(hh, mm, bSave, minutes);
    Options().Alarms.append(a);
    return a;
}
} // namespace

class tst_AlarmCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Options().Alarms.clear(); }
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
        // Every 0 stays due all minute and the clock ticks twice in its second 0: only the
        // check's memory of the minute keeps it from firing twice.
        QTest::newRow("every 0 is once a day")
            << 1 << 0 << t0730 << QStringList{"1 07:30", "2 07:30"};
        QTest::newRow("every -10 moves back a day")
            << 1 << -10 << t0730 << QStringList{"1 07:30", "2 07:20"};
        // The check starts remembering minute 0, so the very first minute of a run is not
        // checked; minute 0 of any later hour is.
        QTest::newRow("daily in the run's first minute")
            << -1 << 0 << QTime(0, 0) << QStringList{"2 00:00"};
        QTest::newRow("daily on the hour")
            << -1 << 0 << QTime(1, 0) << QStringList{"1 01:00", "2 01:00"};
        // Only second 0 is checked; the one of 07:30 on day 1 is missed and not caught up.
        QTest::newRow("daily, second 0 missed")
            << -1 << 0 << QTime(7, 30, 1) << QStringList{"2 07:30"};
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
            fired << QString::number(kDay1.daysTo(now.date()) + 1) + now.toString(" HH:mm");
            // The window opens before a repeating alarm moves on: it shows the time that came.
            QCOMPARE(RingTimeText(*a), now.toString("HH:mm"));
        };
        // The clock window's ticks, 600 ms apart to keep two days quick (still two in every
        // second 0); each reads the program's clock and hands the time over.
        QDateTime current;
        TimeSource::setFunction([&current] { return current; });
        const QDateTime skip = at(1, due.hour(), due.minute());
        for (current = at(1, 0, 0); current < at(3, 0, 0); current = current.addMSecs(600))
            if (due.second() == 0 || current < skip || current >= skip.addSecs(1))
                check.Tick(TimeSource::now());
        TestSupport::resetNow();
        QCOMPARE(fired, expected);
        // The configured time is never touched; only the due time moves.
        QCOMPARE(QList<int>({alarm->HH, alarm->DefMM}), QList<int>({due.hour(), due.minute()}));
    }

    void firing_data() {
        QTest::addColumn<bool>("all"); // program, message and sound, or only program and sound
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QStringList>("expected");
        const QStringList both{"program run.sh", "message 07:30"}; // the program comes first
        QTest::newRow("everything, once") << true << 0 << both;
        QTest::newRow("everything, every 15") << true << 1 << both;
        QTest::newRow("program and sound, daily") << false << -1 << QStringList{"program run.sh"};
    }
    void firing() {
        QFETCH(bool, all);
        QFETCH(int, bSave);
        QFETCH(QStringList, expected);
        KAlarmPtr a = addAlarm(7, 30, bSave, 15);
        a->SwiPgm = a->SwiSnd = true;
        a->SwiMsg = all;
        a->PathPgm = "run.sh";
        a->PathSnd = longTone(TestSupport::scratchFolder("firing"), "tone.wav");
        AlarmCheck check;
        QStringList events;
        check.openMessage = [&](const KAlarmPtr& x) { events << "message " + RingTimeText(*x); };
        check.runProgram = [&](const QString& line) { events << "program " + line; };
        check.CheckAlarms(at(1, 7, 30));
        QCOMPARE(events, expected);
        // The window plays the sound itself; only alarms without one use the check's player.
        QCOMPARE(check.AlarmPlayer().isPlaying(), !all);
        // A repeating alarm moves on and is never marked fired; the others are marked.
        QCOMPARE(RingTimeText(*a), bSave == 1 ? "07:45" : "07:30");
        QCOMPARE(a->Rang, bSave != 1);
    }

    void failingStepsAreSkipped() {
        KAlarmPtr first = addAlarm(7, 30, 1, 5);
        first->SwiPgm = first->SwiMsg = true;
        KAlarmPtr second = addAlarm(7, 30, -1);
        second->SwiMsg = true;
        AlarmCheck check;
        int windows = 0;
        check.runProgram = [](const QString&) { throw std::runtime_error("cannot start"); };
        check.openMessage = [&windows](const KAlarmPtr&) {
            ++windows;
            throw std::runtime_error("cannot open");
        };
        check.CheckAlarms(at(1, 7, 30));
        QCOMPARE(windows, 2);
        QCOMPARE(RingTimeText(*first), "07:35");
        QVERIFY(second->Rang);
    }

    void twoSoundOnlyAlarms_data() {
        QTest::addColumn<QString>("secondSound");
        QTest::addColumn<bool>("playingAfter");
        QTest::newRow("both have sounds") << "second.wav" << true;
        // With nothing of its own to play, the second alarm has still silenced the first.
        QTest::newRow("second unreadable") << "corrupt.wav" << false;
    }
    void twoSoundOnlyAlarms() {
        QFETCH(QString, secondSound);
        QFETCH(bool, playingAfter);
        const QString folder = TestSupport::scratchFolder("sounds");
        longTone(folder, "second.wav");
        TestSupport::writeFile(folder + "/corrupt.wav",
                               QByteArray("RIFF\x10\0\0\0WAVEjunk", 16) + QByteArray(4000, '\x7f'));
        KAlarmPtr first = addAlarm(7, 30, -1);
        first->SwiSnd = true;
        first->PathSnd = longTone(folder, "first.wav");
        KAlarmPtr second = addAlarm(7, 30, -1);
        second->SwiSnd = true;
        second->PathSnd = folder + '/' + secondSound;
        AlarmCheck check;
        check.CheckAlarms(at(1, 7, 30));
        QVERIFY(check.AlarmPlayer().isInitialized());
        QCOMPARE(check.AlarmPlayer().isPlaying(), playingAfter);
        QVERIFY(first->Rang && second->Rang);
    }

    void programAlarmStartsProgram() {
        const QString folder = TestSupport::scratchFolder("program run");
        // Writes its arguments after the first, one per line, to the file named by the first.
        const QString script = folder + "/write args.sh";
        TestSupport::writeFile(script,
                               "#!/bin/sh\nout=\"$1\"; shift\n"
                               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.part\"\n"
                               "mv \"$out.part\" \"$out\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
        const QString out = folder + "/ran.txt";
        KAlarmPtr a = addAlarm(7, 30, -1);
        a->SwiPgm = true;
        // No shell sees this line: the quoted words stay whole, the rest is passed as it stands.
        a->PathPgm = '"' + script + "\" \"" + out + "\" \"two words\" $HOME ; >x";
        AlarmCheck check; // the real launcher
        check.CheckAlarms(at(1, 7, 30));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QCOMPARE(QString::fromUtf8(TestSupport::readFile(out)).split('\n'),
                 (QStringList{"two words", "$HOME", ";", ">x", ""}));
        QVERIFY(!QFile::exists(folder + "/x"));
    }

    void startProgram_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("started");
        QTest::newRow("blanks") << "   " << false;
        QTest::newRow("missing program") << "/nonexistent/zintar-no-such-program --flag" << false;
        QTest::newRow("written with backslashes") << "\\bin\\true" << true;
        QTest::newRow("unclosed quote") << "\"true" << true;
    }
    void startProgram() {
        QFETCH(QString, line);
        QFETCH(bool, started);
        QCOMPARE(StartProgram(line), started);
    }
};

QTEST_MAIN(tst_AlarmCheck)
#include "tst_AlarmCheck.moc"
