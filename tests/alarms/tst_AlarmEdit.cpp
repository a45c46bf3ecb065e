#include "alarms/AlarmEdit.h"

#include <QTest>

// What the alarm editor's OK writes into an alarm, and its minutes field.
class tst_AlarmEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeMinutes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: not a whole number
        QTest::newRow("blanks") << QStringLiteral(" 30 ") << 30;
        QTest::newRow("beyond the spin") << QStringLiteral("40000") << 40000;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("word") << QStringLiteral("ten") << -1;
        QTest::newRow("fraction") << QStringLiteral("1.5") << -1;
        QTest::newRow("number and text") << QStringLiteral("15min") << -1;
        QTest::newRow("over 32 bits") << QStringLiteral("2147483648") << -1;
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
        QTest::newRow("top") << QStringLiteral("120") << 1 << QStringLiteral("120");
        QTest::newRow("bottom") << QStringLiteral("1") << -1 << QStringLiteral("1");
        QTest::newRow("typed beyond") << QStringLiteral("40000") << -1 << QStringLiteral("120");
        QTest::newRow("no number") << QStringLiteral("x") << 1 << QStringLiteral("1");
    }
    void stepMinutes() {
        QFETCH(QString, text);
        QFETCH(int, step);
        QFETCH(QString, after);
        QCOMPARE(AlarmEdit::StepMinutes(text, step), after);
    }

    void messageKeepsCrLf() {
        const QString typed = QStringLiteral("Meeting\nRoom 4\n");
        const QString kept = AlarmEdit::MessageFromEditor(typed);
        QCOMPARE(kept, QStringLiteral("Meeting\r\nRoom 4\r\n"));
        QCOMPARE(AlarmEdit::MessageForEditor(kept), typed);
        QCOMPARE(AlarmEdit::MessageFromEditor(kept), kept); // no doubled CRs
    }

    void writesEveryField() {
        KAlarm alarm;
        alarm.RingHH = 3; // a due time moved by snooze
        alarm.RingMM = 44;
        alarm.Rang = true;
        AlarmEdit edit;
        edit.bSave = 1;
        edit.hour = 9;
        edit.minute = 5;
        edit.SwiMsg = edit.SwiSnd = edit.SwiPgm = true;
        edit.Text = QStringLiteral("Stand up\nStretch");
        edit.PathSnd = QStringLiteral("/usr/share/sounds/freedesktop/stereo/bell.oga");
        edit.PathPgm = QStringLiteral("xmessage hi");
        edit.minutesText = QStringLiteral("40000");
        QVERIFY(edit.WriteTo(alarm));
        QCOMPARE(alarm.bSave, int16_t(1));
        QCOMPARE(
            QList<int>({alarm.HH, alarm.RingHH, alarm.DefHH, alarm.mm, alarm.RingMM, alarm.DefMM}),
            QList<int>({9, 9, 9, 5, 5, 5}));
        QVERIFY(alarm.SwiMsg && alarm.SwiSnd && alarm.SwiPgm);
        QCOMPARE(alarm.Text, QStringLiteral("Stand up\r\nStretch"));
        QCOMPARE(alarm.PathSnd, edit.PathSnd);
        QCOMPARE(alarm.PathPgm, edit.PathPgm);
        QCOMPARE(alarm.Minutes, 40000);
        QVERIFY(!alarm.Rang);

        edit.minutesText = QStringLiteral("soon"); // a bad field writes nothing
        alarm.Rang = true;
        edit.hour = 11;
        QVERIFY(!edit.WriteTo(alarm));
        QCOMPARE(alarm.HH, int16_t(9));
        QVERIFY(alarm.Rang);
    }
};

QTEST_GUILESS_MAIN(tst_AlarmEdit)
#include "tst_AlarmEdit.moc"
