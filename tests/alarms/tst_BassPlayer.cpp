#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "alarms/BassPlayer.h"
#include "alarms/modBass.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QTest>

using namespace SoundTest;

class tst_BassPlayer : public QObject {
    Q_OBJECT

    QString dir;
    QString raw;
    QString programSounds; // made in the program folder by the relative-name case

    QString sound(const QString& name, double seconds, float level, bool tone = true) {
        const QString path = dir + QLatin1Char('/') + name;
        const int format = name.endsWith(QLatin1String(".mp3"))
                               ? SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III
                           : name.endsWith(QLatin1String(".ogg")) ? SF_FORMAT_OGG | SF_FORMAT_VORBIS
                                                                  : SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        return writeSound(path, format, seconds, level, kOutputRate, 2, tone) ? path : QString();
    }
    // True while the shared output is open: only then can a stream be made.
    bool outputOpen() {
        const QString probe = sound(QStringLiteral("probe.wav"), 0.05, 0.1f);
        const HSTREAM h =
            BASS_StreamCreateFile(false, QFile::encodeName(probe).constData(), 0, 0, 0);
        BASS_StreamFree(h);
        return h != 0;
    }

private Q_SLOTS:
    void init() {
        dir = TestSupport::scratchFolder(QStringLiteral("BassPlayer"));
        raw = dir + QStringLiteral("/out.raw");
        useDriver("dummy");
    }
    void cleanup() {
        while (BASS_Free() != 0) {
        }
        if (!programSounds.isEmpty())
            QDir(programSounds).removeRecursively();
        programSounds.clear();
    }

    void closeWithoutInitDoesNothing() {
        QVERIFY(BASS_Init(-1, 44100, 0, 0, nullptr) != 0); // another owner's output
        {
            BassPlayer player;
            player.Close_();
            QVERIFY(!player.isInitialized());
            QVERIFY(!player.isPlaying());
        } // the destructor's Close_ does nothing either
        QVERIFY(outputOpen());
    }

    void initWithoutOutputLeavesPlayerSilent() {
        const QString wav = sound(QStringLiteral("a.wav"), 0.3, 0.5f);
        useDriver("no-such-driver");
        BassPlayer player;
        player.Init();
        QVERIFY(!player.isInitialized());
        player.Start(wav);
        QVERIFY(!player.isPlaying());
        player.Stop_();
        player.Close_();
        QVERIFY(!player.isInitialized());
    }

    void soundReachesTheOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("wav") << "a.wav";
        QTest::newRow("ogg") << "a.ogg";
        QTest::newRow("mp3") << "a.mp3";
    }
    void soundReachesTheOutput() {
        QFETCH(QString, name);
        const double seconds = 0.4;
        const QString path = sound(name, seconds, 0.5f);
        QVERIFY(!path.isEmpty());
        useDiskOutput(raw);
        BassPlayer player;
        player.Init();
        QVERIFY(player.isInitialized());
        player.Start(path);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000); // plays once, then ends
        player.Close_();
        QVERIFY(!player.isInitialized());

        const Output out(raw);
        QVERIFY2(std::abs(out.loudSpan() - seconds) < 0.06,
                 qPrintable(QString::number(out.loudSpan())));
        QVERIFY(out.peak(0) > 0.4f && out.peak(1) > 0.4f);
    }

    void startWhilePlayingReplaces() {
        const QString first = sound(QStringLiteral("first.wav"), 2.0, 0.3f, false);
        const QString second = sound(QStringLiteral("second.wav"), 0.3, 0.4f, false);
        useDiskOutput(raw);
        BassPlayer player;
        player.Init();
        player.Start(first);
        QTest::qWait(100); // let some of the first sound out
        player.Start(second);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000);
        player.Close_();

        const Output out(raw);
        QCOMPARE(out.secondsAt(0.7f), 0.0);                   // never both at once
        QVERIFY(out.firstAt(0.3f, true) < out.firstAt(0.4f)); // the first never comes back
        QVERIFY(out.secondsAt(0.3f) < 1.0);
        QVERIFY(std::abs(out.secondsAt(0.4f) - 0.3) < 0.01); // the second plays whole
    }

    void stopThenStartAgain() {
        const QString wav = sound(QStringLiteral("a.wav"), 2.0, 0.5f);
        BassPlayer player;
        player.Init();
        player.Start(wav);
        QVERIFY(player.isPlaying());
        player.Stop_();
        QVERIFY(!player.isPlaying());
        player.Stop_(); // twice is harmless
        player.Start(wav);
        QVERIFY(player.isPlaying());
    }

    void closeStopsAndReleasesTheOutput() {
        const QString wav = sound(QStringLiteral("a.wav"), 2.0, 0.5f);
        {
            BassPlayer player;
            player.Init();
            player.Start(wav);
            player.Close_();
            QVERIFY(!player.isPlaying());
            QVERIFY(!outputOpen());
            player.Init(); // a closed player can be used again
            player.Start(wav);
            QVERIFY(player.isPlaying());
        } // destruction closes too
        QVERIFY(!outputOpen());
    }

    void initTwiceHoldsOneReference() {
        const QString wav = sound(QStringLiteral("a.wav"), 2.0, 0.5f);
        BassPlayer player;
        player.Init();
        player.Start(wav);
        player.Init(); // forgets the stream without stopping it
        QVERIFY(player.isInitialized());
        QVERIFY(!player.isPlaying());
        player.Close_();
        QVERIFY(!outputOpen());
    }

    void relativeNameResolvesAgainstProgramFolder_data() {
        QTest::addColumn<QString>("relative");
        QTest::newRow("plain") << "zintar-test-sounds/a.wav";
        QTest::newRow("backslash") << "zintar-test-sounds\\a.wav";
    }
    void relativeNameResolvesAgainstProgramFolder() {
        QFETCH(QString, relative);
        programSounds = ProgramFolder() + QStringLiteral("/zintar-test-sounds");
        QVERIFY(QDir().mkpath(programSounds));
        QVERIFY(writeSound(programSounds + QStringLiteral("/a.wav"),
                           SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1.0, 0.5f));
        QVERIFY(QDir::setCurrent(dir)); // somewhere else
        BassPlayer player;
        player.Init();
        QCOMPARE(QDir::currentPath(), QDir(ProgramFolder()).path());
        player.Start(relative);
        QVERIFY(player.isPlaying());
    }

    void unreadableSoundPlaysNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "-" : no file at all
        QTest::newRow("missing") << "missing.wav" << QByteArray("-");
        QTest::newRow("empty") << "empty.mp3" << QByteArray();
        QTest::newRow("corrupt") << "corrupt.ogg" << QByteArray(4000, '\x5a');
        QTest::newRow("no name") << "" << QByteArray("-");
    }
    void unreadableSoundPlaysNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = name.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
        if (content != "-")
            QVERIFY(TestSupport::writeFile(path, content));
        useDiskOutput(raw);
        BassPlayer player;
        player.Init();
        QVERIFY(player.isInitialized());
        player.Start(path);
        QVERIFY(!player.isPlaying());
        player.Stop_();
        QTest::qWait(100);
        player.Close_();
        const Output out(raw);
        QCOMPARE(out.loudSpan(0.0f), 0.0);
    }

    void twoPlayersShareTheOutput() {
        const QString a = sound(QStringLiteral("a.wav"), 0.4, 0.3f, false);
        const QString b = sound(QStringLiteral("b.wav"), 0.6, 0.4f, false);
        useDiskOutput(raw);
        BassPlayer one;
        BassPlayer two;
        one.Init();
        two.Init();
        one.Start(a);
        two.Start(b);
        QTRY_VERIFY_WITH_TIMEOUT(!one.isPlaying(), 10000);
        one.Close_();
        QVERIFY(two.isInitialized());
        QVERIFY(outputOpen()); // the other player still holds the output
        QTRY_VERIFY_WITH_TIMEOUT(!two.isPlaying(), 10000);
        two.Close_();

        const Output out(raw);
        QVERIFY(out.secondsAt(0.7f) > 0.2); // mixed
        QVERIFY(out.secondsAt(0.4f) > 0.1); // the longer one goes on alone
    }
};

QTEST_GUILESS_MAIN(tst_BassPlayer)
#include "tst_BassPlayer.moc"
