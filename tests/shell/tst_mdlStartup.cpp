#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTest>
#include <cstdio>
#include <unistd.h>

namespace {

// Collects what the program prints on stderr while it is alive.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        file_ = std::tmpfile();
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QByteArray text() {
        restore();
        std::rewind(file_);
        QByteArray out;
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, file_)) > 0)
            out.append(buf, qsizetype(n));
        return out;
    }

private:
    void restore() {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }
    int saved_ = -1;
    FILE* file_ = nullptr;
};

QStringList traceLines;

void collectTrace(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (QByteArray(context.category) == "zintar.trace")
        traceLines << text;
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

    void appDataFolderIsCreatedOnFirstUse() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(!QFileInfo::exists(base + "/Zintar_22"));
        const QString first = AppDataFolder();
        QCOMPARE(first, base + "/Zintar_22/");
        QVERIFY(QFileInfo(first).isDir());
        QVERIFY(TestSupport::writeFile(first + "keep.txt", "x"));
        QCOMPARE(AppDataFolder(), first);
        QVERIFY(QFileInfo::exists(first + "keep.txt"));
    }

    void appDataFolderBlockedIsReportedOnce() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QVERIFY(TestSupport::writeFile(base + "/Zintar_22", "a file in the way"));
        QByteArray said;
        {
            StderrCapture capture;
            QCOMPARE(AppDataFolder(), base + "/Zintar_22/");
            AppDataFolder();
            said = capture.text();
        }
        QFile::remove(base + "/Zintar_22");
        QCOMPARE(said.count("Zintar_22"), 1);
    }

    void existenceTests_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("folder");
        QTest::newRow("file") << "dir/a.txt" << true << false;
        QTest::newRow("file, backslashes") << "dir\\a.txt" << true << false;
        QTest::newRow("folder") << "dir" << false << true;
        QTest::newRow("folder, trailing /") << "dir/" << false << true;
        QTest::newRow("folder, trailing \\") << "dir\\" << false << true;
        QTest::newRow("missing") << "dir/none.txt" << false << false;
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

    void programFolderHoldsTheExecutable() {
        const QString folder = ProgramFolder();
        QVERIFY(!folder.endsWith('/'));
        QCOMPARE(folder, QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
    }

    void traceIsOffByDefaultAndCanBeSwitchedOn() {
        qInstallMessageHandler(collectTrace);
        WriteLog("silent");
        QVERIFY(traceLines.isEmpty());
        QLoggingCategory::setFilterRules("zintar.trace.debug=true");
        WriteLog("heard");
        QCOMPARE(traceLines, QStringList{"heard"});
    }

    void mainWritesTheBannerThenLoadsOptionsThenShowsTheWindow() {
        TestSupport::setNow(QDateTime(QDate(2026, 3, 1), QTime(7, 5, 9)));
        QLoggingCategory::setFilterRules("zintar.trace.debug=true");
        qInstallMessageHandler(collectTrace);
        Options().StyleIdx = 0;
        int16_t styleAtShow = -1;
        Main([&] { styleAtShow = Options().StyleIdx; });

        const QString rule(77, '-');
        QCOMPARE(traceLines.mid(0, 3),
                 (QStringList{rule, "----  Zintar! Start at 07:05:09", rule}));
        QCOMPARE(styleAtShow, int16_t(9)); // no settings file: the defaults were applied
        QVERIFY(!QFile::exists(AppDataFolder() + "mysettings.ini")); // nothing written yet
        QCOMPARE(&Options(), &Options());
        QVERIFY(InitCommonControlsSafe());
    }

    void localPathTurnsBackslashesIntoSeparators() {
        QCOMPARE(LocalPath("pics\\watch2.bmp"), QString("pics/watch2.bmp"));
        QCOMPARE(LocalPath("/opt/zintar/pics/a.bmp"), QString("/opt/zintar/pics/a.bmp"));
    }

    void readIniValue_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray window = "[Window]\r\nSizeX=128\r\nSizeY=192\r\n";
        QTest::newRow("key in other case") << window << "Window"
                                           << "Sizey"
                                           << "192";
        QTest::newRow("section in other case") << window << "WINDOW"
                                               << "sizex"
                                               << "128";
        QTest::newRow("missing key") << window << "Window"
                                     << "SizeZ"
                                     << "";
        QTest::newRow("missing section") << window << "Style"
                                         << "SizeX"
                                         << "";
        QTest::newRow("key of another section") << QByteArray("[A]\nx=1\n[B]\ny=2\n") << "B"
                                                << "x"
                                                << "";
        QTest::newRow("first match wins")
            << QByteArray("[S]\nk=first\nk=second\n[S]\nk=third\n") << "S"
            << "k"
            << "first";
        QTest::newRow("blanks trimmed") << QByteArray("[Skin1]\n  Hour =   4040FF  \t\n") << "Skin1"
                                        << "Hour"
                                        << "4040FF";
        QTest::newRow("empty value") << QByteArray("[S]\nk=\nk=later\n") << "S"
                                     << "k"
                                     << "";
        QTest::newRow("LF only") << QByteArray("[S]\nk=v\n") << "S"
                                 << "k"
                                 << "v";
        QTest::newRow("no final line end") << QByteArray("[S]\r\nk=v") << "S"
                                           << "k"
                                           << "v";
        QTest::newRow("equals in value") << QByteArray("[S]\nProgram=run --a=b\n") << "S"
                                         << "Program"
                                         << "run --a=b";
        QTest::newRow("UTF-8 section sign") << QByteArray("[S]\nMessage=a\xC2\xA7"
                                                          "b\n")
                                            << "S"
                                            << "Message"
                                            << "a\u00A7b";
        QTest::newRow("Windows-1252 section sign") << QByteArray("[S]\r\nMessage=a\xA7"
                                                                 "b\r\n")
                                                   << "S"
                                                   << "Message"
                                                   << "a\u00A7b";
        QTest::newRow("Windows-1252 euro and umlaut")
            << QByteArray("[S]\r\nName=\x80 \xC4\r\n") << "S"
            << "Name"
            << "\u20AC \u00C4";
        QTest::newRow("UTF-8 byte order mark") << QByteArray("\xEF\xBB\xBF[S]\nk=v\n") << "S"
                                               << "k"
                                               << "v";
        QTest::newRow("254 characters at most") << "[S]\nk=" + QByteArray(300, 'x') + "\n"
                                                << "S"
                                                << "k" << QString(254, 'x');
        QTest::newRow("garbage") << QByteArray("\x01\x02=\xFF[[\n]]") << "S"
                                 << "k"
                                 << "";
    }
    void readIniValue() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QString file = TestSupport::scratchFolder("ini") + "/test.ini";
        QVERIFY(TestSupport::writeFile(file, content));
        QCOMPARE(ReadIniValue(file, section, key), expected);
    }

    void readIniValueOfMissingFileIsEmpty() {
        QCOMPARE(ReadIniValue(TestSupport::scratchFolder("none") + "/no.ini", "S", "k"), QString());
    }

    void readIniValueSeesAFileRewrittenWithTheSameSize() {
        const QString file = TestSupport::scratchFolder("rewrite") + "/test.ini";
        QVERIFY(TestSupport::writeFile(file, "[S]\nk=1\n"));
        QCOMPARE(ReadIniValue(file, "S", "k"), QString("1"));
        QVERIFY(TestSupport::writeFile(file, "[S]\nk=2\n"));
        QCOMPARE(ReadIniValue(file, "S", "k"), QString("2"));
    }

    void batchReadsOnlyItsOwnFileOnce() {
        const QString folder = TestSupport::scratchFolder("batch");
        const QString a = folder + "/a.ini", b = folder + "/b.ini";
        QVERIFY(TestSupport::writeFile(a, "[S]\nk=a1\n"));
        QVERIFY(TestSupport::writeFile(b, "[S]\nk=b1\n"));
        {
            const IniReadBatch batch(a);
            QCOMPARE(ReadIniValue(a, "S", "k"), QString("a1"));
            QVERIFY(TestSupport::writeFile(b, "[S]\nk=b2\n"));
            QCOMPARE(ReadIniValue(b, "S", "k"), QString("b2")); // other files are read afresh
            {
                const IniReadBatch inner(b);
                QCOMPARE(ReadIniValue(b, "S", "k"), QString("b2"));
            }
            QCOMPARE(ReadIniValue(a, "S", "k"), QString("a1"));
        }
        QVERIFY(TestSupport::writeFile(a, "[S]\nk=a2\n"));
        QCOMPARE(ReadIniValue(a, "S", "k"), QString("a2")); // batch over: read afresh
    }

    void parseColor_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("dark grey") << "333333" << 3355443;
        QTest::newRow("middle grey") << "666666" << 6710886;
        QTest::newRow("light red") << "4040FF" << 4210943;
        QTest::newRow("&H prefix") << "&H4040FF" << 4210943;
        QTest::newRow("&h lower case") << "&h4040ff" << 4210943;
        QTest::newRow("& only") << "&4040FF" << 4210943;
        QTest::newRow("H only") << "H4040FF" << 4210943;
        QTest::newRow("pure red without leading zeros") << "FF" << 255;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("negative") << "-FF" << -255;
        QTest::newRow("negative &H") << "-&HFF" << -255;
        QTest::newRow("eight digits, top bit") << "FFFFFFFF" << -1;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("not hex") << "xyz" << 0;
        QTest::newRow("nine digits") << "123456789" << 0;
        QTest::newRow("H in the middle") << "40H40" << 0;
        QTest::newRow("minus only") << "-" << 0;
    }
    void parseColor() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(ParseColor(text), expected);
    }

    void colorToRgb_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("blue");
        QTest::addColumn<int>("green");
        QTest::addColumn<int>("red");
        QTest::newRow("light red") << 4210943 << 0x40 << 0x40 << 0xFF;
        QTest::newRow("three bytes") << 0x123456 << 0x12 << 0x34 << 0x56;
        QTest::newRow("black") << 0 << 0 << 0 << 0;
        QTest::newRow("white") << 0xFFFFFF << 0xFF << 0xFF << 0xFF;
        // Division truncates toward zero: -255 / 256 is 0, and -255 AND 255 is 1.
        QTest::newRow("negative") << -255 << 0 << 0 << 1;
    }
    void colorToRgb() {
        QFETCH(int, color);
        QFETCH(int, blue);
        QFETCH(int, green);
        QFETCH(int, red);
        ColorBytes bytes;
        ColorToRgb(color, bytes);
        QCOMPARE(int(bytes.Blue), blue);
        QCOMPARE(int(bytes.Green), green);
        QCOMPARE(int(bytes.Red), red);
    }

    void colorText_data() {
        QTest::addColumn<int>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0";
        QTest::newRow("pure red") << 255 << "FF";
        QTest::newRow("light red") << 4210943 << "4040FF";
        QTest::newRow("blue") << 0xFF0000 << "FF0000";
        QTest::newRow("minus one") << -1 << "FFFFFFFF";
        QTest::newRow("minus 255") << -255 << "FFFFFF01";
    }
    void colorText() {
        QFETCH(int, color);
        QFETCH(QString, text);
        QCOMPARE(ColorText(color), text);
        QCOMPARE(ParseColor(ColorText(color)), color);
    }
};

QTEST_GUILESS_MAIN(tst_mdlStartup)
#include "tst_mdlStartup.moc"
