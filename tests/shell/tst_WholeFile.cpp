#include "TestSupport.h"
#include "shell/UserNotice.h"
#include "shell/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QStringList allEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class tst_WholeFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { SetWriteFailureAfter(-1); }

    // A write that fails half-way leaves the old file as it was and no temporary file.
    void failedWriteKeepsTheOldFile() {
        const QString dir = TestSupport::scratchFolder("fail");
        const QString file = dir + "/a.ini";
        QVERIFY(WriteFileAtomically(file, "old"));
        SetWriteFailureAfter(2);
        QString error;
        QVERIFY(!WriteFileAtomically(file, "new content", &error));
        QCOMPARE(error, QString("No space left on device"));
        QCOMPARE(TestSupport::readFile(file), QByteArray("old"));
        QCOMPARE(allEntries(dir), QStringList{"a.ini"});
    }

    // A real full disk: a tmpfs of a few kilobytes. Mounting needs root, as in CI.
    void fullDisk() {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        const QString dir = TestSupport::scratchFolder("tmpfs");
        if (::mount("zintar-test", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("no tmpfs here");
        const QString file = dir + "/mysettings.ini";
        const QByteArray old(4000, 'o');
        const bool first = WriteFileAtomically(file, old);
        QString error;
        const bool second = WriteFileAtomically(file, QByteArray(64 * 1024, 'n'), &error);
        const QByteArray after = TestSupport::readFile(file);
        const QStringList entries = allEntries(dir);
        ::umount(QFile::encodeName(dir).constData());
        QVERIFY(first);
        QVERIFY(!second);
        QVERIFY2(error.contains("space"), qPrintable(error));
        QCOMPARE(after, old);
        QCOMPARE(entries, QStringList{"mysettings.ini"});
    }

    // A link is written through to a regular file of the user's and stays a link;
    // anything else is refused and left as it was.
    void symbolicLinks_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("written");
        QTest::newRow("own file") << "own.ini" << true;
        QTest::newRow("dangling") << "missing.ini" << false;
        QTest::newRow("folder") << "sub" << false;
        QTest::newRow("file of another user") << "other.ini" << false;
    }
    void symbolicLinks() {
        QFETCH(QString, target);
        QFETCH(bool, written);
        const QString dir = TestSupport::scratchFolder("links");
        QVERIFY(TestSupport::writeFile(dir + "/own.ini", "own"));
        QVERIFY(TestSupport::writeFile(dir + "/other.ini", "other"));
        QVERIFY(QDir().mkpath(dir + "/sub"));
        if (target == "other.ini") {
            if (::geteuid() != 0)
                QSKIP("giving a file to another user needs root");
            QVERIFY(::chown(QFile::encodeName(dir + "/other.ini").constData(), 65534, 65534) == 0);
        }
        const QString link = dir + "/mysettings.ini";
        QVERIFY(QFile::link(dir + "/" + target, link));
        QString error;
        QCOMPARE(WriteFileAtomically(link, "settings", &error), written);
        QVERIFY(QFileInfo(link).isSymLink());
        if (written) {
            QCOMPARE(TestSupport::readFile(dir + "/" + target), QByteArray("settings"));
        } else {
            QVERIFY2(error.contains("symbolic link"), qPrintable(error));
            QCOMPARE(TestSupport::readFile(dir + "/own.ini"), QByteArray("own"));
            QCOMPARE(TestSupport::readFile(dir + "/other.ini"), QByteArray("other"));
            QVERIFY(!QFile::exists(dir + "/missing.ini"));
        }
        QVERIFY(!allEntries(dir).join(' ').contains("zintar-tmp"));
    }

    // The temporary files of a killed save go at the next start; nothing else does.
    void leftoversRemoved() {
        const QString dir = TestSupport::scratchFolder("leftovers");
        for (const char* name :
             {".mysettings.ini.zintar-tmp.a1B2c3", ".myskins.ini.zintar-tmp.XyZ123",
              "mysettings.ini", "notes.zintar-tmp.txt", ".zintar-tmp.abcdef", ".x.zintar-tmp.abcde",
              "x.zintar-tmp.abcdef"})
            QVERIFY(TestSupport::writeFile(dir + "/" + name, "x"));
        QCOMPARE(RemoveLeftoverTempFiles(dir), 2);
        QCOMPARE(allEntries(dir),
                 (QStringList{".x.zintar-tmp.abcde", ".zintar-tmp.abcdef", "mysettings.ini",
                              "notes.zintar-tmp.txt", "x.zintar-tmp.abcdef"}));
    }

    // The copy is made once; a later call keeps it until the file is newer than the copy.
    void backupKeptOnce() {
        const QString dir = TestSupport::scratchFolder("backup");
        const QString file = dir + "/mysettings.ini";
        QVERIFY(TestSupport::writeFile(file, "damaged 1"));
        QCOMPARE(KeepBackup(file), file + ".bak");
        QVERIFY(WriteFileAtomically(file, "good"));
        QFile bak(file + ".bak");
        QVERIFY(bak.open(QIODevice::ReadWrite));
        QVERIFY(bak.setFileTime(QDateTime(QDate(2030, 1, 1), QTime(0, 0)),
                                QFileDevice::FileModificationTime));
        bak.close();
        QCOMPARE(KeepBackup(file), QString()); // the copy is newer: kept
        QCOMPARE(TestSupport::readFile(file + ".bak"), QByteArray("damaged 1"));
        QVERIFY(bak.open(QIODevice::ReadWrite));
        QVERIFY(bak.setFileTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0)),
                                QFileDevice::FileModificationTime));
        bak.close();
        QCOMPARE(KeepBackup(file), file + ".bak");
        QCOMPARE(TestSupport::readFile(file + ".bak"), QByteArray("good"));
        QCOMPARE(allEntries(dir), (QStringList{"mysettings.ini", "mysettings.ini.bak"}));
    }

    void noticesOncePerSubject() {
        QStringList shown;
        SetNoticeSink([&](const QString& m) { shown << m; });
        ForgetToldSubjects();
        TellUserOnce("save a", "first");
        TellUserOnce("save a", "again");
        TellUserOnce("save b", "other");
        SetNoticeSink(nullptr);
        QCOMPARE(shown, (QStringList{"first", "other"}));
    }
};

QTEST_GUILESS_MAIN(tst_WholeFile)
#include "tst_WholeFile.moc"
