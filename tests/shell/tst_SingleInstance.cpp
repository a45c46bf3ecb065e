#include "TestSupport.h"
#include "shell/DisplayChoice.h"
#include "shell/SingleInstance.h"

#include <QFile>
#include <QTest>
#include <memory>

// One clock per settings folder, and the choice of the display before Qt looks for one.
class tst_SingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondStartHandsOver() {
        const QString folder = TestSupport::scratchFolder(QStringLiteral("one"));
        auto first = std::make_unique<SingleInstance>(folder);
        QCOMPARE(first->claim(), SingleInstance::Claim::First);
        int shown = 0;
        first->listen([&shown] { ++shown; });

        SingleInstance second(folder);
        QCOMPARE(second.claim(), SingleInstance::Claim::HandedOver);
        QTRY_COMPARE(shown, 1);
        SingleInstance third(folder);
        QCOMPARE(third.claim(), SingleInstance::Claim::HandedOver);
        QTRY_COMPARE(shown, 2);

        // Another settings folder is another clock.
        SingleInstance elsewhere(TestSupport::scratchFolder(QStringLiteral("two")));
        QCOMPARE(elsewhere.claim(), SingleInstance::Claim::First);
        QVERIFY(SingleInstance::SocketName(folder) !=
                SingleInstance::SocketName(TestSupport::scratchFolder(QStringLiteral("two"))));

        // The lock goes with the clock that held it, whatever file it leaves behind.
        first.reset();
        QVERIFY(QFile::exists(folder + QStringLiteral("/zintar.lock")));
        SingleInstance next(folder);
        QCOMPARE(next.claim(), SingleInstance::Claim::First);
    }

    void unusableFolderStartsAnyway() {
        SingleInstance nowhere(QStringLiteral("/proc/no-such-folder"));
        QCOMPARE(nowhere.claim(), SingleInstance::Claim::NotChecked);
    }

    void displayChoice_data() {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("platformOption");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QString>("error");
        QTest::newRow("X11 session") << QByteArray() << QByteArray(":0") << QByteArray() << false
                                     << QByteArray("xcb") << QString();
        QTest::newRow("Wayland with XWayland")
            << QByteArray("wayland-0") << QByteArray(":1") << QByteArray() << false
            << QByteArray("xcb") << QString();
        QTest::newRow("the user's platform stands")
            << QByteArray("wayland-0") << QByteArray(":1") << QByteArray("wayland") << false
            << QByteArray() << QString();
        QTest::newRow("the user's -platform stands")
            << QByteArray("wayland-0") << QByteArray() << QByteArray() << true << QByteArray()
            << QString();
        QTest::newRow("Wayland without XWayland")
            << QByteArray("wayland-0") << QByteArray() << QByteArray() << false << QByteArray()
            << QStringLiteral("zintar: no X11 display (DISPLAY is not set); the clock needs X11, "
                              "on Wayland through XWayland");
        QTest::newRow("no display at all")
            << QByteArray() << QByteArray() << QByteArray() << false << QByteArray()
            << QStringLiteral("zintar: no X11 display (DISPLAY is not set); the clock needs an "
                              "X11 session");
    }
    void displayChoice() {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, platform);
        QFETCH(bool, platformOption);
        QFETCH(QByteArray, chosen);
        QFETCH(QString, error);
        const DisplayChoice::Decision d =
            DisplayChoice::Decide({wayland, display, platform, platformOption});
        QCOMPARE(d.platform, chosen);
        QCOMPARE(d.error, error);
        QCOMPARE(d.checkDisplay, !chosen.isEmpty());
    }

    void displayOptionsOfQt() {
        qputenv("DISPLAY", ":7");
        const auto e = DisplayChoice::FromProcess(
            {QStringLiteral("zintar"), QStringLiteral("-display"), QStringLiteral(":3")});
        QCOMPARE(e.display, QByteArray(":3"));
        QVERIFY(!e.platformOption);
        QVERIFY(DisplayChoice::FromProcess(
                    {QStringLiteral("zintar"), QStringLiteral("-platform"), QStringLiteral("xcb")})
                    .platformOption);
        QVERIFY(!DisplayChoice::XServerAnswers(":9999")); // nothing listens there
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
