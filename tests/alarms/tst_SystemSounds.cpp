#include "TestSupport.h"
#include "alarms/SystemSounds.h"

#include <QTest>

// The sound files the alarm editor offers.
class tst_SystemSounds : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void themeFilesThenWindirWaves() {
        const QString theme = TestSupport::scratchFolder(QStringLiteral("theme"));
        const QString windows = TestSupport::scratchFolder(QStringLiteral("WINDOWS"));
        for (const QString& file : QStringList{theme + "/stereo/bell.oga", theme + "/5.1/tone.wav",
                                               theme + "/index.theme", windows + "/media/CHORD.WAV",
                                               windows + "/media/song.mp3"})
            QVERIFY(TestSupport::writeFile(file, "x"));
        QCOMPARE(SystemSounds::Files(theme, QString()),
                 QStringList({theme + "/5.1/tone.wav", theme + "/stereo/bell.oga"}));
        QCOMPARE(SystemSounds::Files(theme, windows),
                 QStringList({theme + "/5.1/tone.wav", theme + "/stereo/bell.oga",
                              windows + "/media/CHORD.WAV"}));
        const QString none = theme + "/missing";
        QVERIFY(SystemSounds::Files(none, none).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_SystemSounds)
#include "tst_SystemSounds.moc"
