#include "AlarmTestFiles.h"
#include "alarms/BassPlayer.h"
#include "alarms/modBass.h"
#include "shell/mdlStartup.h"

#include <QDir>
#include <QTest>

using namespace AlarmTestFiles;

namespace {
HSTREAM stream(const QString& path) {
    return BASS_StreamCreateFile(false, QFile::encodeName(path).constData(), 0, 0, 0);
}
bool initOutput() {
    return BASS_Init(-1, 44100, 0, 0, nullptr) != 0;
}
void playToTheEnd(HSTREAM h, int restart = 1) {
    BASS_ChannelPlay(h, restart);
    QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
}
} // namespace

// The player, and the sound layer (modBass) under it.
class tst_BassPlayer : public QObject {
    Q_OBJECT

    const QString dir = TestSupport::scratchFolder("BassPlayer"), raw = dir + "/out.raw";
    const QString wav = writeSound(dir + "/long.wav", 2.0, 0.5f);

private Q_SLOTS:
    void init() { useDriver("dummy"); }
    void cleanup() {
        SetSoundBuffering(10, 30);
        while (BASS_Free() != 0) {
        }
    }

    void playsOnceToTheOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("seconds"); // of a tone made here; -1: the file is `junk`
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QByteArray>("junk"); // "-": no file at all
        for (const char* name : {"a.wav", "a.ogg", "a.mp3"})
            QTest::newRow(name) << name << 0.3 << 44100 << 2 << QByteArray();
        QTest::newRow("wav 6 channels 48000 Hz") << "b.wav" << 0.3 << 48000 << 6 << QByteArray();
        QTest::newRow("mp3 mono 22050 Hz") << "b.mp3" << 0.3 << 22050 << 1 << QByteArray();
        QTest::newRow("flac") << "a.flac" << 0.3 << 44100 << 2 << QByteArray();
        QTest::newRow("no frames") << "c.wav" << 0.0 << 44100 << 2 << QByteArray();
        QTest::newRow("missing") << "d.wav" << -1.0 << 0 << 0 << QByteArray("-");
        QTest::newRow("empty") << "e.mp3" << -1.0 << 0 << 0 << QByteArray();
        QTest::newRow("corrupt ogg") << "f.ogg" << -1.0 << 0 << 0 << QByteArray(4000, 'Z');
    }
    void playsOnceToTheOutput() {
        QFETCH(QString, name);
        QFETCH(double, seconds);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(QByteArray, junk);
        const QString path = dir + '/' + name;
        if (seconds >= 0)
            QVERIFY(!writeSound(path, seconds, 0.5f, true, rate, channels).isEmpty());
        else if (junk != "-")
            QVERIFY(TestSupport::writeFile(path, junk));
        useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        player.Start(path);
        QCOMPARE(player.isPlaying(), seconds > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000);
        QTest::qWait(100);
        player.Close_();
        for (size_t c = 0; c < 2; ++c) {
            const double loud = loudSpan(raw, seconds > 0 ? 0.4f : 0.0f, c);
            QVERIFY2(std::abs(loud - std::max(seconds, 0.0)) < 0.06,
                     qPrintable(QString::number(loud)));
            QCOMPARE(loudSpan(raw, 0.6f, c), 0.0);
        }
        player.Init(); // and the player goes on working
        player.Start(wav);
        QVERIFY(player.isPlaying());
    }

    void lifecycle() {
        QVERIFY(initOutput()); // another owner's output
        BassPlayer().Close_(); // Close_ without Init, and the destructor's, release nothing
        QCOMPARE(BASS_Free(), 1);
        {
            BassPlayer player;
            player.Init();
            player.Start(wav);
            player.Stop_();
            QVERIFY(!player.isPlaying());
            player.Start(wav);
            player.Init(); // forgets the stream and still holds the output once
            QVERIFY(!player.isPlaying());
            player.Close_();
            QVERIFY(!player.isInitialized() && stream(wav) == 0);
            // Init makes the program folder current, for names relative to it.
            const QString folder = ProgramFolder() + "/zintar-test-sounds";
            QVERIFY(QDir().mkpath(folder) && !writeSound(folder + "/a.wav", 1.0, 0.5f).isEmpty());
            QVERIFY(QDir::setCurrent(dir));
            player.Init();
            player.Start("zintar-test-sounds\\a.wav"); // as a Windows file has it
            QDir(folder).removeRecursively();
            QVERIFY(player.isPlaying());
        } // destruction closes
        QCOMPARE(stream(wav), 0u);
        useDriver("no-such-driver"); // no output: nothing plays, nothing breaks
        BassPlayer player;
        player.Init();
        player.Start(wav);
        QVERIFY(!player.isInitialized() && !player.isPlaying());
    }

    void layerMixesAndClips_data() {
        QTest::addColumn<float>("first");
        QTest::addColumn<float>("second");
        QTest::addColumn<float>("mixed");
        QTest::newRow("sum") << 0.3f << 0.4f << 0.7f;
        QTest::newRow("clipped") << -0.8f << -0.7f << -1.0f;
    }
    void layerMixesAndClips() {
        QFETCH(float, first);
        QFETCH(float, second);
        QFETCH(float, mixed);
        useDriver("disk", raw);
        QVERIFY(initOutput());
        const HSTREAM a = stream(writeSound(dir + "/a.wav", 0.2, first, false));
        BASS_ChannelPlay(a, 1);
        playToTheEnd(stream(writeSound(dir + "/b.wav", 0.2, second, false)));
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(a), BASS_ACTIVE_STOPPED, 10000);
        BASS_Free();
        QVERIFY(secondsAt(raw, mixed) > 0.1);
    }

    // With a buffer shorter than the sound the decoder drops the sound's start as it plays,
    // as for a long song: a restart must decode it again.
    void layerRestartsFromTheBeginning() {
        SetSoundBuffering(0.1, 0.2);
        useDriver("disk", raw);
        QVERIFY(initOutput());
        const HSTREAM h = stream(writeSound(dir + "/a.wav", 0.4, 0.5f, false));
        playToTheEnd(h);
        playToTheEnd(h);    // a finished stream plays again
        playToTheEnd(h, 0); // without restart it stays at its end
        BASS_Free();
        const double seconds = secondsAt(raw, 0.5f);
        QVERIFY2(std::abs(seconds - 0.8) < 0.01, qPrintable(QString::number(seconds)));
    }
};

QTEST_GUILESS_MAIN(tst_BassPlayer)
#include "tst_BassPlayer.moc"
