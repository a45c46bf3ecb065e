#include "AlarmTestFiles.h"
#include "alarms/BassPlayer.h"
#include "alarms/modBass.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <cmath>
#include <cstring>

// This program links neither SDL2 nor libsndfile (its sounds are written by hand below), so
// what /proc/self/maps shows of them is what the sound layer loaded.

namespace {

constexpr const char* kSdl = "libSDL2-2.0.so";
constexpr const char* kSndfile = "libsndfile.so";

// The path of the mapped library whose file name starts with stem, or empty.
QString mapped(const char* stem) {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return QStringLiteral("(no /proc/self/maps)");
    for (const QByteArray& line : maps.readAll().split('\n')) {
        const qsizetype slash = line.indexOf('/');
        if (slash >= 0 && line.mid(line.lastIndexOf('/') + 1).startsWith(stem))
            return QFile::decodeName(line.mid(slash));
    }
    return {};
}

// A 16-bit stereo wav of a 440 Hz tone of peak 0.5 at 44100 Hz.
QString writeTone(const QString& path, double seconds) {
    const auto frames = quint32(seconds * 44100);
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + frames * 4);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(44100) << quint32(44100 * 4)
        << quint16(4) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(frames * 4);
    for (quint32 i = 0; i < frames; ++i) {
        const auto v = qint16(std::lround(16384 * std::sin(2 * M_PI * 440.0 * i / 44100)));
        out << v << v;
    }
    return TestSupport::writeFile(path, wav) ? path : QString();
}

// Run as a child with ZINTAR_SOUND_LIBRARY_DIR set to a folder that lacks a library: the
// player must go without sound and keep working. Prints "ok" or what went wrong.
int runWithoutSound(const QString& wav) {
    QByteArray failed;
    const auto check = [&](bool ok, const char* what) {
        if (!ok && failed.isEmpty())
            failed = what;
    };
    {
        BassPlayer player;
        player.Init();
        check(!player.isInitialized(), "the player has an output");
        player.Start(wav);
        check(!player.isPlaying(), "the player plays");
        player.Init();
        player.Start(wav);
        player.Stop_();
        player.Close_();
    }
    check(BASS_Init(-1, 44100, 0, 0, nullptr) == 0, "a second BASS_Init succeeds");
    check(BASS_StreamCreateFile(false, QFile::encodeName(wav).constData(), 0, 0, 0) == 0,
          "a stream was made");
    check(BASS_Free() == 0, "BASS_Free found an output");
    fputs(failed.isEmpty() ? "ok" : failed.constData(), stdout);
    return 0;
}

constexpr const char* kChildFlag = "--without-sound";

} // namespace

// The sound libraries are opened at the first sound, and their absence only silences it.
class tst_SoundLibraries : public QObject {
    Q_OBJECT

    const QString dir = TestSupport::scratchFolder("SoundLibraries"), raw = dir + "/out.raw";
    const QString wav = writeTone(dir + "/tone.wav", 0.3);

private Q_SLOTS:
    void cleanup() {
        while (BASS_Free() != 0) {
        }
    }

    // Must run first: nothing before it may have opened the output.
    void loadsAtTheFirstSound() {
        QVERIFY(!wav.isEmpty());
        QCOMPARE(mapped(kSdl), QString());
        QCOMPARE(mapped(kSndfile), QString());
        // Calls that need no output load nothing.
        QCOMPARE(BASS_StreamCreateFile(false, QFile::encodeName(wav).constData(), 0, 0, 0), 0u);
        QCOMPARE(BASS_Free(), 0);
        QCOMPARE(BASS_Init(0, 44100, 0, 0, nullptr), 0); // a device that is never offered
        QCOMPARE(mapped(kSdl), QString());

        AlarmTestFiles::useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        QVERIFY(player.isInitialized());
        QVERIFY(!mapped(kSdl).isEmpty());
        QVERIFY(!mapped(kSndfile).isEmpty());
        player.Start(wav);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000);
        QTest::qWait(100);
        player.Close_();
        for (size_t c = 0; c < 2; ++c) {
            const double loud = AlarmTestFiles::loudSpan(raw, 0.45f, c);
            QVERIFY2(std::abs(loud - 0.3) < 0.02, qPrintable(QString::number(loud)));
            QCOMPARE(AlarmTestFiles::loudSpan(raw, 0.55f, c), 0.0);
        }

        // The libraries stay loaded once the output is closed, and serve the next one.
        QVERIFY(!mapped(kSdl).isEmpty());
        AlarmTestFiles::useDriver("dummy");
        player.Init();
        player.Start(wav);
        QVERIFY(player.isPlaying());
    }

    void goesSilentWithoutALibrary_data() {
        QTest::addColumn<bool>("withSdl"); // the folder holds SDL2 but not libsndfile
        QTest::addColumn<QString>("missing");
        QTest::newRow("no SDL2") << false << "libSDL2-2.0.so.0";
        QTest::newRow("no libsndfile") << true << "libsndfile.so.1";
    }
    void goesSilentWithoutALibrary() {
        QFETCH(bool, withSdl);
        QFETCH(QString, missing);
        const QString folder = dir + "/lib-" + QString::number(withSdl);
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        if (withSdl) {
            AlarmTestFiles::useDriver("dummy");
            QVERIFY(BASS_Init(-1, 44100, 0, 0, nullptr) != 0); // for where SDL2 is
            const QString sdl = mapped(kSdl);
            QVERIFY(!sdl.isEmpty());
            QVERIFY(QFile::link(sdl, folder + "/libSDL2-2.0.so.0"));
        }

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZINTAR_SOUND_LIBRARY_DIR", folder);
        env.insert("QT_LOGGING_RULES", "zintar.trace.debug=true");
        env.insert("SDL_AUDIODRIVER", "dummy");
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {kChildFlag, wav});
        QVERIFY(child.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitStatus(), QProcess::NormalExit); // no crash
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()), QStringLiteral("ok"));
        QCOMPARE(child.exitCode(), 0);
        // One line, for the one library, however often the output is asked for.
        const QStringList lines = err.split('\n').filter("Sound disabled");
        QVERIFY2(lines.size() == 1, qPrintable(err));
        QVERIFY2(lines[0].contains(missing), qPrintable(lines[0]));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return runWithoutSound(QFile::decodeName(argv[2]));
    tst_SoundLibraries test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_SoundLibraries.moc"
