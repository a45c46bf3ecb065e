#include "TestSupport.h"
#include "alarms/SystemSounds.h"

#include <QTest>

// The sound files the alarm editor offers.
class tst_SystemSounds : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void themeFilesInSubfolders() {
        const QString theme = TestSupport::scratchFolder(QStringLiteral("theme"));
        QVERIFY(TestSupport::writeFile(theme + QStringLiteral("/stereo/bell.oga"), "x"));
        QVERIFY(TestSupport::writeFile(theme + QStringLiteral("/stereo/alarm.oga"), "x"));
        QVERIFY(TestSupport::writeFile(theme + QStringLiteral("/5.1/tone.wav"), "x"));
        QVERIFY(TestSupport::writeFile(theme + QStringLiteral("/index.theme"), "x"));
        const QStringList files = SystemSounds::Files(theme, QString());
        QCOMPARE(files, QStringList({theme + QStringLiteral("/5.1/tone.wav"),
                                     theme + QStringLiteral("/stereo/alarm.oga"),
                                     theme + QStringLiteral("/stereo/bell.oga")}));
    }

    void windirMediaWavesFollow() {
        const QString theme = TestSupport::scratchFolder(QStringLiteral("theme2"));
        QVERIFY(TestSupport::writeFile(theme + QStringLiteral("/stereo/bell.oga"), "x"));
        const QString windows = TestSupport::scratchFolder(QStringLiteral("WINDOWS"));
        QVERIFY(TestSupport::writeFile(windows + QStringLiteral("/media/ding.wav"), "x"));
        QVERIFY(TestSupport::writeFile(windows + QStringLiteral("/media/CHORD.WAV"), "x"));
        QVERIFY(TestSupport::writeFile(windows + QStringLiteral("/media/song.mp3"), "x"));
        QStringList files = SystemSounds::Files(theme, windows);
        QCOMPARE(files.size(), 3);
        QCOMPARE(files.takeFirst(), theme + QStringLiteral("/stereo/bell.oga"));
        files.sort();
        QCOMPARE(files, QStringList({windows + QStringLiteral("/media/CHORD.WAV"),
                                     windows + QStringLiteral("/media/ding.wav")}));
    }

    void missingFoldersGiveNothing() {
        const QString none = TestSupport::scratchFolder(QStringLiteral("none")) + "/missing";
        QVERIFY(SystemSounds::Files(none, none).isEmpty());
        QVERIFY(SystemSounds::Files(QString(), QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SystemSounds)
#include "tst_SystemSounds.moc"
