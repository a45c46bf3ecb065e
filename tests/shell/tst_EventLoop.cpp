#include "TestSupport.h"
#include "shell/EventLoop.h"
#include "shell/SessionBus.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QProcess>
#include <QTest>
#include <cstdio>
#include <cstring>

namespace {
const char* const Variable = "QT_NO_GLIB";
} // namespace

class tst_EventLoop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The user's own choice stands, and an installed GTK theme keeps GLib's loop for its dialogs.
    void leavesGlibWhereItIsWanted() {
        qputenv(Variable, "0");
        QVERIFY(!EventLoop::PreferQtDispatcher({}));
        QCOMPARE(qgetenv(Variable), QByteArray("0"));

        qunsetenv(Variable);
        const QString themes = TestSupport::scratchFolder(QStringLiteral("themes-gtk"));
        QVERIFY(TestSupport::writeFile(themes + QStringLiteral("/libqgtk3.so"), QByteArray()));
        QVERIFY(!EventLoop::PreferQtDispatcher(
            {TestSupport::scratchFolder(QStringLiteral("themes-none")), themes}));
        QVERIFY(!qEnvironmentVariableIsSet(Variable));
        QProcessEnvironment child = QProcessEnvironment::systemEnvironment();
        EventLoop::RestoreFor(child);
        QCOMPARE(child.toStringList(), QProcessEnvironment::systemEnvironment().toStringList());
    }

    // Otherwise the application made afterwards runs on Qt's own dispatcher, and a program
    // the clock starts gets the environment without the variable.
    void qtDispatcherOtherwise() {
        QProcess self;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QString::fromLatin1(Variable));
        self.setProcessEnvironment(environment);
        self.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--dispatcher")});
        QVERIFY(self.waitForFinished(20000));
        const QByteArray out = self.readAllStandardOutput().trimmed();
        QVERIFY2(out.startsWith("set ") && !out.contains("Glib"), out.constData());

        qunsetenv(Variable);
        QVERIFY(EventLoop::PreferQtDispatcher({}));
        QCOMPARE(qgetenv(Variable), QByteArray("1"));
        qputenv("ZINTAR_TEST_MARK", "kept");
        const QProcessEnvironment child = SessionBus::ChildEnvironment();
        QVERIFY(!child.contains(QString::fromLatin1(Variable)));
        QCOMPARE(child.value(QStringLiteral("ZINTAR_TEST_MARK")), QStringLiteral("kept"));
    }
};

int main(int argc, char* argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "--dispatcher") == 0) {
        // As the clock starts: the choice first, then the application object.
        const bool set = EventLoop::PreferQtDispatcher({});
        QCoreApplication app(argc, argv);
        std::printf("%s %s\n", set ? "set" : "unset",
                    QAbstractEventDispatcher::instance()->metaObject()->className());
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_EventLoop test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_EventLoop.moc"
