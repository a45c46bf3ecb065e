#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/BassPlayer.h"
#include "alarms/modBass.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QTest>

using namespace AlarmTestFiles;

class tst_BassPlayer : public QObject {
    Q_OBJECT

    QString dir, raw;
    QString programSounds; // made in the program folder by the relative-name case

    QString sound(const QString& name, double seconds, float level, bool tone = true) {
        return writeSound(dir + '/' + name, seconds, level, tone);
    }
    // True while the shared output is open: only then can a stream be made.
    bool outputOpen() {
        const QString probe = sound("probe.wav", 0.05, 0.1f);
        const HSTREAM h =
            BASS_StreamCreateFile(false, QFile::encodeName(probe).constData(), 0, 0, 0);
        BASS_StreamFree(h);
        return h != 0;
    }

private Q_SLOTS:
    void init() {
        dir = TestSupport::scratchFolder("BassPlayer");
        raw = dir + "/out.raw";
        useDriver("dummy");
    }
    void cleanup() {
        while (BASS_Free() != 0) {
        }
        if (!programSounds.isEmpty())
            QDir(programSounds).removeRecursively();
        programSounds.clear();
    }

    void soundReachesTheOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("wav") << "a.wav";
        QTest::newRow("ogg") << "a.ogg";
        QTest::newRow("mp3") << "a.mp3";
    }
    void soundReachesTheOutput() {
        QFETCH(QString, name);
        const QString path = sound(name, 0.3, 0.5f);
        QVERIFY(!path.isEmpty());
        useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        player.Start(path);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000); // plays once, then ends
        player.Close_();
        const Output out(raw);
        QVERIFY2(std::abs(out.loudSpan() - 0.3) < 0.06,
                 qPrintable(QString::number(out.loudSpan())));
        QVERIFY(out.peak(0) > 0.4f && out.peak(1) > 0.4f);
    }

    void lifecycle() {
        const QString wav = sound("a.wav", 2.0, 0.5f);
        QVERIFY(BASS_Init(-1, 44100, 0, 0, nullptr) != 0); // another owner's output
        BassPlayer().Close_(); // Close_ without Init, and the destructor's, release nothing
        QVERIFY(outputOpen());
        QCOMPARE(BASS_Free(), 1);
        {
            BassPlayer player;
            player.Init();
            player.Start(wav);
            player.Stop_();
            QVERIFY(!player.isPlaying());
            player.Start(wav); // a stopped player starts again
            QVERIFY(player.isPlaying());
            player.Init(); // forgets the stream and still holds the output once
            QVERIFY(!player.isPlaying());
            player.Close_();
            QVERIFY(!player.isInitialized());
            QVERIFY(!outputOpen());
            player.Init(); // a closed player can be used again
            player.Start(wav);
            QVERIFY(player.isPlaying());
        } // destruction closes
        QVERIFY(!outputOpen());

        useDriver("no-such-driver"); // no output: nothing plays, nothing breaks
        BassPlayer player;
        player.Init();
        QVERIFY(!player.isInitialized());
        player.Start(wav);
        QVERIFY(!player.isPlaying());
        player.Stop_();
    }

    void relativeNameResolvesAgainstProgramFolder() {
        programSounds = ProgramFolder() + "/zintar-test-sounds";
        QVERIFY(QDir().mkpath(programSounds));
        QVERIFY(!writeSound(programSounds + "/a.wav", 1.0, 0.5f).isEmpty());
        QVERIFY(QDir::setCurrent(dir)); // somewhere else
        BassPlayer player;
        player.Init();
        QCOMPARE(QDir::currentPath(), QDir(ProgramFolder()).path());
        player.Start("zintar-test-sounds\\a.wav"); // as a Windows file has it
        QVERIFY(player.isPlaying());
    }

    void unreadableSoundPlaysNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "-": no file, "/": a folder, "0": no frames
        QTest::newRow("missing") << "missing.wav" << QByteArray("-");
        QTest::newRow("empty") << "empty.mp3" << QByteArray();
        QTest::newRow("corrupt ogg") << "corrupt.ogg" << QByteArray(4000, '\x5a');
        QTest::newRow("folder") << "folder.wav" << QByteArray("/");
        QTest::newRow("no frames") << "silent.wav" << QByteArray("0");
    }
    void unreadableSoundPlaysNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = dir + '/' + name;
        if (content == "/")
            QVERIFY(QDir().mkpath(path));
        else if (content == "0")
            QVERIFY(!sound(name, 0.0, 0.5f).isEmpty());
        else if (content != "-")
            QVERIFY(TestSupport::writeFile(path, content));
        useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        player.Start(path);
        QVERIFY(!player.isPlaying());
        QTest::qWait(100);
        player.Close_();
        QCOMPARE(Output(raw).loudSpan(0.0f), 0.0);
        useDriver("dummy");
        player.Init();
        player.Start(sound("good.wav", 0.5, 0.5f)); // the player still works
        QVERIFY(player.isPlaying());
    }
};

QTEST_GUILESS_MAIN(tst_BassPlayer)
#include "tst_BassPlayer.moc"
