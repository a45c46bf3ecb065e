#include "AlarmTestFiles.h"
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

using TestSupport::child;

namespace {

// Answers the editor's file dialogs with a fixed path and notes the filter asked for.
class FakeChooser : public FileChooser {
public:
    QString answer, filter;
    QString OpenFile(QWidget*, const QString& f) override {
        filter = f;
        return answer;
    }
};

void click(QWidget& w, const char* button) {
    QTest::mouseClick(child<QPushButton>(&w, button), Qt::LeftButton);
}

KAlarmPtr teaAlarm(int bSave = -1) {
    KAlarmPtr alarm = AlarmTestFiles::alarmAt(7, 30, bSave, 25);
    alarm->Text = "Tea\r\ntime";
    alarm->SwiSnd = true;
    alarm->PathSnd = "/tmp/kettle.wav";
    alarm->PathPgm = "xterm";
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

    void newAlarmDefaultsAndReactions() {
        TestSupport::setNow(QDateTime(QDate(2026, 12, 5), QTime(14, 37, 20)));
        frmAlarm editor;
        editor.show();
        QCOMPARE(editor.windowTitle(), "New Alarm");
        QCOMPARE(child<QTimeEdit>(&editor, "Time1")->time(), QTime(14, 37));
        QVERIFY(child<QRadioButton>(&editor, "Option1")->isChecked());
        QCOMPARE(child<QComboBox>(&editor, "txSnd")->count(), SystemSounds::Files().size());
        // Each check box enables its fields: the message's is checked, the others are not.
        const std::pair<const char*, QStringList> boxes[] = {{"SwiMsg", {"Text1"}},
                                                             {"SwiSnd", {"txSnd", "PulSnd"}},
                                                             {"SwiExe", {"txExe", "PulExe"}}};
        for (const auto& [box, fields] : boxes) {
            auto* check = child<QCheckBox>(&editor, box);
            QCOMPARE(check->isChecked(), box == QLatin1String("SwiMsg"));
            for (int i = 0; i < 3; ++i, check->click())
                for (const QString& name : fields)
                    QCOMPARE(child(&editor, name)->isEnabled(), check->isChecked());
        }
    }

    void editingARepeatingAlarm() {
        frmAlarm editor;
        editor.SetAlarm(teaAlarm(1));
        QCOMPARE(editor.windowTitle(), "Edit Alarm");
        QVERIFY(child<QRadioButton>(&editor, "SwiEvery")->isChecked());
        QVERIFY(child(&editor, "txMinutes")->isEnabled());
        QCOMPARE(child<QLineEdit>(&editor, "txMinutes")->text(), "25");
        QCOMPARE(child<QTimeEdit>(&editor, "Time1")->time(), QTime(7, 30));
        QCOMPARE(child<QPlainTextEdit>(&editor, "Text1")->toPlainText(), "Tea\ntime");
        QCOMPARE(child<QComboBox>(&editor, "txSnd")->currentText(), "/tmp/kettle.wav");
        QCOMPARE(child<QLineEdit>(&editor, "txExe")->text(), "xterm");
        QVERIFY(!child(&editor, "Text1")->isEnabled());
        QVERIFY(child(&editor, "PulSnd")->isEnabled());
    }

    void badMinutesKeepTheEditorOpen() {
        auto alarm = teaAlarm(1);
        frmAlarm editor;
        editor.SetAlarm(alarm);
        editor.show();
        auto* minutes = child<QLineEdit>(&editor, "txMinutes");
        child<QTimeEdit>(&editor, "Time1")->setTime(QTime(10, 0));
        minutes->setText("ten");
        click(editor, "Command1");
        QVERIFY(editor.isVisible());
        QVERIFY(minutes->property("invalid").toBool());
        QCOMPARE(alarm->HH, int16_t(7)); // nothing written

        QTest::keyClicks(minutes, "30");
        QVERIFY(!minutes->property("invalid").toBool()); // typing clears the mark
        minutes->setText("30");
        click(editor, "Command1");
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
        auto alarm = teaAlarm();
        Options().Alarms = {alarm};
        frmAlarms list;
        frmAlarm editor;
        editor.Parent(&list);
        editor.SetAlarm(alarm);
        editor.show();
        child<QTimeEdit>(&editor, "Time1")->setTime(QTime(11, 11));
        child<QCheckBox>(&editor, "SwiMsg")->click();
        if (closeBox)
            editor.close();
        else
            click(editor, "Command2");
        QCOMPARE(editor.result(), int(QDialog::Rejected));
        QCOMPARE(alarm->HH, int16_t(7));
        QVERIFY(!alarm->SwiMsg);
        QCOMPARE(list.Row(0)->text(0), "07:30");
    }

    void browse_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("button");
        QTest::newRow("sound") << "SwiSnd"
                               << "PulSnd";
        QTest::newRow("program") << "SwiExe"
                                 << "PulExe";
    }
    void browse() {
        QFETCH(QString, box);
        QFETCH(QString, button);
        FakeChooser chooser;
        FileChooser::SetCurrent(&chooser);
        frmAlarm editor;
        editor.show();
        child<QCheckBox>(&editor, box)->click();
        auto field = [&] {
            return button == "PulSnd" ? child<QComboBox>(&editor, "txSnd")->currentText()
                                      : child<QLineEdit>(&editor, "txExe")->text();
        };
        chooser.answer = "/opt/things/chosen file";
        click(editor, qPrintable(button));
        QVERIFY(!chooser.filter.isEmpty());
        QCOMPARE(field(), chooser.answer);
        chooser.answer.clear(); // the user cancels the dialog
        click(editor, qPrintable(button));
        QCOMPARE(field(), "/opt/things/chosen file");
    }

    void previewPlaysAndStopsInTurn() {
        const QString sound =
            AlarmTestFiles::longTone(TestSupport::scratchFolder("tone"), "tone.wav");
        frmAlarm editor;
        editor.show();
        click(editor, "cmdPreview"); // nothing chosen: nothing plays
        QVERIFY(!editor.PreviewPlayer().isPlaying());
        child<QComboBox>(&editor, "txSnd")->setEditText(sound);
        for (const bool playing : {true, false, true}) {
            click(editor, "cmdPreview");
            QCOMPARE(editor.PreviewPlayer().isPlaying(), playing);
        }
        click(editor, "Command2");
        QVERIFY(!editor.PreviewPlayer().isPlaying()); // closing stops it
    }
};

QTEST_MAIN(tst_frmAlarm)
#include "tst_frmAlarm.moc"
