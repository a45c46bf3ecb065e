#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/UserNotice.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>
#include <sys/stat.h>

namespace {

QString settingsPath() {
    return AppDataFolder() + "mysettings.ini";
}

QByteArray saved() {
    return TestSupport::readFile(settingsPath());
}

KAlarmPtr makeAlarm(int16_t mode, const QString& text) {
    auto a = std::make_shared<KAlarm>();
    a->bSave = mode;
    a->HH = a->RingHH = a->DefHH = 9;
    a->SwiMsg = true;
    a->Text = text;
    a->Minutes = mode == 1 ? 15 : 0;
    return a;
}

QStringList texts(const QString& file) {
    if (!file.isEmpty())
        TestSupport::writeFile(settingsPath(), file.toLatin1());
    KOptions o;
    o.Load();
    QStringList out;
    for (const auto& a : o.Alarms)
        out << a->Text + QString::number(a->Minutes);
    return out;
}

QByteArray defaultsFile() {
    return "[Style]\r\nBitmap=" + QCoreApplication::applicationDirPath().toUtf8() +
           "/pics/watch2.bmp\r\n"
           "HourColor=333333\r\nMinuteColor=666666\r\nSecondsColor=4040FF\r\n"
           "HourWidth=8\r\nMinuteWidth=4\r\nSecondsWidth=2\r\n\r\n"
           "[Window]\r\nBorderless=True\r\nAlwaysOnTop=-1\r\nTransparent=False\r\n"
           "WindowX=100\r\nWindowY=100\r\nSizeX=128\r\nSizeY=128\r\n\r\n"
           "[Alarms]\r\nAlarmsCount=0\r\n";
}

} // namespace

class tst_KOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        notices.clear();
        ForgetToldSubjects();
        SetNoticeSink([this](const QString& m) { notices << m; });
    }
    void cleanup() {
        SetWriteFailureAfter(-1);
        SetNoticeSink(nullptr);
    }

    void savingTheDefaultsWritesTheExampleFile() {
        KOptions o;
        o.Load();
        QVERIFY(!QFile::exists(settingsPath())); // nothing written until asked to save
        QVERIFY(o.Save());
        QCOMPARE(saved(), defaultsFile());
    }

    // Once-only alarms are not saved; the others are numbered without gaps. The same file
    // as Windows writes it (byte A7 for the section sign, "\" in paths) loads the same.
    void recurringAlarmsSaveAndLoadBack() {
        KOptions o;
        o.Defaults();
        o.Alarms = {makeAlarm(-1, "Wake up"), makeAlarm(0, "once"),
                    makeAlarm(1, "Meeting\r\nRoom 4")};
        QVERIFY(o.Save());
        const QByteArray file = saved();
        QVERIFY(file.startsWith(defaultsFile().replace("AlarmsCount=0", "AlarmsCount=2")));
        QVERIFY(file.contains("\r\n\r\n[Alarm1]\r\nShowMessage=True\r\nMessage=Wake up\r\n"));
        QVERIFY(file.contains("\r\n\r\n[Alarm2]\r\nShowMessage=True\r\n"
                              "Message=Meeting\xC2\xA7Room 4\r\nRepeatMinutes=15\r\n"));
        QVERIFY(!file.contains("[Alarm3]"));
        const QStringList back{"Wake up0", "Meeting\r\nRoom 415"};
        QCOMPARE(texts({}), back);
        QByteArray windows = QByteArray(file).replace("\xC2\xA7", "\xA7");
        QVERIFY(TestSupport::writeFile(settingsPath(), windows.replace("/pics/", "\\pics\\")));
        KOptions w;
        w.Load();
        QCOMPARE(LocalPath(w.StyleFile), o.StyleFile);
        QCOMPARE(texts({}), back);
    }

    // Alarm2 has no Hour line: it cannot be read and is dropped, Alarm3 still loads.
    void alarmsCountDecidesWhichSectionsAreRead_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("loaded");
        QTest::newRow("zero ignores the sections") << "0" << QStringList{};
        QTest::newRow("one of three") << "1" << QStringList{"a0"};
        QTest::newRow("more than present") << "9" << QStringList{"a0", "c0"};
        // A count that cannot be right: the sections that are there are read.
        for (const char* wrong : {"many", "-1", "1000000", "2147483648", ""})
            QTest::newRow(wrong) << wrong << QStringList{"a0", "c0"};
    }
    void alarmsCountDecidesWhichSectionsAreRead() {
        QFETCH(QString, count);
        QFETCH(QStringList, loaded);
        const QString good = "ShowMessage=True\nRepeatMinutes=0\nRunProgram=False\n"
                             "PlaySound=False\nHour=7\nMinute=0\nMode=-1\n";
        QCOMPARE(texts("[Alarms]\nAlarmsCount=" + count + "\n[Alarm1]\nMessage=a\n" + good +
                       "[Alarm2]\nMessage=b\n" + QString(good).remove("Hour=7\n") +
                       "[Alarm3]\nMessage=c\n" + good),
                 loaded);
    }

    // A time out of range in a hand-edited file counts on into the next hours and days.
    void handEditedTimesCountOn() {
        const QString rest = "ShowMessage=True\nRepeatMinutes=0\nRunProgram=False\n"
                             "PlaySound=False\nMode=-1\n";
        QString file = "[Alarms]\nAlarmsCount=5\n";
        const QStringList stored{"25 0", "10 60", "23 75", "-1 0", "0 -30"};
        for (int i = 0; i < stored.size(); ++i)
            file += QString("[Alarm%1]\nMessage=m\nHour=%2\nMinute=%3\n")
                        .arg(i + 1)
                        .arg(stored[i].section(' ', 0, 0), stored[i].section(' ', 1, 1)) +
                    rest;
        TestSupport::writeFile(settingsPath(), file.toLatin1());
        KOptions o;
        o.Load();
        QStringList times;
        for (const auto& a : o.Alarms) {
            QCOMPARE(QList<int>({a->RingHH, a->RingMM, a->DefHH, a->DefMM}),
                     QList<int>({a->HH, a->mm, a->HH, a->mm}));
            times << QString("%1:%2").arg(a->HH).arg(a->mm);
        }
        QCOMPARE(times, QStringList({"1:0", "11:0", "0:15", "23:0", "23:30"}));
    }

    // Unreadable values take their defaults, but colours read as black; readable ones are
    // converted (halves to even, Booleans in any case or as numbers).
    void valuesAreReadOrDefaulted() {
        QVERIFY(TestSupport::writeFile(
            settingsPath(), "[Style]\r\nBitmap=\r\nHourColor=zz\r\nMinuteColor=\r\n"
                            "SecondsColor=&Hqq\r\nHourWidth=wide\r\nMinuteWidth=99999\r\n"
                            "[Window]\r\nBorderless=false\r\nAlwaysOnTop=1\r\n"
                            "Transparent=-1\r\nWindowX=100.5\r\nWindowY=1e99\r\n"
                            "SizeX=\xFF\xFE\r\n[Alarms]\r\nAlarmsCount=x\r\n"));
        KOptions o;
        o.Load();
        QVERIFY(o.Save());
        QCOMPARE(saved(), defaultsFile()
                              .replace("HourColor=333333", "HourColor=0")
                              .replace("MinuteColor=666666", "MinuteColor=0")
                              .replace("SecondsColor=4040FF", "SecondsColor=0")
                              .replace("Borderless=True", "Borderless=False")
                              .replace("AlwaysOnTop=-1", "AlwaysOnTop=1")
                              .replace("Transparent=False", "Transparent=True"));
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919) % 256));
        QVERIFY(TestSupport::writeFile(settingsPath(), noise));
        o.Load();
        QCOMPARE(o.SizeX, 128);
    }

    // A save of what the file holds already writes nothing: no new file, no sync.
    void unchangedSettingsAreNotWrittenAgain() {
        KOptions o;
        o.Defaults();
        QVERIFY(o.Save());
        const auto inode = [] {
            struct stat st {};
            return ::stat(QFile::encodeName(settingsPath()).constData(), &st) == 0 ? st.st_ino
                                                                                   : ino_t(0);
        };
        const auto first = inode();
        SetWriteFailureAfter(0); // any write would fail now
        QVERIFY(o.Save());
        QCOMPARE(inode(), first);
        SetWriteFailureAfter(-1);
        o.PX = 1234;
        QVERIFY(o.Save());
        QVERIFY(inode() != first); // a change is written as a new file, renamed into place
    }

    void failedSaveKeepsTheOldFileAndTheValues() {
        KOptions o;
        o.Defaults();
        QVERIFY(o.Save());
        o.PX = 1500.5f;
        o.Alarms = {makeAlarm(-1, "new")};
        SetWriteFailureAfter(100); // the disk fills up part-way through
        QString error;
        QVERIFY(!o.Save(&error));
        QVERIFY(!o.Save());
        QVERIFY(error.contains("mysettings.ini"));
        QCOMPARE(notices, QStringList{error}); // told once, with the path and the reason
        QVERIFY(error.contains(settingsPath()) && error.contains("No space left on device"));
        QCOMPARE(saved(), defaultsFile());
        QCOMPARE(QDir(AppDataFolder()).entryList(QDir::Files), QStringList{"mysettings.ini"});
        SetWriteFailureAfter(-1);
        QVERIFY(o.Save());
        QVERIFY(saved().contains("\r\nWindowX=1500.5\r\n")); // the shortest form
    }

    // What the load cannot take is kept as mysettings.ini.bak at the first save and the user
    // is told once; the alarms that are there still load.
    void damagedFileKept_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<bool>("kept");
        const QByteArray good = "ShowMessage=True\nRepeatMinutes=0\nRunProgram=False\n"
                                "PlaySound=False\nHour=7\nMinute=0\nMode=-1\n";
        const QByteArray a = "[Alarm1]\nMessage=a\n" + good, b = "[Alarm2]\nMessage=b\n" + good;
        const auto count = [](const char* n) -> QByteArray {
            return QByteArray("[Alarms]\nAlarmsCount=") + n + "\n";
        };
        const QStringList both{"a0", "b0"};
        QTest::newRow("sound") << count("2") + a + b << both << false;
        QTest::newRow("count 1000000") << count("1000000") + a + b << both << true;
        QTest::newRow("count -1") << count("-1") + a + b << both << true;
        QTest::newRow("count 2147483648") << count("2147483648") + a + b << both << true;
        QTest::newRow("section beyond the count")
            << count("1") + a + b << QStringList{"a0"} << true;
        QTest::newRow("truncated")
            << count("2") + a + "[Alarm2]\nMessage=b\nShowMes" << QStringList{"a0"} << true;
        QTest::newRow("size out of range")
            << "[Window]\nSizeX=99999999999\n" + count("1") + a << QStringList{"a0"} << true;
        QTest::newRow("colour unreadable")
            << "[Style]\nHourColor=red\n" + count("1") + a << QStringList{"a0"} << true;
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919) % 256));
        QTest::newRow("binary") << noise << QStringList{} << true;
        QTest::newRow("larger than 1 MB")
            << count("1") + a + "[Padding]\n" + QByteArray(1100 * 1000, 'x') << QStringList{}
            << true;
    }
    void damagedFileKept() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, loaded);
        QFETCH(bool, kept);
        QVERIFY(TestSupport::writeFile(settingsPath(), file));
        KOptions o;
        o.Load();
        QStringList texts;
        for (const auto& alarm : o.Alarms)
            texts << alarm->Text + QString::number(alarm->Minutes);
        QCOMPARE(texts, loaded);
        QVERIFY(o.Save());
        QVERIFY(o.Save());
        QCOMPARE(QFile::exists(settingsPath() + ".bak"), kept);
        QCOMPARE(notices.size(), kept ? 1 : 0);
        if (!kept)
            return;
        QCOMPARE(TestSupport::readFile(settingsPath() + ".bak"), file);
        QVERIFY(notices[0].contains(settingsPath() + ".bak"));
        // The file now saved loads whole: the copy stays the damaged one.
        o.Load();
        QVERIFY(o.Damage.isEmpty());
        QVERIFY(o.Save());
        QCOMPARE(TestSupport::readFile(settingsPath() + ".bak"), file);
        QCOMPARE(notices.size(), 1);
    }

private:
    QStringList notices;
};

QTEST_GUILESS_MAIN(tst_KOptions)
#include "tst_KOptions.moc"
