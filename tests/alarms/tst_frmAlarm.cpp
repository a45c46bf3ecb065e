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
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtEndian>
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

// A mono 16-bit WAV of a tone lasting the given seconds.
QByteArray ToneWav(int seconds) {
    const int rate = 22050;
    const int samples = rate * seconds;
    QByteArray data(samples * 2, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i)
        qToLittleEndian<int16_t>(int16_t(8000 * std::sin(i * 2 * M_PI * 440 / rate)),
                                 data.data() + 2 * i);
    QByteArray wav;
    auto u32 = [&](uint32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&](uint16_t v) {
        char b[2];
        qToLittleEndian(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + data.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav.append("data");
    u32(data.size());
    return wav + data;
}

} // namespace

class tst_frmAlarm : public QObject {
    Q_OBJECT

    template <typename T> static T* child(QWidget& w, const char* name) {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    static KAlarmPtr dailyAlarm() {
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
        QCOMPARE(child<QTimeEdit>(editor, "Time1")->displayFormat(), QStringLiteral("H.mm"));
        QVERIFY(child<QRadioButton>(editor, "Option1")->isChecked());
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("15"));
        QVERIFY(child<QLineEdit>(editor, "txMinutes")->isEnabled());
        QVERIFY(child<QCheckBox>(editor, "SwiMsg")->isChecked());
        QVERIFY(child<QPlainTextEdit>(editor, "Text1")->isEnabled());
        QCOMPARE(child<QPlainTextEdit>(editor, "Text1")->toPlainText(),
                 QStringLiteral("Type your message here...\n"));
        QVERIFY(!child<QCheckBox>(editor, "SwiSnd")->isChecked());
        QVERIFY(!child<QComboBox>(editor, "txSnd")->isEnabled());
        QVERIFY(child<QComboBox>(editor, "txSnd")->currentText().isEmpty());
        QVERIFY(!child<QPushButton>(editor, "PulSnd")->isEnabled());
        QVERIFY(child<QPushButton>(editor, "cmdPreview")->isEnabled());
        QVERIFY(!child<QCheckBox>(editor, "SwiExe")->isChecked());
        QVERIFY(!child<QLineEdit>(editor, "txExe")->isEnabled());
        QVERIFY(!child<QPushButton>(editor, "PulExe")->isEnabled());
        QVERIFY(!editor.Alarm());
    }

    void soundListHoldsTheTheme() {
        frmAlarm editor;
        auto* sounds = child<QComboBox>(editor, "txSnd");
        QStringList listed;
        for (int i = 0; i < sounds->count(); ++i)
            listed << sounds->itemText(i);
        QCOMPARE(listed, SystemSounds::Files());
    }

    void setAlarmSelectsRecurrence_data() {
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QString>("option");
        QTest::newRow("every N minutes") << 1 << QStringLiteral("SwiEvery");
        QTest::newRow("once") << 0 << QStringLiteral("Option1");
        QTest::newRow("every day") << -1 << QStringLiteral("SwiSave");
        QTest::newRow("unknown keeps Once") << 4 << QStringLiteral("Option1");
    }
    void setAlarmSelectsRecurrence() {
        QFETCH(int, bSave);
        QFETCH(QString, option);
        auto alarm = dailyAlarm();
        alarm->bSave = int16_t(bSave);
        frmAlarm editor;
        editor.SetAlarm(alarm);
        QVERIFY(editor.findChild<QRadioButton*>(option)->isChecked());
        QVERIFY(child<QLineEdit>(editor, "txMinutes")->isEnabled());
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("25"));
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Alarm"));
        QCOMPARE(editor.Alarm(), alarm);
    }

    void setAlarmFillsFieldsAndReacts() {
        frmAlarm editor;
        editor.SetAlarm(dailyAlarm());
        QCOMPARE(child<QTimeEdit>(editor, "Time1")->time(), QTime(7, 30));
        QCOMPARE(child<QPlainTextEdit>(editor, "Text1")->toPlainText(),
                 QStringLiteral("Tea\ntime"));
        QCOMPARE(child<QComboBox>(editor, "txSnd")->currentText(),
                 QStringLiteral("/tmp/kettle.wav"));
        QCOMPARE(child<QLineEdit>(editor, "txExe")->text(), QStringLiteral("xterm"));
        QVERIFY(!child<QCheckBox>(editor, "SwiMsg")->isChecked());
        QVERIFY(!child<QPlainTextEdit>(editor, "Text1")->isEnabled());
        QVERIFY(child<QComboBox>(editor, "txSnd")->isEnabled());
        QVERIFY(child<QPushButton>(editor, "PulSnd")->isEnabled());
        QVERIFY(!child<QLineEdit>(editor, "txExe")->isEnabled());
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
        auto* check = editor.findChild<QCheckBox*>(box);
        for (const bool checked : {!check->isChecked(), check->isChecked()}) {
            check->click();
            QCOMPARE(check->isChecked(), checked);
            for (const QString& name : controls)
                QCOMPARE(editor.findChild<QWidget*>(name)->isEnabled(), check->isChecked());
        }
        QVERIFY(child<QPushButton>(editor, "cmdPreview")->isEnabled());
    }

    void spinButtonsStepTheMinutes() {
        frmAlarm editor;
        QTest::mouseClick(child<QToolButton>(editor, "UpDown1Up"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("16"));
        QTest::mouseClick(child<QToolButton>(editor, "UpDown1Down"), Qt::LeftButton);
        QTest::mouseClick(child<QToolButton>(editor, "UpDown1Down"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(editor, "txMinutes")->text(), QStringLiteral("14"));
    }

    void newAlarmGetsARow_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("bSave");
        QTest::addColumn<int>("image");
        QTest::newRow("once") << QStringLiteral("Option1") << 0 << 1;
        QTest::newRow("every day") << QStringLiteral("SwiSave") << -1 << 2;
        // As the editor adds it; the list shows image 2 once reopened.
        QTest::newRow("every N minutes") << QStringLiteral("SwiEvery") << 1 << 1;
    }
    void newAlarmGetsARow() {
        QFETCH(QString, option);
        QFETCH(int, bSave);
        QFETCH(int, image);
        frmAlarms list;
        frmAlarm editor;
        editor.Parent(&list);
        editor.show();
        child<QTimeEdit>(editor, "Time1")->setTime(QTime(9, 5));
        editor.findChild<QRadioButton*>(option)->click();
        child<QPlainTextEdit>(editor, "Text1")->setPlainText(QStringLiteral("Wake up\nNow"));
        child<QLineEdit>(editor, "txMinutes")->setText(QStringLiteral("40000"));
        child<QCheckBox>(editor, "SwiSnd")->click();
        child<QComboBox>(editor, "txSnd")->setEditText(QStringLiteral("/tmp/a.wav"));
        child<QCheckBox>(editor, "SwiExe")->click();
        child<QLineEdit>(editor, "txExe")->setText(QStringLiteral("xclock"));
        QTest::mouseClick(child<QPushButton>(editor, "Command1"), Qt::LeftButton);

        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QVERIFY(!editor.isVisible());
        QCOMPARE(list.RowCount(), 1);
        AlarmListRow* row = list.Row(0);
        QCOMPARE(row->text(0), QStringLiteral("09:05"));
        QCOMPARE(row->text(1), QStringLiteral("Wake up Now"));
        QCOMPARE(row->Image(), image);
        const KAlarmPtr alarm = row->Tag();
        QCOMPARE(alarm->ListItem, row);
        QCOMPARE(alarm->bSave, int16_t(bSave));
        QCOMPARE(alarm->HH, int16_t(9));
        QVERIFY(alarm->SwiMsg && alarm->SwiSnd && alarm->SwiPgm);
        QCOMPARE(alarm->PathSnd, QStringLiteral("/tmp/a.wav"));
        QCOMPARE(alarm->PathPgm, QStringLiteral("xclock"));
        QVERIFY(Options().Alarms.isEmpty()); // only the list's OK puts it there
        QVERIFY(!editor.Alarm());            // forgotten on close
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
        QCOMPARE(alarm->Minutes, 25);

        QTest::keyClicks(minutes, QStringLiteral("30"));
        QVERIFY(!minutes->property("invalid").toBool());
        minutes->setText(QStringLiteral("30"));
        QTest::mouseClick(child<QPushButton>(editor, "Command1"), Qt::LeftButton);
        QVERIFY(!editor.isVisible());
        QCOMPARE(alarm->HH, int16_t(10));
        QCOMPARE(alarm->Minutes, 30);
    }

    void cancelChangesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << QStringLiteral("button");
        QTest::newRow("close box") << QStringLiteral("close");
        QTest::newRow("Esc") << QStringLiteral("escape");
    }
    void cancelChangesNothing() {
        QFETCH(QString, how);
        auto alarm = dailyAlarm();
        Options().Alarms = {alarm};
        frmAlarms list;
        frmAlarm editor;
        editor.Parent(&list);
        editor.SetAlarm(alarm);
        editor.show();
        child<QTimeEdit>(editor, "Time1")->setTime(QTime(11, 11));
        child<QCheckBox>(editor, "SwiMsg")->click();
        child<QLineEdit>(editor, "txMinutes")->setText(QStringLiteral("99"));
        if (how == QLatin1String("button"))
            QTest::mouseClick(child<QPushButton>(editor, "Command2"), Qt::LeftButton);
        else if (how == QLatin1String("close"))
            editor.close();
        else
            QTest::keyClick(&editor, Qt::Key_Escape);
        QVERIFY(!editor.isVisible());
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(alarm->HH, int16_t(7));
        QVERIFY(!alarm->SwiMsg);
        QCOMPARE(alarm->Minutes, 25);
        QCOMPARE(list.Row(0)->text(0), QStringLiteral("07:30"));
        QCOMPARE(list.RowCount(), 1);
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
        editor.findChild<QCheckBox*>(box)->click();
        auto field = [&]() {
            return button == QLatin1String("PulSnd")
                       ? child<QComboBox>(editor, "txSnd")->currentText()
                       : child<QLineEdit>(editor, "txExe")->text();
        };
        chooser.answer = QStringLiteral("/opt/things/chosen file");
        QTest::mouseClick(editor.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(chooser.filter, filter);
        QCOMPARE(field(), chooser.answer);
        chooser.answer.clear(); // the user cancels the dialog
        QTest::mouseClick(editor.findChild<QPushButton*>(button), Qt::LeftButton);
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
