#include "TestSupport.h"
#include "shell/SessionBus.h"

#include <QDBusConnection>
#include <QTest>
#include <atomic>
#include <pthread.h>

namespace {
std::atomic<int> forks{0};
const char* const Address = "DBUS_SESSION_BUS_ADDRESS";
} // namespace

class tst_SessionBus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        pthread_atfork([] { ++forks; }, nullptr, nullptr);
    }

    // A bus the environment names, or systemd's per-user bus, is left for D-Bus to use.
    void leavesAFindableBusAlone() {
        qputenv(Address, "unix:path=/run/user/0/bus");
        QVERIFY(!SessionBus::PreventAutoLaunch());
        QCOMPARE(qgetenv(Address), QByteArray("unix:path=/run/user/0/bus"));

        qunsetenv(Address);
        const QString runtime = TestSupport::scratchFolder(QStringLiteral("runtime-with-bus"));
        QVERIFY(TestSupport::writeFile(runtime + QStringLiteral("/bus"), QByteArray()));
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
        QVERIFY(!SessionBus::PreventAutoLaunch());
        QVERIFY(!qEnvironmentVariableIsSet(Address));
        QVERIFY(!SessionBus::ChildEnvironment().contains(QString::fromLatin1(Address)));
    }

    // With no bus anywhere, asking Qt for the session bus fails at once instead of forking the
    // process to start one; the programs the clock starts still get the environment it got.
    void noBusIsStartedWhereNoneRuns() {
        qunsetenv(Address);
        qputenv("XDG_RUNTIME_DIR",
                TestSupport::scratchFolder(QStringLiteral("runtime-empty")).toLocal8Bit());
        qputenv("ZINTAR_TEST_MARK", "kept");
        qputenv("DISPLAY", ":79"); // D-Bus starts a bus only for an X display
        QVERIFY(SessionBus::PreventAutoLaunch());

        const int before = forks;
        QVERIFY(!QDBusConnection::sessionBus().isConnected());
        QCOMPARE(int(forks), before);

        const QProcessEnvironment child = SessionBus::ChildEnvironment();
        QVERIFY(!child.contains(QString::fromLatin1(Address)));
        QCOMPARE(child.value(QStringLiteral("ZINTAR_TEST_MARK")), QStringLiteral("kept"));
    }
};

QTEST_GUILESS_MAIN(tst_SessionBus)
#include "tst_SessionBus.moc"
