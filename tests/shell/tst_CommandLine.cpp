#include "TestSupport.h"
#include "shell/CommandLine.h"

#include <QFile>
#include <QTest>

class tst_CommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        qputenv("XDG_CONFIG_HOME",
                TestSupport::scratchFolder(QStringLiteral("config")).toLocal8Bit());
    }

    void outcomes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status"); // -1: the clock starts
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("none") << QStringList{} << -1 << ""
                              << "";
        QTest::newRow("Qt's options pass")
            << QStringList{"-platform", "offscreen", "-reverse"} << -1 << ""
            << "";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: zintar"
                              << "";
        QTest::newRow("help wins over later")
            << QStringList{"--help", "--bogus"} << 0 << "Usage: zintar"
            << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "zintar 2.3\n"
                                 << "";
        QTest::newRow("unknown") << QStringList{"--bogus"} << 2 << ""
                                 << "zintar: unknown option '--bogus'; try 'zintar --help'\n";
        QTest::newRow("stray word") << QStringList{"clock"} << 2 << ""
                                    << "unexpected argument";
        QTest::newRow("autostart without value") << QStringList{"--autostart"} << 2 << ""
                                                 << "--autostart needs 'on' or 'off'";
        QTest::newRow("autostart maybe") << QStringList{"--autostart=maybe"} << 2 << ""
                                         << "--autostart needs 'on' or 'off'";
    }
    void outcomes() {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const auto outcome =
            CommandLine::Handle(QStringList{"zintar"} + args, QStringLiteral("/usr/bin/zintar"));
        QCOMPARE(outcome.has_value(), status >= 0);
        if (!outcome)
            return;
        QCOMPARE(outcome->status, status);
        QVERIFY2(out.isEmpty() ? outcome->out.isEmpty() : outcome->out.startsWith(out),
                 qPrintable(outcome->out));
        QVERIFY2(err.isEmpty() ? outcome->err.isEmpty() : outcome->err.contains(err),
                 qPrintable(outcome->err));
        QVERIFY(!outcome->err.contains(QLatin1Char('\n')) ||
                outcome->err.indexOf(QLatin1Char('\n')) == outcome->err.size() - 1);
    }

    // "on" writes an entry that starts this very program (quoted where the path needs it);
    // "off" removes it, and removing an absent entry is no error.
    void autostartOnAndOff() {
        const QString file = CommandLine::AutostartFile();
        QVERIFY(file.endsWith(QStringLiteral("/config/autostart/zintar.desktop")));
        QVERIFY(!CommandLine::AutostartEnabled());

        auto outcome = CommandLine::Handle({"zintar", "--autostart", "on"},
                                           QStringLiteral("/opt/my clocks/zintar"));
        QVERIFY(outcome && outcome->status == 0);
        QVERIFY(CommandLine::AutostartEnabled());
        const QByteArray entry = TestSupport::readFile(file);
        QVERIFY(entry.startsWith("[Desktop Entry]\nType=Application\nName=Zintar\n"));
        QVERIFY2(entry.contains("\nExec=\"/opt/my clocks/zintar\"\n"), entry.constData());

        QVERIFY(CommandLine::SetAutostart(true, QStringLiteral("/usr/bin/zintar")));
        QVERIFY(TestSupport::readFile(file).contains("\nExec=/usr/bin/zintar\n"));

        outcome = CommandLine::Handle({"zintar", "--autostart=off"}, {});
        QVERIFY(outcome && outcome->status == 0);
        QVERIFY(!QFile::exists(file));
        QVERIFY(CommandLine::SetAutostart(false, {}));
    }
};

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
