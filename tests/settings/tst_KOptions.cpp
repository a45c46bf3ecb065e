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

KAlarmPtr makeAlarm(int16_t mode, int16_t hour, const QString& text) {
    auto a = std::make_shared<KAlarm>();
    a->bSave = mode;
    a->HH = a->RingHH = a->DefHH = hour;
    a->SwiMsg = true;
    a->Text = text;
    a->Minutes = mode == 1 ? 15 : 0;
    return a;
}

QStringList texts(const KOptions& o) {
    QStringList out;
    for (const auto& a : o.Alarms)
        out << a->Text;
    return out;
}

QByteArray defaultsFile() {
    return "[Style]\r\nBitmap=" + QCoreApplication::applicationDirPath().toUtf8() +
           "/pics/watch2.bmp\r\n"
           "HourColor=333333\r\nMinuteColor=666666\r\nSecondsColor=4040FF\r\n"
           "HourWidth=8\r\nMinuteWidth=4\r\nSecondsWidth=2\r\n"
           "\r\n"
           "[Window]\r\nBorderless=True\r\nAlwaysOnTop=-1\r\nTransparent=False\r\n"
           "WindowX=100\r\nWindowY=100\r\nSizeX=128\r\nSizeY=128\r\n"
           "\r\n"
           "[Alarms]\r\nAlarmsCount=0\r\n";
}

} // namespace

class tst_KOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestSupport::freshUserFolder(); }
    void cleanup() { SetWriteFailureAfter(-1); }

    // A first start takes the defaults and writes nothing until asked to save.
    void savingTheDefaultsWritesTheExampleFile() {
        KOptions o;
        o.Load();
        QCOMPARE(o.StyleIdx, int16_t(9));
        QVERIFY(!QFile::exists(settingsPath()));
        QVERIFY(o.Save());
        QCOMPARE(TestSupport::readFile(settingsPath()), defaultsFile());
        o.Defaults();
        QVERIFY(o.Save());
        QCOMPARE(TestSupport::readFile(settingsPath()), defaultsFile());
    }

    void onlyRecurringAlarmsAreSavedAndNumberedWithoutGaps() {
        KOptions o;
        o.Defaults();
        o.Alarms = {makeAlarm(-1, 7, "Wake up"), makeAlarm(0, 8, "once"),
                    makeAlarm(1, 9, "Meeting\r\nRoom 4")};
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
        QCOMPARE(texts(back), (QStringList{"Wake up", "Meeting\r\nRoom 4"}));
        QCOMPARE(back.Alarms[0]->bSave, int16_t(-1));
        QCOMPARE(back.Alarms[1]->RingHH, int16_t(9));
        QCOMPARE(back.Alarms[1]->Minutes, 15);

        // The same file as the Windows program writes it: ANSI code page (byte A7 for the
        // section sign) and backslashes in paths. It loads the same, and saves back in UTF-8.
        QVERIFY(TestSupport::writeFile(
            settingsPath(),
            QByteArray(file).replace("\xC2\xA7", "\xA7").replace("/pics/", "\\pics\\")));
        KOptions windows;
        windows.Load();
        QCOMPARE(texts(windows), texts(back));
        QCOMPARE(LocalPath(windows.StyleFile), back.StyleFile);
        QCOMPARE(windows.Alarms[1]->Minutes, 15);
        QVERIFY(windows.Save());
        QVERIFY(TestSupport::readFile(settingsPath())
                    .contains("\r\nMessage=Meeting\xC2\xA7Room 4\r\n"));
    }

    void alarmsCountDecidesWhichSectionsAreRead_data() {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("zero ignores the sections") << QByteArray("0") << QStringList{};
        QTest::newRow("one of three") << QByteArray("1") << QStringList{"a"};
        QTest::newRow("more than present") << QByteArray("9") << QStringList{"a", "c"};
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
        QCOMPARE(texts(o), loaded);
    }

    // Written back, a file of unreadable values is the defaults, but for the colours that
    // could not be read, which are black.
    void unreadableValuesTakeTheirDefaults() {
        QVERIFY(TestSupport::writeFile(
            settingsPath(), "[Style]\r\nBitmap=\r\nHourColor=zz\r\nMinuteColor=\r\n"
                            "SecondsColor=&Hqq\r\nHourWidth=wide\r\nMinuteWidth=99999\r\n"
                            "SecondsWidth=\r\n"
                            "[Window]\r\nBorderless=maybe\r\nAlwaysOnTop=top\r\n"
                            "Transparent=\r\nWindowX=left\r\nWindowY=1e99\r\n"
                            "SizeX=\xFF\xFE\r\n"
                            "[Alarms]\r\nAlarmsCount=x\r\n"));
        KOptions o;
        o.Load();
        QVERIFY(o.Save());
        QCOMPARE(TestSupport::readFile(settingsPath()),
                 defaultsFile()
                     .replace("HourColor=333333", "HourColor=0")
                     .replace("MinuteColor=666666", "MinuteColor=0")
                     .replace("SecondsColor=4040FF", "SecondsColor=0"));

        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919) % 256));
        QVERIFY(TestSupport::writeFile(settingsPath(), noise));
        KOptions binary;
        binary.Load();
        QCOMPARE(binary.SizeX, 128);
        QVERIFY(binary.Alarms.isEmpty());
    }

    // What a line of the file reads as, shown by how it is written back.
    void valuesAreConverted_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("on the bottom")
            << QByteArray("AlwaysOnTop=1") << QByteArray("AlwaysOnTop=1");
        QTest::newRow("half rounds to even")
            << QByteArray("WindowX=100.5") << QByteArray("WindowX=100");
        QTest::newRow("Boolean in lower case")
            << QByteArray("Borderless=false") << QByteArray("Borderless=False");
        QTest::newRow("Boolean as number")
            << QByteArray("Transparent=-1") << QByteArray("Transparent=True");
    }
    void valuesAreConverted() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, saved);
        QVERIFY(TestSupport::writeFile(settingsPath(), "[Window]\r\n" + line + "\r\n"));
        KOptions o;
        o.Load();
        QVERIFY(o.Save());
        QVERIFY(
            TestSupport::readFile(settingsPath()).contains(QByteArray("\r\n" + saved + "\r\n")));
    }

    void failedSaveKeepsTheOldFileAndTheValues() {
        KOptions o;
        o.Defaults();
        QVERIFY(o.Save());
        const QByteArray before = TestSupport::readFile(settingsPath());

        o.SizeX = 256;
        o.PX = 1500.5f;
        o.Alarms = {makeAlarm(-1, 6, "new")};
        SetWriteFailureAfter(100); // the disk fills up part-way through
        QString error;
        QVERIFY(!o.Save(&error));
        QVERIFY(error.contains("mysettings.ini"));
        QCOMPARE(TestSupport::readFile(settingsPath()), before);
        QCOMPARE(QDir(AppDataFolder()).entryList(QDir::Files), QStringList{"mysettings.ini"});
        QCOMPARE(o.SizeX, 256);

        SetWriteFailureAfter(-1);
        QVERIFY(o.Save());
        const QByteArray after = TestSupport::readFile(settingsPath());
        QVERIFY(after.contains("\r\nSizeX=256\r\n"));
        QVERIFY(after.contains("\r\nWindowX=1500.5\r\n")); // the shortest form
    }

    void saveIntoAnUnusableFolderFailsWithoutCrash() {
        // A file where the per-user folder should be: nothing can be written there.
        const QString blocked =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Zintar_22";
        QVERIFY(TestSupport::writeFile(blocked, "in the way"));
        KOptions o;
        o.Load();
        QCOMPARE(o.SizeX, 128);
        QString error;
        QVERIFY(!o.Save(&error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(TestSupport::readFile(blocked), QByteArray("in the way"));
        QFile::remove(blocked);
    }
};

QTEST_GUILESS_MAIN(tst_KOptions)
#include "tst_KOptions.moc"
