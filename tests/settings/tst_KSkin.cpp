#include "TestSupport.h"
#include "settings/KSkin.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QCoreApplication>
#include <QTest>

namespace {

QByteArray section(int k, const QByteArray& name, const QByteArray& extra = {}) {
    return "\r\n[Skin" + QByteArray::number(k) + "]\r\nName=" + name + "\r\n" + extra;
}

QString skinFile(const QByteArray& bytes) {
    const QString path = TestSupport::scratchFolder("skins") + "/skins.ini";
    TestSupport::writeFile(path, bytes);
    return path;
}

QStringList names(const SkinList& list) {
    QStringList out;
    for (const auto& s : list)
        out << s->Name;
    return out;
}

KSkinPtr makeSkin(const QString& name, int32_t hour, int32_t hdm) {
    auto s = std::make_shared<KSkin>();
    s->Name = name;
    s->FileName = "/usr/share/faces/" + name + ".bmp";
    s->Hour = hour;
    s->Minute = 0x666666;
    s->Second = 255;
    s->HDM = hdm;
    s->MDM = 4;
    s->SDM = 2;
    return s;
}

} // namespace

class tst_KSkin : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        UserSkins().clear();
        DefaultSkins().clear();
    }
    void cleanup() { SetWriteFailureAfter(-1); }

    void onlyANameRepeatingTheOneJustAcceptedIsDropped() {
        SkinList list;
        LoadSkinFile(skinFile("[Skins]\r\nCount=4\r\n" + section(1, "A") + section(2, "A") +
                              section(3, "B") + section(4, "A")),
                     list);
        QCOMPARE(names(list), (QStringList{"A", "B", "A"}));
    }

    void countDecidesHowManySectionsAreRead_data() {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QStringList>("loaded");
        // Beyond the sections present, the first missing one is an empty record; further
        // ones repeat its empty name and are dropped.
        QTest::newRow("larger than the sections") << QByteArray("5") << QStringList{"X", "Y", ""};
        QTest::newRow("smaller") << QByteArray("1") << QStringList{"X"};
        QTest::newRow("zero") << QByteArray("0") << QStringList{};
        QTest::newRow("negative") << QByteArray("-3") << QStringList{};
        QTest::newRow("missing") << QByteArray() << QStringList{};
        QTest::newRow("not a number") << QByteArray("two") << QStringList{};
        QTest::newRow("not whole") << QByteArray("2.5") << QStringList{};
        QTest::newRow("beyond 32767") << QByteArray("40000") << QStringList{};
    }
    void countDecidesHowManySectionsAreRead() {
        QFETCH(QByteArray, count);
        QFETCH(QStringList, loaded);
        SkinList list;
        LoadSkinFile(
            skinFile("[Skins]\r\nCount=" + count + "\r\n" + section(1, "X") + section(2, "Y")),
            list);
        QCOMPARE(names(list), loaded);
    }

    void aFirstSectionWithoutNameIsDropped() {
        SkinList list;
        LoadSkinFile(skinFile("[Skins]\nCount=2\n[Skin1]\nHour=FF\n[Skin2]\nName=B\n"), list);
        QCOMPARE(names(list), QStringList{"B"});
    }

    void fieldsAreRead() {
        SkinList list;
        LoadSkinFile(skinFile("[skins]\ncount=3\n"
                              "[Skin1]\nName=Classic\nBitmap=%app%\\pics\\watch2.bmp\n"
                              "Hour = 333333\nMinute=&H666666\nSecond = FF\n"
                              "HourSize = 8\nMinuteSize=4.5\nSecondSize = 2\n"
                              "[Skin2]\nName=Shouting\nBitmap=%APP%/pics/a.bmp\n"
                              "Hour=xyz\nHourSize=wide\nMinuteSize=5.5\n"
                              "[Skin3]\nName=Twice\nBitmap=%app%/a/%app%/b.bmp\n"),
                     list);
        QCOMPARE(list.size(), 3);
        const KSkin& a = *list[0];
        QCOMPARE(a.FileName, ProgramFolder() + "\\pics\\watch2.bmp");
        QCOMPARE(a.Hour, 0x333333);
        QCOMPARE(a.Minute, 0x666666);
        QCOMPARE(a.Second, 255);
        QCOMPARE(a.HDM, 8);
        QCOMPARE(a.MDM, 4); // halves round to even
        QCOMPARE(a.SDM, 2);

        const KSkin& b = *list[1];
        QCOMPARE(b.FileName, QString("%APP%/pics/a.bmp")); // the placeholder is case-sensitive
        QCOMPARE(b.Hour, 0);
        QCOMPARE(b.HDM, 0);
        QCOMPARE(b.MDM, 6);
        QCOMPARE(b.SDM, 0); // no SecondSize: a style without second hand

        QCOMPARE(list[2]->FileName, ProgramFolder() + "/a/" + ProgramFolder() + "/b.bmp");
    }

    void windowsWrittenFileLoads() {
        SkinList list;
        LoadSkinFile(skinFile("[Skins]\r\nCount=1\r\n\r\n[Skin1]\r\nName=M\xFC"
                              "de \xA7 1\r\nHour = FF\r\n"),
                     list);
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0]->Name, QString("M\u00FCde \u00A7 1"));
        QCOMPARE(list[0]->Hour, 255);
    }

    void emptyCatalogueSavesAsTwoLines() {
        QVERIFY(SaveUserSkins());
        QCOMPARE(TestSupport::readFile(AppDataFolder() + "myskins.ini"),
                 QByteArray("[Skins]\r\nCount=0\r\n"));
    }

    void savedLayout() {
        UserSkins() = {makeSkin("R\u00F6t", -255, -3)};
        QVERIFY(SaveUserSkins());
        QCOMPARE(TestSupport::readFile(AppDataFolder() + "myskins.ini"),
                 QByteArray("[Skins]\r\n"
                            "Count=1\r\n"
                            "\r\n"
                            "[Skin1]\r\n"
                            "Name=R\xC3\xB6t\r\n"
                            "Bitmap=/usr/share/faces/R\xC3\xB6t.bmp\r\n"
                            "Hour = FFFFFF01\r\n"
                            "Minute = 666666\r\n"
                            "Second = FF\r\n"
                            "HourSize = -3\r\n"
                            "MinuteSize = 4\r\n"
                            "SecondSize = 2\r\n"));
    }

    void saveAndLoadGiveTheSameRecords() {
        UserSkins() = {makeSkin("One", 0x333333, 8), makeSkin("Two", -1, 12), makeSkin("Two", 0, 1),
                       makeSkin("Three", 0, 0)};
        QVERIFY(SaveUserSkins());
        LoadSkins();
        // The repeated name right after its twin is lost on loading.
        QCOMPARE(names(UserSkins()), (QStringList{"One", "Two", "Three"}));
        const KSkin& two = *UserSkins()[1];
        QCOMPARE(two.Hour, -1);
        QCOMPARE(two.HDM, 12);
        QCOMPARE(two.FileName, QString("/usr/share/faces/Two.bmp"));
    }

    void loadSkinsWithoutUserFileLeavesTheUserListEmpty() {
        UserSkins() = {makeSkin("stale", 0, 0)};
        LoadSkins();
        QVERIFY(UserSkins().isEmpty());
    }

    void failedSaveKeepsTheOldFile() {
        UserSkins() = {makeSkin("Kept", 1, 1)};
        QVERIFY(SaveUserSkins());
        const QByteArray before = TestSupport::readFile(AppDataFolder() + "myskins.ini");
        UserSkins() = {makeSkin("New", 2, 2), makeSkin("Newer", 3, 3)};
        SetWriteFailureAfter(40);
        QString error;
        QVERIFY(!SaveUserSkins(&error));
        QVERIFY(error.contains("myskins.ini"));
        QCOMPARE(TestSupport::readFile(AppDataFolder() + "myskins.ini"), before);
    }
};

QTEST_GUILESS_MAIN(tst_KSkin)
#include "tst_KSkin.moc"
