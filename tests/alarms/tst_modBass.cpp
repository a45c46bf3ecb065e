#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/modBass.h"

#include <QTest>

using namespace AlarmTestFiles;

namespace {
HSTREAM createStream(const QString& path) {
    return BASS_StreamCreateFile(false, QFile::encodeName(path).constData(), 0, 0, 0);
}
int initOutput() {
    return BASS_Init(-1, 44100, 0, 0, nullptr);
}
void playToTheEnd(HSTREAM h, int restart = 1) {
    BASS_ChannelPlay(h, restart);
    QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
}
} // namespace

class tst_modBass : public QObject {
    Q_OBJECT

    QString dir, raw;
    QString sound(const QString& name, double seconds, float level, bool tone = true) {
        return writeSound(dir + '/' + name, seconds, level, tone);
    }

private Q_SLOTS:
    void init() {
        dir = TestSupport::scratchFolder("modBass");
        raw = dir + "/out.raw";
        useDriver("dummy");
    }
    void cleanup() {
        SetSoundBuffering(10, 30);
        while (BASS_Free() != 0) {
        } // a failed case must not leave the output open for the next one
    }

    void outputIsCountedAndNeededForStreams() {
        const QString wav = sound("a.wav", 0.1, 0.5f);
        useDriver("disk", "/nonexistent/folder/out.raw"); // a device that cannot open
        QCOMPARE(initOutput(), 0);
        QCOMPARE(createStream(wav), 0u);
        QCOMPARE(BASS_Free(), 0); // nothing was taken

        useDriver("dummy"); // a later attempt with an output succeeds; each Init is one hold
        QVERIFY(initOutput() != 0);
        QVERIFY(initOutput() != 0);
        QCOMPARE(BASS_Free(), 1);
        const HSTREAM playing = createStream(wav);
        QVERIFY(playing != 0);
        BASS_ChannelPlay(playing, 1);
        QCOMPARE(BASS_Free(), 1); // the last Free also releases the playing stream
        QCOMPARE(BASS_ChannelIsActive(playing), BASS_ACTIVE_STOPPED);
        QCOMPARE(BASS_StreamFree(playing), 0);
        QCOMPARE(createStream(wav), 0u);
    }

    void playsWholeFileToOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        // wav, ogg and mp3 at the output's own rate are played by tst_BassPlayer.
        QTest::newRow("wav 6 channels 48000 Hz") << "s.wav" << 48000 << 6;
        QTest::newRow("mp3 mono 22050 Hz") << "m.mp3" << 22050 << 1;
        QTest::newRow("flac") << "a.flac" << 44100 << 2;
    }
    void playsWholeFileToOutput() {
        QFETCH(QString, name);
        QFETCH(int, rate);
        QFETCH(int, channels);
        const double seconds = 0.3;
        const QString path = writeSound(dir + '/' + name, seconds, 0.5f, true, rate, channels);
        if (path.isEmpty())
            QSKIP("libsndfile cannot write this format here");
        useDriver("disk", raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(path);
        QVERIFY(h != 0);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED); // created stopped
        QVERIFY(BASS_ChannelPlay(h, 1) != 0);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        const double played = double(BASS_ChannelGetPosition(h, BASS_POS_BYTE)) / 8 / kOutputRate;
        QVERIFY2(std::abs(played - seconds) < 0.06, qPrintable(QString::number(played)));
        BASS_Free();

        const Output out(raw);
        QVERIFY2(std::abs(out.loudSpan() - seconds) < 0.06,
                 qPrintable(QString::number(out.loudSpan())));
        for (int c = 0; c < 2; ++c)
            QVERIFY2(out.peak(c) > 0.4f && out.peak(c) < 0.6f, qPrintable(QString::number(c)));
    }

    void streamsAreMixedAndClipped_data() {
        QTest::addColumn<float>("first");
        QTest::addColumn<float>("second");
        QTest::addColumn<float>("mixed");
        QTest::newRow("sum") << 0.3f << 0.4f << 0.7f;
        QTest::newRow("clipped") << -0.8f << -0.7f << -1.0f;
    }
    void streamsAreMixedAndClipped() {
        QFETCH(float, first);
        QFETCH(float, second);
        QFETCH(float, mixed);
        useDriver("disk", raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM ha = createStream(sound("a.wav", 0.2, first, false));
        const HSTREAM hb = createStream(sound("b.wav", 0.2, second, false));
        QVERIFY(ha != hb);
        BASS_ChannelPlay(ha, 1);
        playToTheEnd(hb);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(ha), BASS_ACTIVE_STOPPED, 10000);
        BASS_Free();

        const Output out(raw);
        QVERIFY2(out.at(mixed).seconds > 0.1, qPrintable(QString::number(out.at(mixed).seconds)));
    }

    // With a buffer shorter than the sound the decoder waits for playback and drops the
    // sound's start, as for a long song: a restart must decode it again.
    void restartPlaysFromTheBeginning() {
        SetSoundBuffering(0.1, 0.2);
        useDriver("disk", raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(sound("a.wav", 0.4, 0.5f, false));
        playToTheEnd(h);
        playToTheEnd(h);    // a finished stream plays again
        playToTheEnd(h, 0); // without restart it stays at its end
        BASS_Free();
        const double played = Output(raw).at(0.5f).seconds;
        QVERIFY2(std::abs(played - 0.8) < 0.01, qPrintable(QString::number(played)));
    }
};

QTEST_GUILESS_MAIN(tst_modBass)
#include "tst_modBass.moc"
