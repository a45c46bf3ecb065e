#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTest>

namespace {

QStringList traceLines;

void collectTrace(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (QByteArray(context.category) == "zintar.trace")
        traceLines << text;
}

QString iniFile(const QByteArray& content) {
    const QString file = TestSupport::scratchFolder("ini") + "/test.ini";
    TestSupport::writeFile(file, content);
    return file;
}

} // namespace

class tst_mdlStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { TestSupport::freshUserFolder(); }

    // A file where the per-user folder should be: the folder is still named, and saving
    // fails without a crash.
    void blockedAppDataFolder() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(TestSupport::writeFile(base + "/Zintar_22", "in the way"));
        QCOMPARE(AppDataFolder(), base + "/Zintar_22/");
        QVERIFY(!Options().Save());
        QCOMPARE(TestSupport::readFile(base + "/Zintar_22"), QByteArray("in the way"));
        QFile::remove(base + "/Zintar_22");
    }

    void existence() {
        const QString root = TestSupport::scratchFolder("exists") + "/";
        QVERIFY(TestSupport::writeFile(root + "dir/a.txt", "hello"));
        QVERIFY(FileExists(root + "dir\\a.txt") && !FolderExists(root + "dir\\a.txt"));
        QVERIFY(FolderExists(root + "dir\\") && !FileExists(root + "dir\\"));
        QVERIFY(!FolderExists(root + "nodir/") && !FileExists("") && !FolderExists(""));
    }

    // A build tree keeps the data beside the program; an installed bin/zintar finds it in
    // share/zintar. A folder named DefaultSkins.ini is not the catalogue.
    void programFolderLookup() {
        const QString root = TestSupport::scratchFolder("layout");
        QVERIFY(TestSupport::writeFile(root + "/build/bin/DefaultSkins.ini", "[Skins]"));
        QCOMPARE(ProgramFolderFor(root + "/build/bin"), root + "/build/bin");
        QVERIFY(QDir().mkpath(root + "/usr/bin/DefaultSkins.ini"));
        QCOMPARE(ProgramFolderFor(root + "/usr/bin"), root + "/usr/share/zintar");
        QCOMPARE(ProgramFolderFor(root + "/opt/zintar/bin"), root + "/opt/zintar/share/zintar");
        // The test program itself runs from the build tree.
        QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
    }

    // The trace is off until switched on with a logging rule; Main writes the banner, then
    // loads the options, then shows the window.
    void mainWritesTheBannerThenLoadsOptions() {
        TestSupport::setNow(QDateTime(QDate(2026, 3, 1), QTime(7, 5, 9)));
        qInstallMessageHandler(collectTrace);
        WriteLog("silent");
        QLoggingCategory::setFilterRules("zintar.trace.debug=true");
        Options().StyleIdx = 0;
        int16_t styleAtShow = -1;
        Main([&] { styleAtShow = Options().StyleIdx; });
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(nullptr);
        TestSupport::resetNow();
        const QString rule(77, '-');
        QCOMPARE(traceLines.mid(0, 3),
                 (QStringList{rule, "----  Zintar! Start at 07:05:09", rule}));
        QCOMPARE(styleAtShow, int16_t(9));
        ReleaseOptionSaves();
    }

    // Saves asked for while held make one save at the release, of the settings as they are
    // then; a release without a save asked for writes nothing, and saves go straight to the
    // file again after it.
    void heldSavesAreMadeOnceAtTheRelease() {
        const QString file = Options().FilePath();
        QFile::remove(file);
        HoldOptionSaves();
        Options().SizeX = 192;
        SaveOptions();
        Options().SizeX = 256;
        SaveOptions();
        QVERIFY(!QFile::exists(file));
        ReleaseOptionSaves();
        QVERIFY(TestSupport::readFile(file).contains("SizeX=256\r\n"));

        QFile::remove(file);
        HoldOptionSaves();
        ReleaseOptionSaves();
        QVERIFY(!QFile::exists(file));
        SaveOptions();
        QVERIFY(QFile::exists(file));
    }

    void readIniValue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& content, const char* key,
                            const QString& expected) {
            QTest::newRow(name) << content << QString(key) << expected;
        };
        row("key in other case", "[S]\r\nSizeX=128\r\nSizeY=192\r\n", "Sizey", "192");
        row("missing key", "[S]\nk=1\n", "z", "");
        row("missing section", "[T]\nk=1\n", "k", "");
        row("key of another section", "[S]\nx=1\n[B]\nk=2\n", "k", "");
        row("first match wins", "[S]\nk=first\nk=second\n[S]\nk=third\n", "k", "first");
        row("blanks trimmed", "[S]\n  k =   4040FF  \t\n", "k", "4040FF");
        row("empty value", "[S]\nk=\nk=later\n", "k", "");
        row("equals in value", "[S]\nk=run --a=b\n", "k", "run --a=b");
        row("UTF-8", "[S]\nk=a\xC2\xA7z\n", "k", "a\u00A7z");
        row("Windows-1252", "[S]\r\nk=\x80 \xC4 \xA7\r\n", "k", "\u20AC \u00C4 \u00A7");
        row("254 characters at most", "[S]\nk=" + QByteArray(300, 'x') + "\n", "k",
            QString(254, 'x'));
        row("no blank left at the cut", "[S]\nk=" + QByteArray(252, 'x') + "  y\n", "k",
            QString(252, 'x'));
        row("byte order mark, no final line end", "\xEF\xBB\xBF[S]\r\nk=v", "k", "v");
        row("garbage", "\x01\x02=\xFF[[\n]]", "k", "");
    }
    void readIniValue() {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(ReadIniValue(iniFile(content), "S", key), expected);
    }

    // A batch keeps one file's contents while it lasts; outside it a file is read afresh,
    // also when rewritten with the same size.
    void rereadsChangedFilesOutsideABatch() {
        const QString a = iniFile("[S]\nk=a1\n");
        {
            const IniReadBatch batch(a);
            QCOMPARE(ReadIniValue(a, "S", "k"), QString("a1"));
        }
        QVERIFY(TestSupport::writeFile(a, "[S]\nk=a2\n"));
        QCOMPARE(ReadIniValue(a, "S", "k"), QString("a2"));
    }

    // Colour text to value, value to bytes (red lowest) and back to the text files hold.
    void colors_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("color");
        QTest::addColumn<QList<int>>("blueGreenRed");
        QTest::addColumn<QString>("written");
        const auto row = [](const char* text, int color, QList<int> bgr, const char* written) {
            QTest::newRow(*text ? text : "empty")
                << QString(text) << color << bgr << QString(written);
        };
        row("4040FF", 4210943, {0x40, 0x40, 0xFF}, "4040FF");
        row("&h4040ff", 4210943, {0x40, 0x40, 0xFF}, "4040FF");
        row("H123456", 0x123456, {0x12, 0x34, 0x56}, "123456");
        row("-&HFF", -255, {0, 0, 1}, "FFFFFF01"); // -255 / 256 is 0, -255 AND 255 is 1
        row("FFFFFFFF", -1, {0, 0, 0xFF}, "FFFFFFFF");
        for (const char* bad : {"", "xyz", "40H40", "-"})
            row(bad, 0, {0, 0, 0}, "0");
    }
    void colors() {
        QFETCH(QString, text);
        QFETCH(int, color);
        QFETCH(QList<int>, blueGreenRed);
        QFETCH(QString, written);
        QCOMPARE(ParseColor(text), color);
        ColorBytes bytes;
        ColorToRgb(color, bytes);
        QCOMPARE(QList<int>({bytes.Blue, bytes.Green, bytes.Red}), blueGreenRed);
        QCOMPARE(ColorText(color), written);
    }

    // A zero is readable only when written as one; anything else that reads as zero is not a
    // colour (the settings then keep the colour they had).
    void zeroWrittenAsOne() {
        for (const char* zero : {"", " 0 ", "&H0", "-0", "H00", "-&h000", "&0"})
            QVERIFY2(ColorReadable(zero), zero);
        for (const char* bad : {"-", "&", "H", "xyz", "0 0", "&&0", "H-0", "&-0", "00g"})
            QVERIFY2(!ColorReadable(bad), bad);
        QVERIFY(ColorReadable("FF") && ColorReadable("-&HFF"));
    }
};

QTEST_GUILESS_MAIN(tst_mdlStartup)
#include "tst_mdlStartup.moc"
