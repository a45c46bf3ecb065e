#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

namespace {

QString settingsPath() {
    return AppDataFolder() + "mysettings.ini";
}

KAlarmPtr makeAlarm(int16_t mode, int16_t hour, int16_t minute, const QString& text) {
    auto a = std::make_shared<KAlarm>();
    a->bSave = mode;
    a->HH = a->RingHH = a->DefHH = hour;
    a->mm = a->RingMM = a->DefMM = minute;
    a->SwiMsg = true;
    a->Text = text;
    a->Minutes = mode == 1 ? 15 : 0;
    return a;
}

QByteArray defaultsFile() {
    return "[Style]\r\n"
           "Bitmap=" +
           QCoreApplication::applicationDirPath().toUtf8() +
           "/pics/watch2.bmp\r\n"
           "HourColor=333333\r\n"
           "MinuteColor=666666\r\n"
           "SecondsColor=4040FF\r\n"
           "HourWidth=8\r\n"
           "MinuteWidth=4\r\n"
           "SecondsWidth=2\r\n"
           "\r\n"
           "[Window]\r\n"
           "Borderless=True\r\n"
           "AlwaysOnTop=-1\r\n"
           "Transparent=False\r\n"
           "WindowX=100\r\n"
           "WindowY=100\r\n"
           "SizeX=128\r\n"
           "SizeY=128\r\n"
           "\r\n"
           "[Alarms]\r\n"
           "AlarmsCount=0\r\n";
}

} // namespace

class tst_KOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestSupport::freshUserFolder(); }
    void cleanup() { SetWriteFailureAfter(-1); }

    void firstStartTakesTheDefaultsAndWritesNothing() {
        KOptions o;
        o.Load();
        QCOMPARE(o.StyleIdx, int16_t(9));
        QCOMPARE(o.HCol, 0x333333);
        QCOMPARE(o.SCol, 0x4040FF); // light red: red in the lowest byte
        QCOMPARE(o.OT, int16_t(-1));
        QVERIFY(o.Borderless);
        QVERIFY(!QFile::exists(settingsPath()));
    }

    void savingTheDefaultsWritesTheExampleFile() {
        KOptions o;
        o.Defaults();
        QVERIFY(o.Save());
        QCOMPARE(TestSupport::readFile(settingsPath()), defaultsFile());
    }

    void onlyRecurringAlarmsAreSavedAndNumberedWithoutGaps() {
        KOptions o;
        o.Defaults();
        o.Alarms = {makeAlarm(-1, 7, 5, "Wake up"), makeAlarm(0, 8, 0, "once"),
                    makeAlarm(1, 9, 30, "Meeting\r\nRoom 4")};
        QCOMPARE(o.SaveAlarmCount(), int16_t(2));
        QVERIFY(o.Save());

        const QByteArray file = TestSupport::readFile(settingsPath());
        QVERIFY(file.startsWith(defaultsFile().replace("AlarmsCount=0", "AlarmsCount=2")));
        QVERIFY(file.contains("\r\n\r\n[Alarm1]\r\nShowMessage=True\r\nMessage=Wake up\r\n"));
        QVERIFY(file.contains("\r\n\r\n[Alarm2]\r\nShowMessage=True\r\n"
                              "Message=Meeting\xC2\xA7Room 4\r\nRepeatMinutes=15\r\n"));
        QVERIFY(!file.contains("[Alarm3]"));
        QVERIFY(file.endsWith("Mode=1\r\n"));

        KOptions back;
        back.Load();
        QCOMPARE(back.NumAlrms, int16_t(2));
        QCOMPARE(back.Alarms.size(), 2);
        QCOMPARE(back.Alarms[0]->Text, QString("Wake up"));
        QCOMPARE(back.Alarms[0]->bSave, int16_t(-1));
        QCOMPARE(back.Alarms[1]->Text, QString("Meeting\r\nRoom 4"));
        QCOMPARE(back.Alarms[1]->RingHH, int16_t(9));
        QCOMPARE(back.Alarms[1]->Minutes, 15);
        QCOMPARE(back.StyleIdx, int16_t(0)); // not kept in the file
    }

    void windowsWrittenFileLoadsTheSame() {
        // Written by the Windows program: CR LF, ANSI code page (byte A7 for the section
        // sign), backslashes in paths, and key names in their own letter case.
        QVERIFY(TestSupport::writeFile(settingsPath(), "[Style]\r\n"
                                                       "Bitmap=C:\\Zintar\\pics\\watch2.bmp\r\n"
                                                       "HourColor=FF\r\n"
                                                       "MinuteColor=666666\r\n"
                                                       "SecondsColor=4040FF\r\n"
                                                       "HourWidth=6\r\n"
                                                       "MinuteWidth=3\r\n"
                                                       "SecondsWidth=0\r\n"
                                                       "\r\n"
                                                       "[Window]\r\n"
                                                       "Borderless=False\r\n"
                                                       "AlwaysOnTop=1\r\n"
                                                       "Transparent=True\r\n"
                                                       "WindowX=1500\r\n"
                                                       "WindowY=-30\r\n"
                                                       "SizeX=192\r\n"
                                                       "SizeY=192\r\n"
                                                       "\r\n"
                                                       "[Alarms]\r\n"
                                                       "AlarmsCount=1\r\n"
                                                       "\r\n"
                                                       "[Alarm1]\r\n"
                                                       "ShowMessage=True\r\n"
                                                       "Message=Meeting\xA7Room 4\r\n"
                                                       "RepeatMinutes=15\r\n"
                                                       "RunProgram=False\r\n"
                                                       "Program=\r\n"
                                                       "PlaySound=True\r\n"
                                                       "Sound=C:\\WINDOWS\\media\\ding.wav\r\n"
                                                       "Hour=9\r\n"
                                                       "Minute=30\r\n"
                                                       "Mode=-1\r\n"));
        KOptions o;
        o.Load();
        QCOMPARE(o.StyleFile, QString("C:\\Zintar\\pics\\watch2.bmp"));
        QCOMPARE(o.HCol, 255);
        QCOMPARE(o.HW, int16_t(6));
        QCOMPARE(o.SW, int16_t(0));
        QVERIFY(!o.Borderless);
        QCOMPARE(o.OT, int16_t(1));
        QVERIFY(o.Transparent);
        QCOMPARE(o.PX, 1500.0f);
        QCOMPARE(o.PY, -30.0f);
        QCOMPARE(o.SizeY, 192);
        QCOMPARE(o.Alarms.size(), 1);
        QCOMPARE(o.Alarms[0]->Text, QString("Meeting\r\nRoom 4"));
        QCOMPARE(o.Alarms[0]->PathSnd, QString("C:\\WINDOWS\\media\\ding.wav"));

        // Written back in UTF-8 with our layout.
        QVERIFY(o.Save());
        const QByteArray saved = TestSupport::readFile(settingsPath());
        QVERIFY(saved.contains("\r\nMessage=Meeting\xC2\xA7Room 4\r\n"));
        QVERIFY(saved.contains("\r\nWindowY=-30\r\n"));
    }

    void alarmsCountDecidesWhichSectionsAreRead_data() {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("zero ignores the sections") << QByteArray("0") << QStringList{};
        QTest::newRow("one of three") << QByteArray("1") << QStringList{"a"};
        QTest::newRow("more than present") << QByteArray("9") << QStringList{"a", "c"};
        QTest::newRow("negative") << QByteArray("-2") << QStringList{};
        QTest::newRow("not a number") << QByteArray("many") << QStringList{};
    }
    void alarmsCountDecidesWhichSectionsAreRead() {
        QFETCH(QByteArray, count);
        QFETCH(QStringList, loaded);
        const QByteArray good = "ShowMessage=True\r\nRepeatMinutes=0\r\nRunProgram=False\r\n"
                                "PlaySound=False\r\nHour=7\r\nMinute=0\r\nMode=-1\r\n";
        // Alarm2 has no Hour line: it cannot be read and is dropped, Alarm3 still loads.
        QVERIFY(TestSupport::writeFile(
            settingsPath(),
            "[Alarms]\r\nAlarmsCount=" + count + "\r\n\r\n[Alarm1]\r\nMessage=a\r\n" + good +
                "\r\n[Alarm2]\r\nMessage=b\r\n" + QByteArray(good).replace("Hour=7\r\n", "") +
                "\r\n[Alarm3]\r\nMessage=c\r\n" + good));
        KOptions o;
        o.Load();
        QStringList texts;
        for (const auto& a : o.Alarms)
            texts << a->Text;
        QCOMPARE(texts, loaded);
    }

    void unreadableValuesTakeTheirDefaults() {
        QVERIFY(TestSupport::writeFile(settingsPath(), "[Style]\r\n"
                                                       "Bitmap=\r\n"
                                                       "HourColor=zz\r\n"
                                                       "MinuteColor=\r\n"
                                                       "SecondsColor=&Hqq\r\n"
                                                       "HourWidth=wide\r\n"
                                                       "MinuteWidth=99999\r\n"
                                                       "SecondsWidth=\r\n"
                                                       "[Window]\r\n"
                                                       "Borderless=maybe\r\n"
                                                       "AlwaysOnTop=top\r\n"
                                                       "Transparent=\r\n"
                                                       "WindowX=left\r\n"
                                                       "WindowY=1e99\r\n"
                                                       "SizeX=\xFF\xFE\r\n"
                                                       "[Alarms]\r\n"
                                                       "AlarmsCount=x\r\n"));
        KOptions o;
        o.Load();
        QCOMPARE(o.StyleFile, QCoreApplication::applicationDirPath() + "/pics/watch2.bmp");
        QCOMPARE(o.HCol, 0); // colours that cannot be read are black
        QCOMPARE(o.MCol, 0);
        QCOMPARE(o.SCol, 0);
        QCOMPARE(o.HW, int16_t(8));
        QCOMPARE(o.MW, int16_t(4));
        QCOMPARE(o.SW, int16_t(2));
        QVERIFY(o.Borderless);
        QCOMPARE(o.OT, int16_t(-1));
        QVERIFY(!o.Transparent);
        QCOMPARE(o.PX, 100.0f);
        QCOMPARE(o.PY, 100.0f);
        QCOMPARE(o.SizeX, 128);
        QCOMPARE(o.SizeY, 128);
        QCOMPARE(o.NumAlrms, int16_t(0));
        QVERIFY(o.Alarms.isEmpty());
    }

    void binaryGarbageLoadsWithoutCrash() {
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919) % 256));
        QVERIFY(TestSupport::writeFile(settingsPath(), noise));
        KOptions o;
        o.Load();
        QCOMPARE(o.SizeX, 128);
        QVERIFY(o.Alarms.isEmpty());
    }

    void valuesAreConverted_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("expected");
        QTest::newRow("on the bottom") << QByteArray("AlwaysOnTop=1") << "OT" << 1.0;
        QTest::newRow("on top") << QByteArray("AlwaysOnTop=-1") << "OT" << -1.0;
        QTest::newRow("normal") << QByteArray("AlwaysOnTop=0") << "OT" << 0.0;
        QTest::newRow("SizeY read as Sizey") << QByteArray("SizeY=192") << "SizeY" << 192.0;
        QTest::newRow("half rounds to even") << QByteArray("WindowX=100.5") << "PX" << 100.0;
        QTest::newRow("half rounds up to even") << QByteArray("WindowX=101.5") << "PX" << 102.0;
        QTest::newRow("Boolean in lower case")
            << QByteArray("Borderless=false") << "Borderless" << 0.0;
        QTest::newRow("Boolean as number") << QByteArray("Transparent=-1") << "Transparent" << 1.0;
    }
    void valuesAreConverted() {
        QFETCH(QByteArray, line);
        QFETCH(QString, field);
        QFETCH(double, expected);
        QVERIFY(TestSupport::writeFile(settingsPath(), "[Window]\r\n" + line + "\r\n"));
        KOptions o;
        o.Load();
        const QHash<QString, double> values{{"OT", o.OT},
                                            {"SizeY", o.SizeY},
                                            {"PX", o.PX},
                                            {"Borderless", o.Borderless},
                                            {"Transparent", o.Transparent}};
        QCOMPARE(values.value(field), expected);
    }

    void positionIsWrittenInItsShortestForm_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole") << 1500.0f << QByteArray("1500");
        QTest::newRow("negative") << -45.0f << QByteArray("-45");
        QTest::newRow("fraction") << 1500.5f << QByteArray("1500.5");
        QTest::newRow("zero") << 0.0f << QByteArray("0");
    }
    void positionIsWrittenInItsShortestForm() {
        QFETCH(float, value);
        QFETCH(QByteArray, text);
        KOptions o;
        o.Defaults();
        o.PX = value;
        QVERIFY(o.Save());
        QVERIFY(TestSupport::readFile(settingsPath())
                    .contains(QByteArray("\r\nWindowX=" + text + "\r\n")));
    }

    void failedSaveKeepsTheOldFileAndTheValues() {
        KOptions o;
        o.Defaults();
        QVERIFY(o.Save());
        const QByteArray before = TestSupport::readFile(settingsPath());

        o.SizeX = 256;
        o.Alarms = {makeAlarm(-1, 6, 0, "new")};
        SetWriteFailureAfter(100); // the disk fills up part-way through
        QString error;
        QVERIFY(!o.Save(&error));
        QVERIFY(error.contains("mysettings.ini"));
        QCOMPARE(TestSupport::readFile(settingsPath()), before);
        QCOMPARE(QDir(AppDataFolder()).entryList(QDir::Files), QStringList{"mysettings.ini"});
        QCOMPARE(o.SizeX, 256);
        QCOMPARE(o.Alarms.size(), 1);

        SetWriteFailureAfter(-1);
        QVERIFY(o.Save());
        QVERIFY(TestSupport::readFile(settingsPath()).contains("\r\nSizeX=256\r\n"));
    }

    void saveIntoAnUnusableFolderFailsWithoutCrash() {
        // A file where the per-user folder should be: nothing can be written there.
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(TestSupport::writeFile(base + "/Zintar_22", "in the way"));
        KOptions o;
        o.Load();
        QCOMPARE(o.SizeX, 128);
        QString error;
        QVERIFY(!o.Save(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(TestSupport::readFile(base + "/Zintar_22"), QByteArray("in the way"));
        QFile::remove(base + "/Zintar_22");
    }
};

QTEST_GUILESS_MAIN(tst_KOptions)
#include "tst_KOptions.moc"
