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

    QString dir;
    QString raw;
    QString programSounds; // made in the program folder by the relative-name case

    QString sound(const QString& name, double seconds, float level, bool tone = true) {
        return writeSound(dir + QLatin1Char('/') + name, seconds, level, tone);
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

    void playerWithoutOutputDoesNothing() {
        QVERIFY(BASS_Init(-1, 44100, 0, 0, nullptr) != 0); // another owner's output
        BassPlayer().Close_(); // Close_ without Init, and the destructor's, release nothing
        QVERIFY(outputOpen());
        QCOMPARE(BASS_Free(), 1);

        useDriver("no-such-driver");
        BassPlayer player;
        player.Init();
        QVERIFY(!player.isInitialized());
        player.Start(sound(QStringLiteral("a.wav"), 0.3, 0.5f));
        QVERIFY(!player.isPlaying());
        player.Stop_();
        player.Close_();
    }

    void soundReachesTheOutput_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("wav") << "a.wav";
        QTest::newRow("ogg") << "a.ogg";
        QTest::newRow("mp3") << "a.mp3";
    }
    void soundReachesTheOutput() {
        QFETCH(QString, name);
        const double seconds = 0.3;
        const QString path = sound(name, seconds, 0.5f);
        QVERIFY(!path.isEmpty());
        useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        QVERIFY(player.isInitialized());
        player.Start(path);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000); // plays once, then ends
        player.Close_();

        const Output out(raw);
        QVERIFY2(std::abs(out.loudSpan() - seconds) < 0.06,
                 qPrintable(QString::number(out.loudSpan())));
        QVERIFY(out.peak(0) > 0.4f && out.peak(1) > 0.4f);
    }

    void startWhilePlayingReplaces() {
        const QString first = sound(QStringLiteral("first.wav"), 1.0, 0.3f, false);
        const QString second = sound(QStringLiteral("second.wav"), 0.2, 0.4f, false);
        useDriver("disk", raw);
        BassPlayer player;
        player.Init();
        player.Start(first);
        QTest::qWait(100); // let some of the first sound out
        player.Start(second);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(!player.isPlaying(), 10000);
        player.Close_();

        const Output out(raw);
        QCOMPARE(out.at(0.7f).seconds, 0.0);             // never both at once
        QVERIFY(out.at(0.3f).last < out.at(0.4f).first); // the first never comes back
        QVERIFY(out.at(0.3f).seconds < 0.6);
        QVERIFY(std::abs(out.at(0.4f).seconds - 0.2) < 0.01); // the second plays whole
    }

    void lifecycle() {
        const QString wav = sound(QStringLiteral("a.wav"), 2.0, 0.5f);
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
        QVERIFY(!writeSound(programSounds + QStringLiteral("/a.wav"), 1.0, 0.5f).isEmpty());
        QVERIFY(QDir::setCurrent(dir)); // somewhere else
        BassPlayer player;
        player.Init();
        QCOMPARE(QDir::currentPath(), QDir(ProgramFolder()).path());
        player.Start(relative);
        QVERIFY(player.isPlaying());
    }

    void unreadableSoundPlaysNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // "-": no file, "/": a folder, "0": no frames
        QTest::newRow("missing") << "missing.wav" << QByteArray("-");
        QTest::newRow("no name") << "" << QByteArray("-");
        QTest::newRow("empty") << "empty.mp3" << QByteArray();
        QTest::newRow("corrupt ogg") << "corrupt.ogg" << QByteArray(4000, '\x5a');
        QTest::newRow("text as mp3") << "text.mp3" << QByteArray("not a sound at all\n");
        QTest::newRow("cut wav header") << "cut.wav" << QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ");
        QTest::newRow("folder") << "folder.wav" << QByteArray("/");
        QTest::newRow("no frames") << "silent.wav" << QByteArray("0");
    }
    void unreadableSoundPlaysNothing() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = name.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
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
        player.Start(sound(QStringLiteral("good.wav"), 0.5, 0.5f)); // the player still works
        QVERIFY(player.isPlaying());
    }

    void twoPlayersShareTheOutput() {
        const QString a = sound(QStringLiteral("a.wav"), 0.2, 0.3f, false);
        const QString b = sound(QStringLiteral("b.wav"), 0.4, 0.4f, false);
        useDriver("disk", raw);
        BassPlayer one;
        BassPlayer two;
        one.Init();
        two.Init();
        one.Start(a);
        two.Start(b);
        QTRY_VERIFY_WITH_TIMEOUT(!one.isPlaying(), 10000);
        one.Close_();
        QVERIFY(outputOpen()); // the other player still holds the output
        QTRY_VERIFY_WITH_TIMEOUT(!two.isPlaying(), 10000);
        two.Close_();

        const Output out(raw);
        QVERIFY(out.at(0.7f).seconds > 0.1); // mixed
        QVERIFY(out.at(0.4f).seconds > 0.1); // the longer one goes on alone
    }
};

QTEST_GUILESS_MAIN(tst_BassPlayer)
#include "tst_BassPlayer.moc"
