#include "TestSupport.h"
#include "settings/KSkin.h"
#include "shell/UserNotice.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QFile>
#include <QTest>

namespace {

SkinList load(const QByteArray& bytes) {
    const QString path = TestSupport::scratchFolder("skins") + "/skins.ini";
    TestSupport::writeFile(path, bytes);
    SkinList list;
    LoadSkinFile(path, list);
    return list;
}

QStringList names(const SkinList& list) {
    QStringList out;
    for (const auto& s : list)
        out << s->Name;
    return out;
}

} // namespace

class tst_KSkin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        ForgetToldSubjects();
    }

    // Only a repeat of the name just accepted is dropped. Beyond the sections present, the
    // first missing one is an empty record; further ones repeat its empty name.
    void countAndNames_data() {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QByteArrayList>("sections");
        QTest::addColumn<QStringList>("loaded");
        const QByteArrayList xy{"X", "Y"};
        QTest::newRow("A A B A") << QByteArray("4") << QByteArrayList{"A", "A", "B", "A"}
                                 << QStringList{"A", "B", "A"};
        QTest::newRow("larger than the sections")
            << QByteArray("5") << xy << QStringList{"X", "Y", ""};
        QTest::newRow("zero") << QByteArray("0") << xy << QStringList{};
        // A count that cannot be right: the sections that are there are read.
        const QStringList both{"X", "Y"};
        QTest::newRow("missing") << QByteArray() << xy << both;
        QTest::newRow("not whole") << QByteArray("2.5") << xy << both;
        QTest::newRow("beyond 32767") << QByteArray("40000") << xy << both;
    }
    void countAndNames() {
        QFETCH(QByteArray, count);
        QFETCH(QByteArrayList, sections);
        QFETCH(QStringList, loaded);
        QByteArray file = "[Skins]\r\nCount=" + count + "\r\n";
        for (int k = 0; k < sections.size(); ++k)
            file += "[Skin" + QByteArray::number(k + 1) + "]\r\nName=" + sections[k] + "\r\n";
        QCOMPARE(names(load(file)), loaded);
    }

    // "%app%" is expanded, "%APP%" is not; unreadable values are 0, sizes round halves to
    // even, and no SecondSize is a style without second hand.
    void fieldsAreRead() {
        const SkinList list = load("[skins]\ncount=2\n"
                                   "[Skin1]\nName=Classic\nBitmap=%app%\\a\\%app%.bmp\n"
                                   "Hour = 333333\nMinute=&H666666\nSecond = FF\n"
                                   "HourSize = 8\nMinuteSize=4.5\nSecondSize = 2\n"
                                   "[Skin2]\nName=Shouting\nBitmap=%APP%/a.bmp\n"
                                   "Hour=xyz\nHourSize=wide\nMinuteSize=5.5\n");
        QCOMPARE(list.size(), 2);
        const KSkin &a = *list[0], &b = *list[1];
        QCOMPARE(a.FileName, ProgramFolder() + "\\a\\" + ProgramFolder() + ".bmp");
        QCOMPARE(QList<int>({a.Hour, a.Minute, a.Second, a.HDM, a.MDM, a.SDM}),
                 QList<int>({0x333333, 0x666666, 255, 8, 4, 2}));
        QCOMPARE(b.FileName, QString("%APP%/a.bmp"));
        QCOMPARE(QList<int>({b.Hour, b.HDM, b.MDM, b.SDM}), QList<int>({0, 0, 6, 0}));
    }

    // An empty catalogue is two lines; negative values in eight-digit two's complement.
    void savedLayoutLoadsBack() {
        UserSkins().clear();
        QVERIFY(SaveUserSkins());
        QCOMPARE(TestSupport::readFile(AppDataFolder() + "myskins.ini"),
                 QByteArray("[Skins]\r\nCount=0\r\n"));
        const QByteArray one = "[Skins]\r\nCount=1\r\n\r\n[Skin1]\r\nName=R\xC3\xB6t\r\n"
                               "Bitmap=/faces/R\xC3\xB6t.bmp\r\nHour = FFFFFF01\r\n"
                               "Minute = 666666\r\nSecond = FF\r\nHourSize = -3\r\n"
                               "MinuteSize = 4\r\nSecondSize = 2\r\n";
        QVERIFY(TestSupport::writeFile(AppDataFolder() + "myskins.ini", one));
        LoadSkins();
        QCOMPARE(names(UserSkins()), QStringList{"R\u00F6t"});
        QCOMPARE(QList<int>({UserSkins()[0]->Hour, UserSkins()[0]->HDM}), QList<int>({-255, -3}));
        QVERIFY(QFile::remove(AppDataFolder() + "myskins.ini"));
        QVERIFY(SaveUserSkins());
        QCOMPARE(TestSupport::readFile(AppDataFolder() + "myskins.ini"), one);
    }

    // A styles file with a value the load cannot take is kept as myskins.ini.bak before the
    // first save replaces it, and the user is told once; a failed save is told once too.
    void damagedFileKeptAndFailureTold() {
        QStringList notices;
        SetNoticeSink([&](const QString& m) { notices << m; });
        const QString file = AppDataFolder() + "myskins.ini";
        const QByteArray damaged = "[Skins]\r\nCount=1\r\n[Skin1]\r\nName=A\r\nHour=red\r\n";
        QVERIFY(TestSupport::writeFile(file, damaged));
        LoadSkins();
        QCOMPARE(names(UserSkins()), QStringList{"A"});
        QVERIFY(SaveUserSkins());
        QVERIFY(SaveUserSkins());
        QCOMPARE(TestSupport::readFile(file + ".bak"), damaged);
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0].contains(file + ".bak"));
        const QByteArray saved = TestSupport::readFile(file);
        SetWriteFailureAfter(10);
        QString error;
        QVERIFY(!SaveUserSkins(&error));
        QVERIFY(!SaveUserSkins());
        SetWriteFailureAfter(-1);
        SetNoticeSink(nullptr);
        QCOMPARE(TestSupport::readFile(file), saved);
        QCOMPARE(notices.size(), 2);
        QCOMPARE(notices[1], error);
        QVERIFY(error.contains(file) && error.contains("No space left on device"));
    }
};

QTEST_GUILESS_MAIN(tst_KSkin)
#include "tst_KSkin.moc"
