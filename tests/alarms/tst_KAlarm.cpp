#include "TestSupport.h"
#include "alarms/KAlarm.h"

#include <QTest>

namespace {

// The lines of one section as the Windows program and this one write them.
const QByteArray kMeeting = "ShowMessage=True\r\n"
                            "Message=Meeting\xC2\xA7Room 4\r\n"
                            "RepeatMinutes=15\r\n"
                            "RunProgram=False\r\n"
                            "Program=\r\n"
                            "PlaySound=True\r\n"
                            "Sound=C:\\WINDOWS\\media\\ding.wav\r\n"
                            "Hour=9\r\n"
                            "Minute=30\r\n"
                            "Mode=-1\r\n";

QString sectionFile(const QByteArray& keys) {
    const QString path = TestSupport::scratchFolder("alarm") + "/mysettings.ini";
    TestSupport::writeFile(path, "[Alarms]\r\nAlarmsCount=1\r\n\r\n[Alarm1]\r\n" + keys);
    return path;
}

} // namespace

class tst_KAlarm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void savesTheTenKeysInTheirOrder() {
        KAlarm a;
        a.SwiMsg = a.SwiSnd = true;
        a.Text = "Meeting\r\nRoom 4";
        a.Minutes = 15;
        a.PathSnd = "C:\\WINDOWS\\media\\ding.wav";
        a.HH = a.RingHH = 10; // a snoozed due time is not what the file keeps
        a.RingMM = 45;
        a.DefHH = 9;
        a.DefMM = 30;
        a.bSave = -1;
        QByteArray out = "[Alarm1]\r\n";
        a.Save(out);
        QCOMPARE(out, "[Alarm1]\r\n" + kMeeting);
    }

    // The file as Windows writes it (byte A7) is loaded by the settings file's test.
    void loadReadsTheKeysInTheirOrder() {
        const QByteArray file = kMeeting;
        KAlarm a;
        a.Rang = true;
        QVERIFY(a.Load(sectionFile(file), "alarm1"));
        QVERIFY(a.SwiMsg && a.SwiSnd && !a.SwiPgm && !a.Rang);
        QCOMPARE(a.Text, QString("Meeting\r\nRoom 4"));
        QCOMPARE(a.Minutes, 15);
        QCOMPARE(a.PathSnd, QString("C:\\WINDOWS\\media\\ding.wav"));
        QCOMPARE(a.bSave, int16_t(-1));
        for (int16_t hh : {a.HH, a.RingHH, a.DefHH})
            QCOMPARE(hh, int16_t(9));
        for (int16_t mm : {a.mm, a.RingMM, a.DefMM})
            QCOMPARE(mm, int16_t(30));
        QVERIFY(!a.Load(sectionFile(file), "Alarm2"));
    }

    void editedKeys_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<bool>("swiMsg");
        QTest::addColumn<bool>("swiSnd"); // PlaySound is read before Hour, Minute and Mode
        const QByteArray show = "ShowMessage=True";
        QTest::newRow("lower case false")
            << show << QByteArray("ShowMessage=false") << true << false << true;
        QTest::newRow("minus one") << show << QByteArray("ShowMessage=-1") << true << true << true;
        // A key that cannot be read stops the load where it stands.
        QTest::newRow("ShowMessage unreadable")
            << show << QByteArray("ShowMessage=yes") << false << false << false;
        QTest::newRow("no Hour line")
            << QByteArray("Hour=9\r\n") << QByteArray() << false << true << true;
        QTest::newRow("Hour not a number")
            << QByteArray("Hour=9") << QByteArray("Hour=nine") << false << true << true;
        QTest::newRow("Mode empty")
            << QByteArray("Mode=-1") << QByteArray("Mode=") << false << true << true;
    }
    void editedKeys() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, loads);
        QFETCH(bool, swiMsg);
        QFETCH(bool, swiSnd);
        KAlarm a;
        QCOMPARE(a.Load(sectionFile(QByteArray(kMeeting).replace(from, to)), "Alarm1"), loads);
        QCOMPARE(a.SwiMsg, swiMsg);
        QCOMPARE(a.SwiSnd, swiSnd);
        QCOMPARE(a.RingHH, int16_t(loads ? 9 : 0)); // the three times are set only by a full load
    }
};

QTEST_GUILESS_MAIN(tst_KAlarm)
#include "tst_KAlarm.moc"
