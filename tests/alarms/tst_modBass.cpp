#include "SoundTestSupport.h"
#include "TestSupport.h"
#include "alarms/modBass.h"

#include <QDir>
#include <QTest>

using namespace SoundTest;

namespace {
HSTREAM createStream(const QString& path) {
    return BASS_StreamCreateFile(false, QFile::encodeName(path).constData(), 0, 0, 0);
}
int initOutput() {
    return BASS_Init(-1, 44100, 0, 0, nullptr);
}
} // namespace

class tst_modBass : public QObject {
    Q_OBJECT

    QString dir;
    QString raw;

private Q_SLOTS:
    void init() {
        dir = TestSupport::scratchFolder(QStringLiteral("modBass"));
        raw = dir + QStringLiteral("/out.raw");
        useDriver("dummy");
    }
    void cleanup() {
        SetSoundBuffering(10, 30);
        while (BASS_Free() != 0) {
        } // a failed case must not leave the output open for the next one
    }

    void initFailsWithoutUsableOutput_data() {
        QTest::addColumn<QByteArray>("driver");
        QTest::addColumn<QString>("diskFile");
        QTest::newRow("unknown driver") << QByteArray("no-such-driver") << QString();
        QTest::newRow("device cannot open")
            << QByteArray("disk") << QStringLiteral("/nonexistent/folder/out.raw");
    }
    void initFailsWithoutUsableOutput() {
        QFETCH(QByteArray, driver);
        QFETCH(QString, diskFile);
        const QString wav = dir + QStringLiteral("/a.wav");
        QVERIFY(writeSound(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1, 0.5f));
        useDriver(driver);
        if (!diskFile.isEmpty())
            qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(diskFile));

        QCOMPARE(initOutput(), 0);
        QCOMPARE(createStream(wav), 0u);
        QCOMPARE(BASS_Free(), 0); // nothing was taken

        useDriver("dummy"); // and a later attempt with an output succeeds
        QVERIFY(initOutput() != 0);
        QVERIFY(createStream(wav) != 0);
    }

    void streamNeedsOpenOutput() {
        const QString wav = dir + QStringLiteral("/a.wav");
        QVERIFY(writeSound(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1, 0.5f));
        QCOMPARE(createStream(wav), 0u);
        QVERIFY(initOutput() != 0);
        QVERIFY(initOutput() != 0);
        QCOMPARE(BASS_Free(), 1);
        QVERIFY(createStream(wav) != 0); // one reference still holds the output
        QCOMPARE(BASS_Free(), 1);
        QCOMPARE(createStream(wav), 0u);
        QCOMPARE(BASS_Free(), 0);
    }

    void playsWholeFileToOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        const int pcm16 = SF_FORMAT_PCM_16;
        QTest::newRow("wav") << "a.wav" << (SF_FORMAT_WAV | pcm16) << 44100 << 2;
        QTest::newRow("wav mono 22050 Hz") << "m.wav" << (SF_FORMAT_WAV | pcm16) << 22050 << 1;
        QTest::newRow("wav 6 channels 48000 Hz")
            << "s.wav" << (SF_FORMAT_WAV | SF_FORMAT_PCM_24) << 48000 << 6;
        QTest::newRow("aif") << "a.aif" << (SF_FORMAT_AIFF | pcm16) << 44100 << 2;
        QTest::newRow("flac") << "a.flac" << (SF_FORMAT_FLAC | pcm16) << 44100 << 2;
        QTest::newRow("ogg") << "a.ogg" << (SF_FORMAT_OGG | SF_FORMAT_VORBIS) << 44100 << 2;
        QTest::newRow("mp3") << "a.mp3" << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 44100
                             << 2;
        QTest::newRow("mp3 mono 22050 Hz")
            << "m.mp3" << (SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III) << 22050 << 1;
    }
    void playsWholeFileToOutput() {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        const double seconds = 0.4;
        const QString path = dir + QLatin1Char('/') + name;
        if (!writeSound(path, format, seconds, 0.5f, rate, channels))
            QSKIP("libsndfile cannot write this format here");
        useDiskOutput(raw);
        QVERIFY(initOutput() != 0);

        const HSTREAM h = createStream(path);
        QVERIFY(h != 0);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED); // created stopped
        QVERIFY(BASS_ChannelPlay(h, 1) != 0);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        const double played = double(BASS_ChannelGetPosition(h, BASS_POS_BYTE)) / 8 / kOutputRate;
        QVERIFY2(std::abs(played - seconds) < 0.06, qPrintable(QString::number(played)));
        QCOMPARE(BASS_Free(), 1);

        const Output out(raw);
        const double span = out.loudSpan();
        QVERIFY2(std::abs(span - seconds) < 0.06, qPrintable(QString::number(span)));
        for (int c = 0; c < 2; ++c) {
            QVERIFY2(out.peak(c) > 0.4f && out.peak(c) < 0.6f,
                     qPrintable(QString::number(out.peak(c))));
        }
    }

    void unreadableFileGivesNoStream_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "-" : no file at all
        QTest::newRow("missing") << "missing.wav" << QByteArray("-");
        QTest::newRow("empty") << "empty.wav" << QByteArray();
        QTest::newRow("text as wav") << "text.wav" << QByteArray(2000, 'x');
        QTest::newRow("text as mp3") << "text.mp3" << QByteArray("not a sound at all\n");
        QTest::newRow("text as ogg") << "text.ogg" << QByteArray("OggS but nothing else");
        QTest::newRow("cut wav header") << "cut.wav" << QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ");
        QTest::newRow("folder") << "folder.wav" << QByteArray("/");
    }
    void unreadableFileGivesNoStream() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = dir + QLatin1Char('/') + name;
        if (content == "/")
            QVERIFY(QDir().mkpath(path));
        else if (content != "-")
            QVERIFY(TestSupport::writeFile(path, content));
        QVERIFY(initOutput() != 0);

        QCOMPARE(createStream(path), 0u);
        QCOMPARE(BASS_ChannelPlay(0, 1), 0);
        QCOMPARE(BASS_ChannelIsActive(0), BASS_ACTIVE_STOPPED);
        QCOMPARE(BASS_StreamFree(0), 0);

        const QString good = dir + QStringLiteral("/good.wav"); // the layer still works
        QVERIFY(writeSound(good, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1, 0.5f));
        QVERIFY(createStream(good) != 0);
    }

    void emptySoundGivesNoStream() {
        const QString path = dir + QStringLiteral("/silent.wav");
        QVERIFY(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.0, 0.5f));
        QVERIFY(initOutput() != 0);
        QCOMPARE(createStream(path), 0u);
    }

    void streamsAreMixedAndClipped_data() {
        QTest::addColumn<float>("first");
        QTest::addColumn<float>("second");
        QTest::addColumn<float>("mixed");
        QTest::newRow("sum") << 0.3f << 0.4f << 0.7f;
        QTest::newRow("clipped high") << 0.8f << 0.7f << 1.0f;
        QTest::newRow("clipped low") << -0.8f << -0.7f << -1.0f;
    }
    void streamsAreMixedAndClipped() {
        QFETCH(float, first);
        QFETCH(float, second);
        QFETCH(float, mixed);
        const QString a = dir + QStringLiteral("/a.wav");
        const QString b = dir + QStringLiteral("/b.wav");
        const int wav = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        QVERIFY(writeSound(a, wav, 0.4, first, kOutputRate, 2, false));
        QVERIFY(writeSound(b, wav, 0.4, second, kOutputRate, 2, false));
        useDiskOutput(raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM ha = createStream(a);
        const HSTREAM hb = createStream(b);
        QVERIFY(ha != 0 && hb != 0 && ha != hb);
        BASS_ChannelPlay(ha, 1);
        BASS_ChannelPlay(hb, 1);
        QTRY_VERIFY_WITH_TIMEOUT(BASS_ChannelIsActive(ha) == BASS_ACTIVE_STOPPED &&
                                     BASS_ChannelIsActive(hb) == BASS_ACTIVE_STOPPED,
                                 10000);
        BASS_Free();

        const Output out(raw);
        QVERIFY2(out.secondsAt(mixed) > 0.2, qPrintable(QString::number(out.secondsAt(mixed))));
        QVERIFY(out.peak(0) <= 1.0f && out.peak(1) <= 1.0f);
    }

    void restartPlaysFromTheBeginning() {
        const QString path = dir + QStringLiteral("/a.wav");
        QVERIFY(
            writeSound(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.3, 0.5f, kOutputRate, 2, false));
        useDiskOutput(raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(path);
        BASS_ChannelPlay(h, 1);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        QVERIFY(BASS_ChannelPlay(h, 1) != 0); // a finished stream plays again
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        BASS_ChannelPlay(h, 0); // without restart it stays at its end
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        BASS_Free();

        const Output out(raw);
        QVERIFY2(std::abs(out.secondsAt(0.5f) - 0.6) < 0.01,
                 qPrintable(QString::number(out.secondsAt(0.5f))));
    }

    void longSoundIsDecodedAgainOnRestart() {
        // With these limits the decoder waits for playback and the sound's start is dropped
        // while it plays, as for a song of several minutes.
        SetSoundBuffering(0.1, 0.2);
        const QString path = dir + QStringLiteral("/a.wav");
        QVERIFY(
            writeSound(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.6, 0.5f, kOutputRate, 2, false));
        useDiskOutput(raw);
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(path);
        BASS_ChannelPlay(h, 1);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        BASS_ChannelPlay(h, 1);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
        QTRY_COMPARE_WITH_TIMEOUT(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED, 10000);
        BASS_Free();

        const Output out(raw);
        QVERIFY2(std::abs(out.secondsAt(0.5f) - 1.2) < 0.01,
                 qPrintable(QString::number(out.secondsAt(0.5f))));
    }

    void stopKeepsTheStream() {
        const QString path = dir + QStringLiteral("/long.wav");
        QVERIFY(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3.0, 0.5f));
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(path);
        BASS_ChannelPlay(h, 1);
        QTRY_VERIFY_WITH_TIMEOUT(BASS_ChannelGetPosition(h, BASS_POS_BYTE) > 0, 10000);
        QVERIFY(BASS_ChannelStop(h) != 0);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        const uint64_t stoppedAt = BASS_ChannelGetPosition(h, BASS_POS_BYTE);
        QTest::qWait(100);
        QCOMPARE(BASS_ChannelGetPosition(h, BASS_POS_BYTE), stoppedAt);

        QVERIFY(BASS_ChannelPlay(h, 0) != 0); // resumes
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_PLAYING);
        QTRY_VERIFY_WITH_TIMEOUT(BASS_ChannelGetPosition(h, BASS_POS_BYTE) > stoppedAt, 10000);

        QCOMPARE(BASS_StreamFree(h), 1);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        QCOMPARE(BASS_StreamFree(h), 0);
        QCOMPARE(BASS_ChannelPlay(h, 1), 0);
        QCOMPARE(BASS_ChannelStop(h), 0);
    }

    void lastFreeReleasesPlayingStreams() {
        const QString path = dir + QStringLiteral("/long.wav");
        QVERIFY(writeSound(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 3.0, 0.5f));
        QVERIFY(initOutput() != 0);
        const HSTREAM h = createStream(path);
        BASS_ChannelPlay(h, 1);
        QCOMPARE(BASS_Free(), 1);
        QCOMPARE(BASS_ChannelIsActive(h), BASS_ACTIVE_STOPPED);
        QCOMPARE(BASS_StreamFree(h), 0);
    }
};

QTEST_GUILESS_MAIN(tst_modBass)
#include "tst_modBass.moc"
