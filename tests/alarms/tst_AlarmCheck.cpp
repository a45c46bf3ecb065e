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

    QStringList events; // what firing did, in order
    void watch(AlarmCheck& check) {
        check.openMessage = [this](const KAlarmPtr& a) { events << "message " + RingTimeText(*a); };
        check.runProgram = [this](const QString& line) { events << "program " + line; };
    }

private Q_SLOTS:
    void init() {
        Options().Alarms.clear();
        events.clear();
    }
    void cleanup() {
        Options().Alarms.clear();
        TestSupport::resetNow();
    }

    void recurrenceOverTwoDays_data() {
        QTest::addColumn<int>("bSave");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QTime>("due");
        QTest::addColumn<bool>("skipFirst"); // the second 0 of the due minute on day 1 is missed
        QTest::addColumn<QStringList>("expected");

        const QTime t0730(7, 30);
        QTest::newRow("daily") << -1 << 0 << t0730 << false << QStringList{"1 07:30", "2 07:30"};
        QTest::newRow("once") << 0 << 0 << t0730 << false << QStringList{"1 07:30"};
        QStringList quarterHours{"1 23:50"};
        for (int m = 5; m < 1440; m += 15)
            quarterHours << QTime(m / 60, m % 60).toString(QStringLiteral("2 HH:mm"));
        QTest::newRow("every 15 across midnight")
            << 1 << 15 << QTime(23, 50) << false << quarterHours;
        // Every 0 stays due all minute and the clock ticks twice in its second 0: only the
        // check's memory of the minute keeps it from firing twice.
        QTest::newRow("every 0 is once a day")
            << 1 << 0 << t0730 << false << QStringList{"1 07:30", "2 07:30"};
        QTest::newRow("every -10 moves back a day")
            << 1 << -10 << t0730 << false << QStringList{"1 07:30", "2 07:20"};
        // The check starts remembering minute 0, so the very first minute of a run is not
        // checked; minute 0 of any later hour is.
        QTest::newRow("daily in the run's first minute")
            << -1 << 0 << QTime(0, 0) << false << QStringList{"2 00:00"};
        QTest::newRow("hour 25 is never due") << -1 << 0 << QTime() << false << QStringList{};
        // Only second 0 is checked; a missed one is not caught up later in the minute.
        QTest::newRow("daily, second 0 missed")
            << -1 << 0 << t0730 << true << QStringList{"2 07:30"};
    }
    void recurrenceOverTwoDays() {
        QFETCH(int, bSave);
        QFETCH(int, minutes);
        QFETCH(QTime, due);
        QFETCH(bool, skipFirst);
        QFETCH(QStringList, expected);
        KAlarmPtr alarm = addAlarm(due.isValid() ? due.hour() : 25, due.minute(), bSave, minutes);
        alarm->SwiMsg = true;
        AlarmCheck check;
        QStringList fired;
        check.openMessage = [&fired](const KAlarmPtr& a) {
            const QDateTime now = TimeSource::now();
            fired << QString::number(kDay1.daysTo(now.date()) + 1) + now.toString(" HH:mm");
            // The window opens before a repeating alarm moves on: it shows the time that came.
            QCOMPARE(RingTimeText(*a), now.toString(QStringLiteral("HH:mm")));
        };
        // The clock window's ticks, 600 ms apart here to keep two days quick (still two in
        // every second 0); each reads the program's clock and hands the time over.
        QDateTime current;
        TimeSource::setFunction([&current] { return current; });
        const QDateTime skip = at(1, due.hour(), due.minute());
        for (current = at(1, 0, 0); current < at(3, 0, 0); current = current.addMSecs(600)) {
            if (!skipFirst || current < skip || current >= skip.addSecs(1))
                check.Tick(TimeSource::now());
        }
        TestSupport::resetNow();
        QCOMPARE(fired, expected);
        // The configured time is never touched; only the due time moves.
        QCOMPARE(alarm->HH, int16_t(due.isValid() ? due.hour() : 25));
        QCOMPARE(alarm->DefMM, int16_t(due.minute()));
    }

    void firing_data() {
        QTest::addColumn<bool>("pgm");
        QTest::addColumn<bool>("msg");
        QTest::addColumn<bool>("snd");
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("playerUsed");
        const QStringList both{"program run.sh", "message 07:30"}; // the program comes first
        QTest::newRow("everything, once") << true << true << true << 0 << both << false;
        QTest::newRow("program and sound")
            << true << false << true << -1 << QStringList{"program run.sh"} << true;
        QTest::newRow("nothing, every 15")
            << false << false << false << 1 << QStringList{} << false;
    }
    void firing() {
        QFETCH(bool, pgm);
        QFETCH(bool, msg);
        QFETCH(bool, snd);
        QFETCH(int, bSave);
        QFETCH(QStringList, expected);
        QFETCH(bool, playerUsed);
        KAlarmPtr a = addAlarm(7, 30, bSave, 15);
        a->SwiPgm = pgm;
        a->PathPgm = QStringLiteral("run.sh");
        a->SwiMsg = msg;
        a->SwiSnd = snd;
        a->PathSnd = longTone(TestSupport::scratchFolder("firing"), "tone.wav");
        AlarmCheck check;
        watch(check);
        check.CheckAlarms(at(1, 7, 30));
        QCOMPARE(events, expected);
        // The window plays the sound itself; only alarms without one use the check's player.
        QCOMPARE(check.AlarmPlayer().isPlaying(), playerUsed);
        // A repeating alarm moves on and is never marked fired; the others are marked.
        QCOMPARE(RingTimeText(*a), QString(bSave == 1 ? "07:45" : "07:30"));
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
        QCOMPARE(RingTimeText(*first), QStringLiteral("07:35"));
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
        const QString folder = TestSupport::scratchFolder(QStringLiteral("sounds"));
        longTone(folder, QStringLiteral("second.wav"));
        TestSupport::writeFile(folder + "/corrupt.wav",
                               QByteArray("RIFF\x10\0\0\0WAVEjunk", 16) + QByteArray(4000, '\x7f'));
        KAlarmPtr first = addAlarm(7, 30, -1);
        first->SwiSnd = true;
        first->PathSnd = longTone(folder, QStringLiteral("first.wav"));
        KAlarmPtr second = addAlarm(7, 30, -1);
        second->SwiSnd = true;
        second->PathSnd = folder + QLatin1Char('/') + secondSound;
        AlarmCheck check;
        check.CheckAlarms(at(1, 7, 30));
        QVERIFY(check.AlarmPlayer().isInitialized());
        QCOMPARE(check.AlarmPlayer().isPlaying(), playingAfter);
        QVERIFY(first->Rang && second->Rang);
    }

    void programAlarmStartsProgram() {
        const QString folder = TestSupport::scratchFolder(QStringLiteral("program run"));
        const QString script = argumentWriter(folder);
        const QString out = folder + QStringLiteral("/ran.txt");
        KAlarmPtr a = addAlarm(7, 30, -1);
        a->SwiPgm = true;
        // No shell sees this line: the quoted words stay whole, the rest is passed as it stands.
        a->PathPgm = '"' + script + "\" \"" + out + "\" \"two words\" $HOME ; >x";
        AlarmCheck check; // the real launcher
        check.CheckAlarms(at(1, 7, 30));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
        QCOMPARE(QString::fromUtf8(TestSupport::readFile(out)).split('\n'),
                 (QStringList{"two words", "$HOME", ";", ">x", ""}));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/x")));
    }

    void startProgram_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("started");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("missing program") << "/nonexistent/zintar-no-such-program --flag" << false;
        QTest::newRow("program on the PATH") << "true" << true;
        QTest::newRow("written with backslashes") << "\\bin\\true" << true;
    }
    void startProgram() {
        QFETCH(QString, line);
        QFETCH(bool, started);
        QCOMPARE(StartProgram(line), started);
    }
};

QTEST_MAIN(tst_AlarmCheck)
#include "tst_AlarmCheck.moc"
