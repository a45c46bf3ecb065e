#include "alarms/AlarmEdit.h"

#include <QTest>

// What the alarm editor's OK writes into an alarm, and its minutes field.
class tst_AlarmEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeMinutes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: not a whole number
        QTest::newRow("blanks, beyond the spin") << " 40000 " << 40000;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("number and text") << "15min" << -1;
        QTest::newRow("over 32 bits") << "2147483648" << -1;
    }
    void wholeMinutes() {
        QFETCH(QString, text);
        QFETCH(int, value);
        QCOMPARE(AlarmEdit::WholeMinutes(text).value_or(-1), value);
    }

    void stepMinutes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << "15" << 1 << "16";
        QTest::newRow("top") << "120" << 1 << "120";
        QTest::newRow("bottom") << "1" << -1 << "1";
        QTest::newRow("typed beyond") << "40000" << -1 << "120";
        QTest::newRow("no number") << "x" << 1 << "1";
    }
    void stepMinutes() {
        QFETCH(QString, text);
        QFETCH(int, step);
        QFETCH(QString, after);
        QCOMPARE(AlarmEdit::StepMinutes(text, step), after);
    }

    void messageKeepsCrLf() {
        const QString kept = AlarmEdit::MessageFromEditor("Meeting\nRoom 4\n");
        QCOMPARE(kept, "Meeting\r\nRoom 4\r\n");
        QCOMPARE(AlarmEdit::MessageForEditor(kept), "Meeting\nRoom 4\n");
        QCOMPARE(AlarmEdit::MessageFromEditor(kept), kept); // no doubled CRs
    }

    // The rest of what OK writes, and a bad field writing nothing, is shown by the windows' tests.
    void editingClearsTheSnoozeAndTheRang() {
        KAlarm alarm;
        alarm.RingHH = 3; // a due time moved by snooze
        alarm.Rang = true;
        AlarmEdit edit;
        edit.hour = 9;
        edit.minute = 5;
        edit.SwiPgm = true;
        edit.PathPgm = "xmessage hi";
        edit.minutesText = "40000";
        QVERIFY(edit.WriteTo(alarm));
        QCOMPARE(QList<int>({alarm.RingHH, alarm.DefHH, alarm.RingMM, alarm.Minutes, alarm.Rang}),
                 QList<int>({9, 9, 5, 40000, false}));
        QVERIFY(alarm.SwiPgm);
        QCOMPARE(alarm.PathPgm, "xmessage hi");
    }
};

QTEST_GUILESS_MAIN(tst_AlarmEdit)
#include "tst_AlarmEdit.moc"
