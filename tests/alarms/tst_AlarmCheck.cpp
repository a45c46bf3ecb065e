#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/AlarmCheck.h"
#include "alarms/AlarmTime.h"
#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <stdexcept>

class tst_AlarmCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void recurrenceOverTwoDays_data();
    void recurrenceOverTwoDays();
    void tickChecksOnlyAtSecondZero();
    void neverTwiceInOneMinute();
    void firing_data();
    void firing();
    void failingStepsAreSkipped();
    void twoSoundOnlyAlarms_data();
    void twoSoundOnlyAlarms();
    void programAlarmStartsProgram();
    void startProgram_data();
    void startProgram();

private:
    KAlarmPtr addAlarm(int hh, int mm, int bSave, int minutes = 0);
    void watch(AlarmCheck& check);
    // Ticks from..to as the clock window does: the time is read once from the program's clock
    // and handed over. Ticks inside [skipFrom, skipTo) do not happen (a busy machine). The
    // window ticks every 200 ms; 600 ms keeps two-day runs quick and still gives every
    // second 0 two ticks.
    void runClock(AlarmCheck& check, const QDateTime& from, const QDateTime& to,
                  const QDateTime& skipFrom = {}, const QDateTime& skipTo = {});

    QStringList events; // what firing did, in order
};

namespace {
const QDate Day1(2026, 3, 2);

QDateTime at(int day, int hh, int mm, int ss = 0, int ms = 0) {
    return QDateTime(Day1.addDays(day - 1), QTime(hh, mm, ss, ms), Qt::UTC);
}

QString dayAndTime(const QDateTime& t) {
    return QString::number(Day1.daysTo(t.date()) + 1) + QLatin1Char(' ') +
           t.time().toString(QStringLiteral("HH:mm"));
}
} // namespace

void tst_AlarmCheck::init() {
    Options().Alarms.clear();
    events.clear();
    TestSupport::resetNow();
}

void tst_AlarmCheck::cleanup() {
    Options().Alarms.clear();
    TestSupport::resetNow();
}

KAlarmPtr tst_AlarmCheck::addAlarm(int hh, int mm, int bSave, int minutes) {
    auto a = std::make_shared<KAlarm>();
    a->HH = a->RingHH = a->DefHH = int16_t(hh);
    a->mm = a->RingMM = a->DefMM = int16_t(mm);
    a->bSave = int16_t(bSave);
    a->Minutes = minutes;
    Options().Alarms.append(a);
    return a;
}

void tst_AlarmCheck::watch(AlarmCheck& check) {
    check.openMessage = [this](const KAlarmPtr& a) {
        events << QStringLiteral("message ") + RingTimeText(*a);
    };
    check.runProgram = [this](const QString& line) { events << QStringLiteral("program ") + line; };
}

void tst_AlarmCheck::runClock(AlarmCheck& check, const QDateTime& from, const QDateTime& to,
                              const QDateTime& skipFrom, const QDateTime& skipTo) {
    QDateTime current;
    TimeSource::setFunction([&current] { return current; });
    for (current = from; current < to; current = current.addMSecs(600)) {
        if (skipFrom.isValid() && current >= skipFrom && current < skipTo)
            continue;
        check.Tick(TimeSource::now());
    }
    TestSupport::setNow(current);
}

void tst_AlarmCheck::recurrenceOverTwoDays_data() {
    QTest::addColumn<int>("bSave");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QTime>("due");
    QTest::addColumn<bool>("skipFirst"); // the second 0 of the due minute on day 1 is missed
    QTest::addColumn<QStringList>("expected");

    const QTime t0730(7, 30);
    QTest::newRow("daily") << -1 << 0 << t0730 << false << QStringList{"1 07:30", "2 07:30"};
    QTest::newRow("once") << 0 << 0 << t0730 << false << QStringList{"1 07:30"};
    QTest::newRow("every 600") << 1 << 600 << t0730 << false
                               << QStringList{"1 07:30", "1 17:30", "2 03:30", "2 13:30",
                                              "2 23:30"};
    QStringList quarterHours{"1 23:50"};
    for (int m = 5; m < 1440; m += 15)
        quarterHours << QStringLiteral("2 %1:%2")
                            .arg(m / 60, 2, 10, QLatin1Char('0'))
                            .arg(m % 60, 2, 10, QLatin1Char('0'));
    QTest::newRow("every 15 across midnight") << 1 << 15 << QTime(23, 50) << false << quarterHours;
    QTest::newRow("every 0 is once a day")
        << 1 << 0 << t0730 << false << QStringList{"1 07:30", "2 07:30"};
    QTest::newRow("every -10 moves back a day")
        << 1 << -10 << t0730 << false << QStringList{"1 07:30", "2 07:20"};
    // The check starts remembering minute 0, so the very first minute of a run is not checked;
    // minute 0 of any later hour is.
    QTest::newRow("daily in the run's first minute")
        << -1 << 0 << QTime(0, 0) << false << QStringList{"2 00:00"};
    QTest::newRow("daily on the hour")
        << -1 << 0 << QTime(1, 0) << false << QStringList{"1 01:00", "2 01:00"};
    QTest::newRow("hour 25 is never due") << -1 << 0 << QTime() << false << QStringList{};

    // A missed second 0 is not caught up later in the minute.
    QTest::newRow("daily, second 0 missed") << -1 << 0 << t0730 << true << QStringList{"2 07:30"};
    QTest::newRow("once, second 0 missed") << 0 << 0 << t0730 << true << QStringList{"2 07:30"};
    QTest::newRow("every 600, second 0 missed")
        << 1 << 600 << t0730 << true << QStringList{"2 07:30", "2 17:30"};
}

void tst_AlarmCheck::recurrenceOverTwoDays() {
    QFETCH(int, bSave);
    QFETCH(int, minutes);
    QFETCH(QTime, due);
    QFETCH(bool, skipFirst);
    QFETCH(QStringList, expected);

    KAlarmPtr alarm = due.isValid() ? addAlarm(due.hour(), due.minute(), bSave, minutes)
                                    : addAlarm(25, 0, bSave, minutes);
    alarm->SwiMsg = true;
    AlarmCheck check;
    QStringList fired;
    check.openMessage = [&fired](const KAlarmPtr& a) {
        const QDateTime now = TimeSource::now();
        fired << dayAndTime(now);
        // The window is opened before a repeating alarm moves on: it shows the time that came.
        QCOMPARE(RingTimeText(*a), now.time().toString(QStringLiteral("HH:mm")));
    };
    QDateTime skipFrom, skipTo;
    if (skipFirst) {
        skipFrom = at(1, due.hour(), due.minute());
        skipTo = skipFrom.addSecs(1);
    }
    runClock(check, at(1, 0, 0), at(3, 0, 0), skipFrom, skipTo);
    QCOMPARE(fired, expected);
    // The configured time is never touched; only the due time moves.
    if (due.isValid()) {
        QCOMPARE(alarm->HH, int16_t(due.hour()));
        QCOMPARE(alarm->DefMM, int16_t(due.minute()));
    }
}

void tst_AlarmCheck::tickChecksOnlyAtSecondZero() {
    addAlarm(7, 30, 1, 0)->SwiMsg = true; // stays due all minute long
    AlarmCheck check;
    watch(check);
    for (int s = 1; s < 60; ++s)
        check.Tick(at(1, 7, 30, s));
    QVERIFY(events.isEmpty());
    check.Tick(at(1, 7, 31, 0, 400));
    QVERIFY(events.isEmpty());
}

void tst_AlarmCheck::neverTwiceInOneMinute() {
    // Every 0 minutes: the alarm stays due and never marks itself fired, so only the check's
    // own memory of the minute keeps it from firing on each of the minute's five ticks.
    addAlarm(7, 30, 1, 0)->SwiMsg = true;
    AlarmCheck check;
    watch(check);
    check.CheckAlarms(at(1, 7, 30));
    check.CheckAlarms(at(1, 7, 30, 0, 400));
    check.CheckAlarms(at(1, 7, 30, 30));
    QCOMPARE(events.size(), 1);
    QCOMPARE(check.LastAlarmMinute, int16_t(30));
    check.CheckAlarms(at(1, 7, 31));
    check.CheckAlarms(at(2, 7, 30));
    QCOMPARE(events.size(), 2);
}

void tst_AlarmCheck::firing_data() {
    QTest::addColumn<bool>("pgm");
    QTest::addColumn<bool>("msg");
    QTest::addColumn<bool>("snd");
    QTest::addColumn<int>("bSave");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("playerUsed");
    QTest::addColumn<QString>("dueAfter");
    QTest::addColumn<bool>("rangAfter");

    const QStringList programThenWindow{"program run.sh", "message 07:30"};
    QTest::newRow("everything, once")
        << true << true << true << 0 << programThenWindow << false << "07:30" << true;
    QTest::newRow("everything, every 15")
        << true << true << true << 1 << programThenWindow << false << "07:45" << false;
    QTest::newRow("sound only, daily")
        << false << false << true << -1 << QStringList{} << true << "07:30" << true;
    QTest::newRow("program and sound")
        << true << false << true << -1 << QStringList{"program run.sh"} << true << "07:30" << true;
    QTest::newRow("invisible, once")
        << false << false << false << 0 << QStringList{} << false << "07:30" << true;
    QTest::newRow("invisible, every 15")
        << false << false << false << 1 << QStringList{} << false << "07:45" << false;
}

void tst_AlarmCheck::firing() {
    QFETCH(bool, pgm);
    QFETCH(bool, msg);
    QFETCH(bool, snd);
    QFETCH(int, bSave);
    QFETCH(QStringList, expected);
    QFETCH(bool, playerUsed);
    QFETCH(QString, dueAfter);
    QFETCH(bool, rangAfter);

    const QString folder = TestSupport::scratchFolder(QStringLiteral("firing"));
    KAlarmPtr a = addAlarm(7, 30, bSave, 15);
    a->SwiPgm = pgm;
    a->PathPgm = QStringLiteral("run.sh");
    a->SwiMsg = msg;
    a->SwiSnd = snd;
    a->PathSnd = AlarmTestFiles::longTone(folder, QStringLiteral("tone.wav"));
    AlarmCheck check;
    watch(check);
    check.CheckAlarms(at(1, 7, 30));
    QCOMPARE(events, expected);
    // The window plays the sound itself; only alarms without one use the check's player.
    QCOMPARE(check.AlarmPlayer().isPlaying(), playerUsed);
    QCOMPARE(RingTimeText(*a), dueAfter);
    QCOMPARE(a->Rang, rangAfter);
}

void tst_AlarmCheck::failingStepsAreSkipped() {
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

void tst_AlarmCheck::twoSoundOnlyAlarms_data() {
    QTest::addColumn<bool>("secondHasSound");
    QTest::addColumn<QString>("secondSound");
    QTest::addColumn<bool>("playingAfter");
    QTest::newRow("first alone") << false << "second.wav" << true;
    QTest::newRow("both have sounds") << true << "second.wav" << true;
    // With nothing of its own to play, the second alarm has still silenced the first.
    QTest::newRow("second unreadable") << true << "corrupt.wav" << false;
    QTest::newRow("second missing") << true << "missing.wav" << false;
}

void tst_AlarmCheck::twoSoundOnlyAlarms() {
    QFETCH(bool, secondHasSound);
    QFETCH(QString, secondSound);
    QFETCH(bool, playingAfter);
    const QString folder = TestSupport::scratchFolder(QStringLiteral("sounds"));
    AlarmTestFiles::longTone(folder, QStringLiteral("second.wav"));
    TestSupport::writeFile(folder + QStringLiteral("/corrupt.wav"),
                           QByteArray("RIFF\x10\0\0\0WAVEjunk", 16) + QByteArray(4000, '\x7f'));

    KAlarmPtr first = addAlarm(7, 30, -1);
    first->SwiSnd = true;
    first->PathSnd = AlarmTestFiles::longTone(folder, QStringLiteral("first.wav"));
    KAlarmPtr second = addAlarm(7, 30, -1);
    second->SwiSnd = secondHasSound;
    second->PathSnd = folder + QLatin1Char('/') + secondSound;
    AlarmCheck check;
    check.CheckAlarms(at(1, 7, 30));
    QVERIFY(check.AlarmPlayer().isInitialized());
    QCOMPARE(check.AlarmPlayer().isPlaying(), playingAfter);
    QVERIFY(first->Rang && second->Rang);
}

void tst_AlarmCheck::programAlarmStartsProgram() {
    const QString folder = TestSupport::scratchFolder(QStringLiteral("program run"));
    const QString script = AlarmTestFiles::argumentWriter(folder);
    const QString out = folder + QStringLiteral("/ran.txt");
    KAlarmPtr a = addAlarm(7, 30, -1);
    a->SwiPgm = true;
    // No shell sees this line: the quoted words stay whole, the rest is passed as it stands.
    a->PathPgm = QLatin1Char('"') + script + QStringLiteral("\" \"") + out +
                 QStringLiteral("\" \"two words\" $HOME ; >x");
    AlarmCheck check; // the real launcher
    check.CheckAlarms(at(1, 7, 30));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    QCOMPARE(QString::fromUtf8(TestSupport::readFile(out)).split(QLatin1Char('\n')),
             (QStringList{"two words", "$HOME", ";", ">x", ""}));
    QVERIFY(!QFile::exists(folder + QStringLiteral("/x")));
}

void tst_AlarmCheck::startProgram_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("started");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("missing program") << "/nonexistent/zintar-no-such-program --flag" << false;
    QTest::newRow("program on the PATH") << "true" << true;
    QTest::newRow("written with backslashes") << "\\bin\\true" << true;
    QTest::newRow("unclosed quote") << "\"true" << true;
}

void tst_AlarmCheck::startProgram() {
    QFETCH(QString, line);
    QFETCH(bool, started);
    QCOMPARE(StartProgram(line), started);
}

QTEST_MAIN(tst_AlarmCheck)
#include "tst_AlarmCheck.moc"
