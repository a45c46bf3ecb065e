#include "AlarmTestFiles.h"
#include "alarms/AlarmRow.h"
#include "alarms/BassPlayer.h"
#include "alarms/frmAlarm.h"
#include "alarms/frmAlarms.h"
#include "settings/KOptions.h"
#include "shell/frmError.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <QtWidgets>
#include <stdexcept>

using TestSupport::child;

namespace {

// The list window with its editor answered by the test instead of by a user.
struct AnsweredList : frmAlarms {
    std::function<void(frmAlarm&)> answer = [](frmAlarm& editor) {
        child<QTimeEdit>(&editor, "Time1")->setTime(QTime(9, 5));
        child<QRadioButton>(&editor, "SwiSave")->click();
        child<QPlainTextEdit>(&editor, "Text1")->setPlainText("Stand-up\nRoom 4");
        child<QCheckBox>(&editor, "SwiSnd")->click();
        child<QComboBox>(&editor, "txSnd")->setEditText("/usr/share/sounds/bell.oga");
        child<QPushButton>(&editor, "Command1")->click();
    };
    void pShowEditor(frmAlarm& editor) override { answer(editor); }
};

void click(QWidget& w, const QString& button) {
    if (button.startsWith('F') || button == "V2")
        child<QAction>(&w, button)->trigger(); // the toolbar's
    else
        QTest::mouseClick(child<QAbstractButton>(&w, button), Qt::LeftButton);
}

KAlarmPtr makeAlarm(int hour, int bSave, const QString& text) {
    KAlarmPtr a = AlarmTestFiles::alarmAt(hour, 30, bSave, 15);
    a->SwiMsg = true;
    a->Text = text;
    return a;
}

} // namespace

// The alarm list and its editor.
class tst_frmAlarms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        Options().Defaults();
        Options().Alarms = {makeAlarm(7, -1, "Up"), makeAlarm(8, 1, "Water")};
    }

    void rowsShowTheAlarmsAndLetGoOnClose() {
        const QString a26(26, 'a'), a50(50, 'a');
        Options().Alarms << makeAlarm(9, 0, a50 + "bc") << makeAlarm(10, -1, a50 + "bcd")
                         << makeAlarm(11, -1, a26 + "\r\n" + a26); // the break counts as one
        {
            frmAlarms list;
            const QStringList summaries = {"Up", "Water", a50 + "bc", a50 + "...",
                                           a26 + ' ' + a26.left(23) + "..."};
            QCOMPARE(list.RowCount(), 5);
            for (int i = 0; i < 5; ++i) {
                QCOMPARE(list.Row(i)->text(0), QString("%1:30").arg(i + 7, 2, 10, QChar('0')));
                QCOMPARE(list.Row(i)->text(1), summaries[i]);
                QCOMPARE(list.Row(i)->Image(), i == 2 ? 1 : 2);
                QCOMPARE(Options().Alarms[i]->ListItem, list.Row(i));
            }
        }
        QCOMPARE(Options().Alarms[0]->ListItem, nullptr);
    }

    // Only the list's OK changes the collection: it takes the rows in order and rewrites the
    // file, where no stale section stays.
    void addAndRemoveThenCancelOrOk() {
        Options().Alarms << makeAlarm(9, -1, "c");
        SaveOptions();
        const QList<KAlarmPtr> before = Options().Alarms;
        const QByteArray file = TestSupport::readFile(Options().FilePath());
        KAlarmPtr added;
        for (const QString close : {"cmdCancel", "Esc", "PulOk"}) {
            AnsweredList list;
            list.show();
            for (const char* remove : {"PulRem", "FRem"}) {
                list.lstAlarm()->setCurrentItem(list.Row(1));
                click(list, remove);
            }
            click(list, close == "Esc" ? "FAdd" : "PulAdd");
            QCOMPARE(list.Row(1)->text(0), "09:05");
            QCOMPARE(list.Row(1)->text(1), "Stand-up Room 4");
            added = list.Row(1)->Tag();
            close == "Esc" ? QTest::keyClick(&list, Qt::Key_Escape) : click(list, close);
            QVERIFY(!list.isVisible());
            if (close != "PulOk") {
                QCOMPARE(Options().Alarms, before);
                QCOMPARE(TestSupport::readFile(Options().FilePath()), file);
            }
        }
        QCOMPARE(Options().Alarms, QList<KAlarmPtr>({before[0], added}));
        QStringList saved;
        for (const char* key : {"Hour", "Minute", "Mode", "Message", "Sound"})
            saved << ReadIniValue(Options().FilePath(), "Alarm2", key);
        QCOMPARE(saved,
                 QStringList({"9", "5", "-1", "Stand-up§Room 4", "/usr/share/sounds/bell.oga"}));
        QCOMPARE(ReadIniValue(Options().FilePath(), "Alarms", "AlarmsCount"), "2");
        QVERIFY(ReadIniValue(Options().FilePath(), "Alarm3", "Hour").isEmpty());
    }

    // From the toolbar and by a double-click in the icon view, at once on the shared alarm;
    // the editor's Cancel and close box change nothing.
    void editChangesTheSharedAlarm() {
        const QList<KAlarmPtr> before = Options().Alarms;
        AnsweredList list;
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QStringList closes{"Command1", "Command2", "close box"};
        list.answer = [&](frmAlarm& editor) {
            QCOMPARE(editor.Alarm(), before[1]);
            editor.show();
            child<QTimeEdit>(&editor, "Time1")->setTime(QTime(9, 8 - int(closes.size())));
            child<QPlainTextEdit>(&editor, "Text1")->setPlainText("More\nwater");
            const QString how = closes.takeFirst();
            how == "close box" ? void(editor.close()) : click(editor, how);
        };
        list.lstAlarm()->setCurrentItem(list.Row(1));
        click(list, "FEdit");
        click(list, "V2");
        auto* view = child<QListView>(&list, "lstAlarmIcons");
        const QPoint at = view->visualRect(view->model()->index(1, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        click(list, "FEdit");
        QVERIFY(closes.isEmpty());
        QCOMPARE(list.Row(1)->text(0), "09:05");
        QCOMPARE(list.Row(1)->text(1), "More water");
        click(list, "cmdCancel"); // does not undo the edit
        QCOMPARE(Options().Alarms, before);
        QCOMPARE(before[1]->Text, "More\r\nwater");
    }

    void editorFailureShowsTheErrorWindow() {
        AnsweredList list;
        list.answer = [](frmAlarm&) { throw std::runtime_error("Class not registered"); };
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* window = qobject_cast<frmError*>(QApplication::activeModalWidget())) {
                shown = child<QPlainTextEdit>(window, "Text1")->toPlainText();
                child<QPushButton>(window, "Command1")->click();
            }
        });
        click(list, "PulAdd");
        QCOMPARE(shown, "Class not registered");
        QCOMPARE(list.RowCount(), 2);
    }

    void newAlarmDefaultsAndReactions() {
        const QString windir = TestSupport::scratchFolder("WINDOWS");
        for (const char* file : {"/media/CHORD.WAV", "/media/song.mp3"})
            TestSupport::writeFile(windir + file, "x");
        qputenv("windir", windir.toUtf8());
        TestSupport::setNow(QDateTime(QDate(2026, 12, 5), QTime(14, 37, 20)));
        frmAlarm editor;
        editor.show();
        TestSupport::resetNow();
        QCOMPARE(editor.windowTitle(), "New Alarm");
        QCOMPARE(child<QTimeEdit>(&editor, "Time1")->time(), QTime(14, 37));
        QVERIFY(child<QRadioButton>(&editor, "Option1")->isChecked());
        auto* sounds = child<QComboBox>(&editor, "txSnd");
        QCOMPARE(sounds->itemText(sounds->count() - 1), windir + "/media/CHORD.WAV");
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

    // OK writes every field, and a snoozed or fired alarm becomes due again at its new time.
    void editingARepeatingAlarm() {
        KAlarmPtr alarm = makeAlarm(7, 1, "Tea\r\ntime");
        alarm->SwiMsg = false;
        alarm->SwiSnd = alarm->Rang = true;
        alarm->RingHH = 3; // snoozed
        alarm->PathSnd = "/tmp/kettle.wav";
        alarm->PathPgm = "xterm";
        frmAlarm editor;
        editor.SetAlarm(alarm);
        editor.show();
        auto* minutes = child<QLineEdit>(&editor, "txMinutes");
        QCOMPARE(editor.windowTitle(), "Edit Alarm");
        QVERIFY(child<QRadioButton>(&editor, "SwiEvery")->isChecked() && minutes->isEnabled());
        QCOMPARE(minutes->text(), "15");
        QCOMPARE(child<QPlainTextEdit>(&editor, "Text1")->toPlainText(), "Tea\ntime");
        QCOMPARE(child<QComboBox>(&editor, "txSnd")->currentText(), "/tmp/kettle.wav");
        QCOMPARE(child<QLineEdit>(&editor, "txExe")->text(), "xterm");
        QVERIFY(!child(&editor, "Text1")->isEnabled() && child(&editor, "PulSnd")->isEnabled());
        // The spin keeps within 1 to 120; a text that is not a whole number keeps the editor open.
        for (const auto& [text, button, after] : {std::tuple{"120", "UpDown1Up", "120"},
                                                  {"40000", "UpDown1Down", "120"},
                                                  {"x", "UpDown1Up", "1"}}) {
            minutes->setText(text);
            click(editor, button);
            QCOMPARE(minutes->text(), after);
        }
        child<QTimeEdit>(&editor, "Time1")->setTime(QTime(10, 0));
        minutes->setText("ten");
        click(editor, "Command1");
        QVERIFY(editor.isVisible() && minutes->property("invalid").toBool() && alarm->HH == 7);
        QTest::keyClicks(minutes, "30");
        QVERIFY(!minutes->property("invalid").toBool());
        minutes->setText("30");
        click(editor, "Command1");
        QVERIFY(!editor.isVisible() && !editor.Alarm());
        QCOMPARE(QList<int>({alarm->HH, alarm->RingHH, alarm->DefHH, alarm->Minutes, alarm->Rang}),
                 QList<int>({10, 10, 10, 30, false}));
        QCOMPARE(alarm->Text, "Tea\r\ntime");
    }

    void previewPlaysAndStopsInTurn() {
        frmAlarm editor;
        editor.show();
        click(editor, "cmdPreview"); // nothing chosen: nothing plays
        QVERIFY(!editor.PreviewPlayer().isPlaying());
        child<QComboBox>(&editor, "txSnd")
            ->setEditText(
                AlarmTestFiles::longTone(TestSupport::scratchFolder("tone") + "/tone.wav"));
        for (const bool playing : {true, false, true}) {
            click(editor, "cmdPreview");
            QCOMPARE(editor.PreviewPlayer().isPlaying(), playing);
        }
        click(editor, "Command2");
        QVERIFY(!editor.PreviewPlayer().isPlaying()); // closing stops it
    }
};

QTEST_MAIN(tst_frmAlarms)
#include "tst_frmAlarms.moc"
