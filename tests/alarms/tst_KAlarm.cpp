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
        a.SwiMsg = true;
        a.Text = "Meeting\r\nRoom 4";
        a.Minutes = 15;
        a.SwiSnd = true;
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

    void loadSetsAllThreeTimesAndClearsTheFiredMark() {
        KAlarm a;
        a.Rang = true;
        QVERIFY(a.Load(sectionFile(kMeeting), "alarm1"));
        QVERIFY(a.SwiMsg);
        QCOMPARE(a.Text, QString("Meeting\r\nRoom 4"));
        QCOMPARE(a.Minutes, 15);
        QVERIFY(!a.SwiPgm);
        QVERIFY(a.SwiSnd);
        QCOMPARE(a.PathSnd, QString("C:\\WINDOWS\\media\\ding.wav"));
        QCOMPARE(a.HH, int16_t(9));
        QCOMPARE(a.mm, int16_t(30));
        QCOMPARE(a.RingHH, int16_t(9));
        QCOMPARE(a.RingMM, int16_t(30));
        QCOMPARE(a.DefHH, int16_t(9));
        QCOMPARE(a.DefMM, int16_t(30));
        QCOMPARE(a.bSave, int16_t(-1));
        QVERIFY(!a.Rang);
    }

    void windowsWrittenSectionLoadsTheSame() {
        KAlarm a;
        QVERIFY(a.Load(sectionFile(QByteArray(kMeeting).replace("\xC2\xA7", "\xA7")), "Alarm1"));
        QCOMPARE(a.Text, QString("Meeting\r\nRoom 4"));
    }

    void messageEncoding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("two lines")
            << "Meeting\r\nRoom 4" << QByteArray("Meeting\xC2\xA7Room 4") << "Meeting\r\nRoom 4";
        QTest::newRow("three lines") << "a\r\nb\r\nc"
                                     << QByteArray("a\xC2\xA7"
                                                   "b\xC2\xA7"
                                                   "c")
                                     << "a\r\nb\r\nc";
        QTest::newRow("section sign typed by the user")
            << "\u00A7 12" << QByteArray("\xC2\xA7 12") << "\r\n 12";
        QTest::newRow("empty") << "" << QByteArray("") << "";
    }
    void messageEncoding() {
        QFETCH(QString, text);
        QFETCH(QByteArray, line);
        QFETCH(QString, readBack);
        KAlarm a;
        a.Text = text;
        a.bSave = -1;
        QByteArray out;
        a.Save(out);
        QVERIFY(out.contains(QByteArray("\r\nMessage=" + line + "\r\n")));
        KAlarm b;
        QVERIFY(b.Load(sectionFile(out), "Alarm1"));
        QCOMPARE(b.Text, readBack);
    }

    void valuesRoundTrip_data() {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("mode");
        QTest::newRow("long interval") << 40000 << 7 << 1;
        QTest::newRow("hour past the day") << 0 << 25 << -1; // loads; never becomes due
        QTest::newRow("once") << 0 << 0 << 0;
    }
    void valuesRoundTrip() {
        QFETCH(int, minutes);
        QFETCH(int, hour);
        QFETCH(int, mode);
        KAlarm a;
        a.Minutes = minutes;
        a.DefHH = int16_t(hour);
        a.bSave = int16_t(mode);
        QByteArray out;
        a.Save(out);
        KAlarm b;
        QVERIFY(b.Load(sectionFile(out), "Alarm1"));
        QCOMPARE(b.Minutes, minutes);
        QCOMPARE(int(b.HH), hour);
        QCOMPARE(int(b.bSave), mode);
    }

    void booleanTexts_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("value");
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("upper case") << QByteArray("TRUE") << true;
        QTest::newRow("lower case false") << QByteArray("false") << false;
        QTest::newRow("minus one") << QByteArray("-1") << true;
        QTest::newRow("zero") << QByteArray("0") << false;
    }
    void booleanTexts() {
        QFETCH(QByteArray, text);
        QFETCH(bool, value);
        KAlarm a;
        a.SwiMsg = !value;
        QVERIFY(a.Load(sectionFile(QByteArray(kMeeting).replace("ShowMessage=True",
                                                                QByteArray("ShowMessage=" + text))),
                       "Alarm1"));
        QCOMPARE(a.SwiMsg, value);
    }

    void unreadableKeyStopsTheLoad_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("soundRead"); // PlaySound comes before the failing key
        QTest::newRow("no Hour line") << QByteArray("Hour=9\r\n") << QByteArray() << true;
        QTest::newRow("Hour not a number")
            << QByteArray("Hour=9") << QByteArray("Hour=nine") << true;
        QTest::newRow("Minute beyond 16 bits")
            << QByteArray("Minute=30") << QByteArray("Minute=40000") << true;
        QTest::newRow("Mode empty") << QByteArray("Mode=-1") << QByteArray("Mode=") << true;
        QTest::newRow("RepeatMinutes empty")
            << QByteArray("RepeatMinutes=15") << QByteArray("RepeatMinutes=") << true;
        QTest::newRow("ShowMessage unreadable")
            << QByteArray("ShowMessage=True") << QByteArray("ShowMessage=yes") << false;
    }
    void unreadableKeyStopsTheLoad() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, soundRead);
        KAlarm a;
        QVERIFY(!a.Load(sectionFile(QByteArray(kMeeting).replace(from, to)), "Alarm1"));
        QCOMPARE(a.SwiSnd, soundRead);
        QCOMPARE(a.RingHH, int16_t(0)); // the three times were not set
    }

    void missingSectionFails() {
        KAlarm a;
        QVERIFY(!a.Load(sectionFile(kMeeting), "Alarm2"));
    }
};

QTEST_GUILESS_MAIN(tst_KAlarm)
#include "tst_KAlarm.moc"
