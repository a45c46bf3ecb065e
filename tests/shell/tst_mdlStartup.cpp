#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {

// Runs f with stderr sent to a scratch file and returns what it printed.
template <typename F> QByteArray stderrOf(F f) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    FILE* file = std::tmpfile();
    dup2(fileno(file), STDERR_FILENO);
    f();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::rewind(file);
    QByteArray out;
    char buf[512];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, file)) > 0;)
        out.append(buf, qsizetype(n));
    std::fclose(file);
    return out;
}

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
    void init() {
        TestSupport::freshUserFolder();
        traceLines.clear();
    }
    void cleanup() {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(nullptr);
        TestSupport::resetNow();
    }

    void appDataFolderBlockedIsReportedOnce() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(TestSupport::writeFile(base + "/Zintar_22", "a file in the way"));
        const QByteArray said = stderrOf([&] {
            QCOMPARE(AppDataFolder(), base + "/Zintar_22/");
            AppDataFolder();
        });
        QFile::remove(base + "/Zintar_22");
        QCOMPARE(said.count("Zintar_22"), 1);
    }

    void existenceTests_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("folder");
        QTest::newRow("file, backslashes") << "dir\\a.txt" << true << false;
        QTest::newRow("folder, trailing \\") << "dir\\" << false << true;
        QTest::newRow("missing folder") << "nodir/" << false << false;
        QTest::newRow("empty path") << "" << false << false;
    }
    void existenceTests() {
        QFETCH(QString, path);
        QFETCH(bool, file);
        QFETCH(bool, folder);
        const QString root = TestSupport::scratchFolder("exists") + "/";
        QVERIFY(TestSupport::writeFile(root + "dir/a.txt", "hello"));
        const QString full = path.isEmpty() ? path : root + path;
        QCOMPARE(FileExists(full), file);
        QCOMPARE(FolderExists(full), folder);
    }

    // The trace is off until switched on with a logging rule.
    void mainWritesTheBannerThenLoadsOptionsThenShowsTheWindow() {
        TestSupport::setNow(QDateTime(QDate(2026, 3, 1), QTime(7, 5, 9)));
        qInstallMessageHandler(collectTrace);
        WriteLog("silent");
        QVERIFY(traceLines.isEmpty());
        QLoggingCategory::setFilterRules("zintar.trace.debug=true");
        Options().StyleIdx = 0;
        int16_t styleAtShow = -1;
        Main([&] { styleAtShow = Options().StyleIdx; });

        const QString rule(77, '-');
        QCOMPARE(traceLines.mid(0, 3),
                 (QStringList{rule, "----  Zintar! Start at 07:05:09", rule}));
        QCOMPARE(styleAtShow, int16_t(9)); // no settings file: the defaults were applied
        QVERIFY(!QFile::exists(AppDataFolder() + "mysettings.ini")); // nothing written yet
    }

    void readIniValue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& content, const char* section,
                            const char* key, const QString& expected) {
            QTest::newRow(name) << content << QString(section) << QString(key) << expected;
        };
        const QByteArray window = "[Window]\r\nSizeX=128\r\nSizeY=192\r\n";
        row("key in other case", window, "Window", "Sizey", "192");
        row("missing key", window, "Window", "SizeZ", "");
        row("missing section", window, "Style", "SizeX", "");
        row("key of another section", "[A]\nx=1\n[B]\ny=2\n", "B", "x", "");
        row("first match wins", "[S]\nk=first\nk=second\n[S]\nk=third\n", "S", "k", "first");
        row("blanks trimmed", "[Skin1]\n  Hour =   4040FF  \t\n", "Skin1", "Hour", "4040FF");
        row("empty value", "[S]\nk=\nk=later\n", "S", "k", "");
        row("equals in value", "[S]\nProgram=run --a=b\n", "S", "Program", "run --a=b");
        row("UTF-8 section sign", "[S]\nMessage=a\xC2\xA7z\n", "S", "Message", "a\u00A7z");
        row("Windows-1252", "[S]\r\nName=\x80 \xC4 \xA7\r\n", "S", "Name", "\u20AC \u00C4 \u00A7");
        row("254 characters at most", "[S]\nk=" + QByteArray(300, 'x') + "\n", "S", "k",
            QString(254, 'x'));
        row("no final line end, byte order mark", "\xEF\xBB\xBF[S]\r\nk=v", "S", "k", "v");
        row("garbage", "\x01\x02=\xFF[[\n]]", "S", "k", "");
    }
    void readIniValue() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QCOMPARE(ReadIniValue(iniFile(content), section, key), expected);
    }

    // A batch keeps one file's contents while it lasts; everything else is read afresh, also
    // a file rewritten with the same size, and a missing file reads as empty.
    void rereadsChangedFilesOutsideABatch() {
        const QString a = iniFile("[S]\nk=a1\n");
        const QString b = TestSupport::scratchFolder("batch") + "/b.ini";
        QCOMPARE(ReadIniValue(b, "S", "k"), QString());
        {
            const IniReadBatch batch(a);
            QCOMPARE(ReadIniValue(a, "S", "k"), QString("a1"));
            QVERIFY(TestSupport::writeFile(b, "[S]\nk=b2\n"));
            QCOMPARE(ReadIniValue(b, "S", "k"), QString("b2"));
            {
                const IniReadBatch inner(b);
                QCOMPARE(ReadIniValue(b, "S", "k"), QString("b2"));
            }
            QCOMPARE(ReadIniValue(a, "S", "k"), QString("a1"));
        }
        QVERIFY(TestSupport::writeFile(a, "[S]\nk=a2\n"));
        QCOMPARE(ReadIniValue(a, "S", "k"), QString("a2"));
    }

    void parseColor_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        const std::pair<const char*, int> rows[] = {{"333333", 3355443},
                                                    {"4040FF", 4210943},
                                                    {"&h4040ff", 4210943},
                                                    {"H4040FF", 4210943},
                                                    {"FF", 255},
                                                    {"-&HFF", -255},
                                                    {"FFFFFFFF", -1},
                                                    {"", 0},
                                                    {"xyz", 0},
                                                    {"40H40", 0},
                                                    {"-", 0}};
        for (const auto& [text, value] : rows)
            QTest::newRow(*text ? text : "empty") << QString(text) << value;
    }
    void parseColor() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(ParseColor(text), expected);
    }

    // Colour values to their bytes (red lowest) and to the text the files hold.
    void colorValue_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<QList<int>>("blueGreenRed");
        QTest::addColumn<QString>("text");
        QTest::newRow("light red") << 4210943 << QList<int>{0x40, 0x40, 0xFF} << "4040FF";
        QTest::newRow("three bytes") << 0x123456 << QList<int>{0x12, 0x34, 0x56} << "123456";
        QTest::newRow("zero") << 0 << QList<int>{0, 0, 0} << "0";
        // Division truncates toward zero: -255 / 256 is 0, and -255 AND 255 is 1.
        QTest::newRow("negative") << -255 << QList<int>{0, 0, 1} << "FFFFFF01";
    }
    void colorValue() {
        QFETCH(int, color);
        QFETCH(QList<int>, blueGreenRed);
        QFETCH(QString, text);
        ColorBytes bytes;
        ColorToRgb(color, bytes);
        QCOMPARE(QList<int>({bytes.Blue, bytes.Green, bytes.Red}), blueGreenRed);
        QCOMPARE(ColorText(color), text);
        QCOMPARE(ParseColor(text), color);
    }
};

QTEST_GUILESS_MAIN(tst_mdlStartup)
#include "tst_mdlStartup.moc"
