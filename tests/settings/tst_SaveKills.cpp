#include "TestSupport.h"
#include "settings/KOptions.h"
#include "shell/WholeFile.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kKills = 200;
constexpr int kAlarms = 2500; // about half a megabyte of settings

// Settings with many alarms; the two versions differ in every alarm's text and length.
void fill(KOptions& o, char version) {
    o.Defaults();
    o.Alarms.clear();
    for (int i = 0; i < kAlarms; ++i) {
        auto a = std::make_shared<KAlarm>();
        a->SwiMsg = true;
        a->Text = QString(40 + (version == 'B' ? 30 : 0), QChar::fromLatin1(version)) +
                  QString::number(i);
        a->HH = a->RingHH = a->DefHH = int16_t(i % 24);
        a->mm = a->RingMM = a->DefMM = int16_t(i % 60);
        a->bSave = -1;
        o.Alarms.append(a);
    }
}

QStringList tempFiles(const QString& folder) {
    return QDir(folder).entryList({"*zintar-tmp*"}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

// A save killed at any moment leaves the settings file whole: the old version or the new
// one, never a mixture or a cut, and the temporary file it leaves goes at the next start.
class tst_SaveKills : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLeaveWholeFiles() {
        TestSupport::freshUserFolder();
        KOptions a, b;
        fill(a, 'A');
        fill(b, 'B');
        const QString file = a.FilePath();
        QVERIFY(b.Save());
        const QByteArray versionB = TestSupport::readFile(file);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(a.Save());
        // Kills are spread over about four saves, so that they fall anywhere in one.
        const qint64 spreadUs = std::max<qint64>(2000, clock.nsecsElapsed() / 250);
        const QByteArray versionA = TestSupport::readFile(file);
        QVERIFY(versionA.size() > 256 * 1024 && versionB.size() > versionA.size());

        int leftTemp = 0, sawA = 0, sawB = 0;
        for (int kill = 0; kill < kKills; ++kill) {
            int ready[2];
            QVERIFY(::pipe(ready) == 0);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                ::close(ready[0]);
                const char go = 'g';
                if (::write(ready[1], &go, 1) != 1)
                    ::_exit(2);
                for (bool odd = true;; odd = !odd) // the file holds A: B is the first change
                    (odd ? b : a).Save();
            }
            ::close(ready[1]);
            char go = 0;
            QCOMPARE(::read(ready[0], &go, 1), ssize_t(1));
            ::close(ready[0]);
            ::usleep(useconds_t(QRandomGenerator::global()->bounded(spreadUs)));
            QCOMPARE(::kill(child, SIGKILL), 0);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFSIGNALED(status));

            const QByteArray now = TestSupport::readFile(file);
            QVERIFY2(now == versionA || now == versionB,
                     qPrintable(QString("kill %1 left %2 bytes").arg(kill).arg(now.size())));
            (now == versionA ? sawA : sawB)++;
            const int temps = int(tempFiles(AppDataFolder()).size());
            leftTemp += temps > 0;
            QCOMPARE(RemoveLeftoverTempFiles(AppDataFolder()), temps);
        }
        QVERIFY(tempFiles(AppDataFolder()).isEmpty());
        qInfo("%d kills, %d files checked whole (%d old, %d new version), %d kills in the "
              "middle of a write",
              kKills, sawA + sawB, sawA, sawB, leftTemp);
        KOptions back;
        back.Load();
        QCOMPARE(back.Alarms.size(), kAlarms);
        QVERIFY(back.Damage.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SaveKills)
#include "tst_SaveKills.moc"
