#include "TestSupport.h"
#include "settings/KSkin.h"
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

QByteArray userFile() {
    return TestSupport::readFile(AppDataFolder() + "myskins.ini");
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

    void countAndNames_data() {
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<QByteArrayList>("sections");
        QTest::addColumn<QStringList>("loaded");
        const QByteArrayList xy{"X", "Y"};
        QTest::newRow("only a repeat of the name just accepted is dropped")
            << QByteArray("4") << QByteArrayList{"A", "A", "B", "A"} << QStringList{"A", "B", "A"};
        // Beyond the sections present, the first missing one is an empty record; further
        // ones repeat its empty name and are dropped.
        QTest::newRow("larger than the sections")
            << QByteArray("5") << xy << QStringList{"X", "Y", ""};
        QTest::newRow("zero") << QByteArray("0") << xy << QStringList{};
        QTest::newRow("missing") << QByteArray() << xy << QStringList{};
        QTest::newRow("not whole") << QByteArray("2.5") << xy << QStringList{};
        QTest::newRow("beyond 32767") << QByteArray("40000") << xy << QStringList{};
    }
    void countAndNames() {
        QFETCH(QByteArray, count);
        QFETCH(QByteArrayList, sections);
        QFETCH(QStringList, loaded);
        QByteArray file = "[Skins]\r\nCount=" + count + "\r\n";
        for (int k = 0; k < sections.size(); ++k)
            file += "\r\n[Skin" + QByteArray::number(k + 1) + "]\r\nName=" + sections[k] + "\r\n";
        QCOMPARE(names(load(file)), loaded);
    }

    void fieldsAreRead() {
        const SkinList list = load("[skins]\ncount=3\n"
                                   "[Skin1]\nName=Classic\nBitmap=%app%\\pics\\watch2.bmp\n"
                                   "Hour = 333333\nMinute=&H666666\nSecond = FF\n"
                                   "HourSize = 8\nMinuteSize=4.5\nSecondSize = 2\n"
                                   "[Skin2]\nName=Shouting\nBitmap=%APP%/pics/a.bmp\n"
                                   "Hour=xyz\nHourSize=wide\nMinuteSize=5.5\n"
                                   "[Skin3]\nName=Twice\nBitmap=%app%/a/%app%/b.bmp\n");
        QCOMPARE(list.size(), 3);
        const KSkin& a = *list[0];
        QCOMPARE(a.FileName, ProgramFolder() + "\\pics\\watch2.bmp");
        QCOMPARE(QList<int>({a.Hour, a.Minute, a.Second, a.HDM, a.MDM, a.SDM}),
                 QList<int>({0x333333, 0x666666, 255, 8, 4, 2})); // MinuteSize 4.5 rounds to even

        const KSkin& b = *list[1];
        QCOMPARE(b.FileName, QString("%APP%/pics/a.bmp")); // the placeholder is case-sensitive
        // Unreadable values are 0; no SecondSize is a style without second hand.
        QCOMPARE(QList<int>({b.Hour, b.HDM, b.MDM, b.SDM}), QList<int>({0, 0, 6, 0}));

        QCOMPARE(list[2]->FileName, ProgramFolder() + "/a/" + ProgramFolder() + "/b.bmp");
    }

    void savedLayoutLoadsBack() {
        QVERIFY(SaveUserSkins());
        QCOMPARE(userFile(), QByteArray("[Skins]\r\nCount=0\r\n"));

        UserSkins() = {makeSkin("R\u00F6t", -255, -3)};
        QVERIFY(SaveUserSkins());
        QCOMPARE(userFile(), QByteArray("[Skins]\r\nCount=1\r\n"
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
        UserSkins().clear();
        LoadSkins(); // reads it back from the per-user folder
        QCOMPARE(names(UserSkins()), QStringList{"R\u00F6t"});
        QCOMPARE(QList<int>({UserSkins()[0]->Hour, UserSkins()[0]->HDM}), QList<int>({-255, -3}));
        QFile::remove(AppDataFolder() + "myskins.ini");
        LoadSkins();
        QVERIFY(UserSkins().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_KSkin)
#include "tst_KSkin.moc"
