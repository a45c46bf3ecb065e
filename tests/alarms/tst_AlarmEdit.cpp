#include "alarms/AlarmEdit.h"

#include <QTest>

// What the alarm editor's OK writes into an alarm, and its minutes field.
class tst_AlarmEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeMinutes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<int>("value");
        QTest::newRow("15") << QStringLiteral("15") << true << 15;
        QTest::newRow("blanks") << QStringLiteral(" 30 ") << true << 30;
        QTest::newRow("beyond the spin") << QStringLiteral("40000") << true << 40000;
        QTest::newRow("negative") << QStringLiteral("-5") << true << -5;
        QTest::newRow("empty") << QString() << false << 0;
        QTest::newRow("word") << QStringLiteral("ten") << false << 0;
        QTest::newRow("fraction") << QStringLiteral("1.5") << false << 0;
        QTest::newRow("number and text") << QStringLiteral("15min") << false << 0;
        QTest::newRow("over 32 bits") << QStringLiteral("2147483648") << false << 0;
    }
    void wholeMinutes() {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QFETCH(int, value);
        const auto minutes = AlarmEdit::WholeMinutes(text);
        QCOMPARE(minutes.has_value(), whole);
        if (whole)
            QCOMPARE(*minutes, value);
    }

    void stepMinutes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("after");
        QTest::newRow("up") << QStringLiteral("15") << 1 << QStringLiteral("16");
        QTest::newRow("down") << QStringLiteral("15") << -1 << QStringLiteral("14");
        QTest::newRow("top") << QStringLiteral("120") << 1 << QStringLiteral("120");
        QTest::newRow("bottom") << QStringLiteral("1") << -1 << QStringLiteral("1");
        QTest::newRow("typed beyond") << QStringLiteral("40000") << -1 << QStringLiteral("120");
        QTest::newRow("no number up") << QStringLiteral("x") << 1 << QStringLiteral("1");
        QTest::newRow("no number down") << QStringLiteral("x") << -1 << QStringLiteral("1");
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
        // A text that already holds CR LF does not get doubled CRs.
        QCOMPARE(AlarmEdit::MessageFromEditor(kept), kept);
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
        edit.SwiMsg = true;
        edit.Text = QStringLiteral("Stand up\nStretch");
        edit.SwiSnd = true;
        edit.PathSnd = QStringLiteral("/usr/share/sounds/freedesktop/stereo/bell.oga");
        edit.SwiPgm = true;
        edit.PathPgm = QStringLiteral("xmessage hi");
        edit.minutesText = QStringLiteral("40000");
        QVERIFY(edit.WriteTo(alarm));
        QCOMPARE(alarm.bSave, int16_t(1));
        QCOMPARE(alarm.HH, int16_t(9));
        QCOMPARE(alarm.RingHH, int16_t(9));
        QCOMPARE(alarm.DefHH, int16_t(9));
        QCOMPARE(alarm.mm, int16_t(5));
        QCOMPARE(alarm.RingMM, int16_t(5));
        QCOMPARE(alarm.DefMM, int16_t(5));
        QVERIFY(alarm.SwiMsg);
        QCOMPARE(alarm.Text, QStringLiteral("Stand up\r\nStretch"));
        QVERIFY(alarm.SwiSnd);
        QCOMPARE(alarm.PathSnd, edit.PathSnd);
        QVERIFY(alarm.SwiPgm);
        QCOMPARE(alarm.PathPgm, edit.PathPgm);
        QCOMPARE(alarm.Minutes, 40000);
        QVERIFY(!alarm.Rang);
    }

    void badMinutesWriteNothing() {
        KAlarm alarm;
        alarm.HH = 7;
        alarm.Text = QStringLiteral("old");
        alarm.Minutes = 15;
        alarm.Rang = true;
        AlarmEdit edit;
        edit.hour = 9;
        edit.Text = QStringLiteral("new");
        edit.minutesText = QStringLiteral("soon");
        QVERIFY(!edit.WriteTo(alarm));
        QCOMPARE(alarm.HH, int16_t(7));
        QCOMPARE(alarm.Text, QStringLiteral("old"));
        QCOMPARE(alarm.Minutes, 15);
        QVERIFY(alarm.Rang);
    }
};

QTEST_GUILESS_MAIN(tst_AlarmEdit)
#include "tst_AlarmEdit.moc"
