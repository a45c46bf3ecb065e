#include "TestSupport.h"
#include "alarms/AlarmRow.h"
#include "alarms/BassPlayer.h"
#include "alarms/FileChooser.h"
#include "alarms/SystemSounds.h"
#include "alarms/frmAlarm.h"
#include "alarms/frmAlarms.h"
#include "settings/KOptions.h"
#include "shell/mdlStartup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <cmath>

namespace {

// Answers the editor's file dialogs with a fixed path and notes the filter asked for.
class FakeChooser : public FileChooser {
public:
    QString answer;
    QString filter;
    QString OpenFile(QWidget*, const QString& f) override {
        filter = f;
        return answer;
    }
};

// A mono 16-bit WAV of a 440 Hz tone lasting the given seconds.
QByteArray ToneWav(int seconds) {
    const quint32 rate = 22050, samples = rate * seconds;
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + 2 * samples);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << rate << 2 * rate << quint16(2) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(2 * samples);
    for (quint32 i = 0; i < samples; ++i)
        out << qint16(8000 * std::sin(i * 2 * M_PI * 440 / rate));
    return wav;
}

template <typename T> T* child(QWidget& w, const QString& name) {
    T* found = w.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

KAlarmPtr dailyAlarm() {
    auto alarm = std::make_shared<KAlarm>();
    alarm->HH = alarm->RingHH = alarm->DefHH = 7;
    alarm->mm = alarm->RingMM = alarm->DefMM = 30;
    alarm->bSave = -1;
    alarm->Minutes = 25;
    alarm->SwiMsg = false;
    alarm->Text = QStringLiteral("Tea\r\ntime");
    alarm->SwiSnd = true;
    alarm->PathSnd = QStringLiteral("/tmp/kettle.wav");
    alarm->PathPgm = QStringLiteral("xterm");
    return alarm;
}

} // namespace

class tst_frmAlarm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        Options().Defaults();
        Options().Alarms.clear();
    }
    void cleanup() {
        TestSupport::resetNow();
        FileChooser::SetCurrent(nullptr);
    }

    void newAlarmDefaults() {
        TestSupport::setNow(QDateTime(QDate(2026, 12, 5), QTime(14, 37, 20)));
        frmAlarm editor;
        QCOMPARE(editor.windowTitle(), QStringLiteral("New Alarm"));
        QCOMPARE(child<QTimeEdit>(editor, "Time1")->time(), QTime(14, 37));
        QVERIFY(child<QRadioButton>(editor, "Option1")->isChecked());
        QVERIFY(child<QCheckBox>(editor, "SwiMsg")->isChecked());
        QVERIFY(child<QPlainTextEdit>(editor, "Text1")->isEnabled());
        for (const char* off : {"txSnd", "PulSnd", "txExe", "PulExe"})
            QVERIFY2(!child<QWidget>(editor, off)->isEnabled(), off);
        QCOMPARE(child<QComboBox>(editor, "txSnd")->count(), SystemSounds::Files().size());
    }

    void editingShowsTheAlarm_data() {
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QString>("option");
        QTest::newRow("every N minutes") << 1 << QStringLiteral("SwiEvery");
        QTest::newRow("once") << 0 << QStringLiteral("Option1");
        QTest::newRow("every day") << -1 << QStringLiteral("SwiSave");
        QTest::newRow("unknown keeps Once") << 4 << QStringLiteral("Option1");
    }
    void editingShowsTheAlarm() {
        QFETCH(int, bSave);
        QFETCH(QString, option);
        auto alarm = dailyAlarm();
        alarm->bSave = int16_t(bSave);
        frmAlarm editor;
        editor.SetAlarm(alarm);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Alarm"));
        QVERIFY(child<QRadioButton>(editor, option)->isChecked());
        QVERIFY(child<QLineEdit>(editor, "txMinutes")->isEnabled());
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("25"));
        QCOMPARE(child<QTimeEdit>(editor, "Time1")->time(), QTime(7, 30));
        QCOMPARE(child<QPlainTextEdit>(editor, "Text1")->toPlainText(),
                 QStringLiteral("Tea\ntime"));
        QCOMPARE(child<QComboBox>(editor, "txSnd")->currentText(),
                 QStringLiteral("/tmp/kettle.wav"));
        QCOMPARE(child<QLineEdit>(editor, "txExe")->text(), QStringLiteral("xterm"));
        QVERIFY(!child<QPlainTextEdit>(editor, "Text1")->isEnabled());
        QVERIFY(child<QPushButton>(editor, "PulSnd")->isEnabled());
    }

    void checkBoxReactions_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("message") << QStringLiteral("SwiMsg") << QStringList{"Text1"};
        QTest::newRow("sound") << QStringLiteral("SwiSnd") << QStringList{"txSnd", "PulSnd"};
        QTest::newRow("program") << QStringLiteral("SwiExe") << QStringList{"txExe", "PulExe"};
    }
    void checkBoxReactions() {
        QFETCH(QString, box);
        QFETCH(QStringList, controls);
        frmAlarm editor;
        editor.show();
        auto* check = child<QCheckBox>(editor, box);
        for (int i = 0; i < 2; ++i) {
            check->click();
            for (const QString& name : controls)
                QCOMPARE(child<QWidget>(editor, name)->isEnabled(), check->isChecked());
        }
    }

    void spinButtonsStepTheMinutes() {
        frmAlarm editor;
        QTest::mouseClick(child<QToolButton>(editor, "UpDown1Up"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("16"));
        QTest::mouseClick(child<QToolButton>(editor, "UpDown1Down"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("15"));
    }

    void badMinutesKeepTheEditorOpen() {
        auto alarm = dailyAlarm();
        frmAlarm editor;
        editor.SetAlarm(alarm);
        editor.show();
        auto* minutes = child<QLineEdit>(editor, "txMinutes");
        child<QTimeEdit>(editor, "Time1")->setTime(QTime(10, 0));
        minutes->setText(QStringLiteral("ten"));
        QTest::mouseClick(child<QPushButton>(editor, "Command1"), Qt::LeftButton);
        QVERIFY(editor.isVisible());
        QVERIFY(minutes->property("invalid").toBool());
        QCOMPARE(alarm->HH, int16_t(7)); // nothing written

        QTest::keyClicks(minutes, QStringLiteral("30"));
        QVERIFY(!minutes->property("invalid").toBool());
        minutes->setText(QStringLiteral("30"));
        QTest::mouseClick(child<QPushButton>(editor, "Command1"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QVERIFY(!editor.Alarm()); // forgotten on close
        QCOMPARE(alarm->HH, int16_t(10));
        QCOMPARE(alarm->Minutes, 30);
    }

    void cancelChangesNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelChangesNothing() {
        QFETCH(bool, closeBox);
        auto alarm = dailyAlarm();
        Options().Alarms = {alarm};
        frmAlarms list;
        frmAlarm editor;
        editor.Parent(&list);
        editor.SetAlarm(alarm);
        editor.show();
        child<QTimeEdit>(editor, "Time1")->setTime(QTime(11, 11));
        child<QCheckBox>(editor, "SwiMsg")->click();
        if (closeBox)
            editor.close();
        else
            QTest::mouseClick(child<QPushButton>(editor, "Command2"), Qt::LeftButton);
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(alarm->HH, int16_t(7));
        QVERIFY(!alarm->SwiMsg);
        QCOMPARE(list.Row(0)->text(0), QStringLiteral("07:30"));
    }

    void browse_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("filter");
        QTest::newRow("sound")
            << QStringLiteral("SwiSnd") << QStringLiteral("PulSnd")
            << QStringLiteral("Audio files (wav/aif/mp3/mp2/mp1/ogg)|*.wav;*.aif;*.mp3;*.mp2;"
                              "*.mp1;*.ogg|All Files (*.*)|*.*|");
        QTest::newRow("program")
            << QStringLiteral("SwiExe") << QStringLiteral("PulExe")
            << QStringLiteral("Executable programs (*.exe, *.com, *.bat)|*.exe; *.com; *.bat");
    }
    void browse() {
        QFETCH(QString, box);
        QFETCH(QString, button);
        QFETCH(QString, filter);
        FakeChooser chooser;
        FileChooser::SetCurrent(&chooser);
        frmAlarm editor;
        editor.show();
        child<QCheckBox>(editor, box)->click();
        auto field = [&]() {
            return button == QLatin1String("PulSnd")
                       ? child<QComboBox>(editor, "txSnd")->currentText()
                       : child<QLineEdit>(editor, "txExe")->text();
        };
        chooser.answer = QStringLiteral("/opt/things/chosen file");
        QTest::mouseClick(child<QPushButton>(editor, button), Qt::LeftButton);
        QCOMPARE(chooser.filter, filter);
        QCOMPARE(field(), chooser.answer);
        chooser.answer.clear(); // the user cancels the dialog
        QTest::mouseClick(child<QPushButton>(editor, button), Qt::LeftButton);
        QCOMPARE(field(), QStringLiteral("/opt/things/chosen file"));
    }

    void previewPlaysAndStopsInTurn() {
        const QString sound = TestSupport::scratchFolder(QStringLiteral("tone")) + "/tone.wav";
        QVERIFY(TestSupport::writeFile(sound, ToneWav(20)));
        frmAlarm editor;
        editor.show();
        auto* preview = child<QPushButton>(editor, "cmdPreview");
        QTest::mouseClick(preview, Qt::LeftButton); // nothing chosen: nothing plays
        QVERIFY(!editor.PreviewPlayer().isPlaying());

        child<QComboBox>(editor, "txSnd")->setEditText(sound);
        QTest::mouseClick(preview, Qt::LeftButton);
        QVERIFY(editor.PreviewPlayer().isPlaying());
        QTest::mouseClick(preview, Qt::LeftButton);
        QVERIFY(!editor.PreviewPlayer().isPlaying());
        QTest::mouseClick(preview, Qt::LeftButton);
        QVERIFY(editor.PreviewPlayer().isPlaying());
        QTest::mouseClick(child<QPushButton>(editor, "Command2"), Qt::LeftButton);
        QVERIFY(!editor.PreviewPlayer().isPlaying()); // closing stops it
    }
};

QTEST_MAIN(tst_frmAlarm)
#include "tst_frmAlarm.moc"
