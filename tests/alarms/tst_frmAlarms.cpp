#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/AlarmRow.h"
#include "alarms/frmAlarm.h"
#include "alarms/frmAlarms.h"
#include "settings/KOptions.h"
#include "shell/frmError.h"
#include "shell/mdlStartup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QTreeWidget>
#include <stdexcept>

using TestSupport::child;

namespace {

// The list window with its editor answered by the test instead of by a user.
class AnsweredList : public frmAlarms {
public:
    std::function<void(frmAlarm&)> answer;
    bool broken = false; // the editor cannot be opened

protected:
    void pShowEditor(frmAlarm& editor) override {
        if (broken)
            throw std::runtime_error("Class not registered");
        if (answer)
            answer(editor);
    }
};

void click(QWidget& w, const QString& button) {
    if (button.startsWith('F') || button == "V2")
        child<QAction>(&w, button)->trigger(); // the toolbar's
    else
        QTest::mouseClick(child<QPushButton>(&w, button), Qt::LeftButton);
}

// Fills the editor for 09:05 every day with a two-line message and a sound, then presses OK.
void addNineOFive(frmAlarm& editor) {
    child<QTimeEdit>(&editor, "Time1")->setTime(QTime(9, 5));
    child<QRadioButton>(&editor, "SwiSave")->click();
    child<QPlainTextEdit>(&editor, "Text1")->setPlainText("Stand-up\nRoom 4");
    child<QCheckBox>(&editor, "SwiSnd")->click();
    child<QComboBox>(&editor, "txSnd")->setEditText("/usr/share/sounds/bell.oga");
    child<QPushButton>(&editor, "Command1")->click();
}

KAlarmPtr makeAlarm(int hour, int minute, int bSave, const QString& text) {
    KAlarmPtr a = AlarmTestFiles::alarmAt(hour, minute, bSave, 15);
    a->SwiMsg = true;
    a->Text = text;
    return a;
}

QString ini(const QString& section, const QString& key) {
    return ReadIniValue(Options().FilePath(), section, key);
}

} // namespace

class tst_frmAlarms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        Options().Defaults();
        Options().Alarms = {makeAlarm(7, 0, -1, "Up"), makeAlarm(8, 30, 1, "Water")};
    }

    void rowsShowTheAlarmsAndLetGoOnClose() {
        Options().Alarms << makeAlarm(9, 5, 0, QString(53, 'm'))
                         << makeAlarm(18, 30, -1, "Go\r\nhome");
        {
            frmAlarms list;
            QCOMPARE(list.RowCount(), 4);
            const QStringList texts = {"07:00", "08:30", "09:05", "18:30"};
            const QStringList summaries = {"Up", "Water", QString(50, 'm') + "...", "Go home"};
            const QList<int> images = {2, 2, 1, 2};
            for (int i = 0; i < 4; ++i) {
                QCOMPARE(list.Row(i)->text(0), texts[i]);
                QCOMPARE(list.Row(i)->text(1), summaries[i]);
                QCOMPARE(list.Row(i)->Image(), images[i]);
                QCOMPARE(Options().Alarms[i]->ListItem, list.Row(i));
            }
        }
        QCOMPARE(Options().Alarms[0]->ListItem, nullptr);
    }

    // OK rebuilds the collection in row order and rewrites the file: no stale section stays.
    void addThenOkSavesTheRowsInOrder() {
        Options().Alarms << makeAlarm(9, 0, -1, "c");
        const KAlarmPtr first = Options().Alarms[0];
        SaveOptions();
        AnsweredList list;
        list.answer = [](frmAlarm& editor) { addNineOFive(editor); };
        for (int i = 0; i < 2; ++i) {
            list.lstAlarm()->setCurrentItem(list.Row(1));
            click(list, "PulRem");
        }
        click(list, "PulAdd");
        QCOMPARE(list.RowCount(), 2);
        QCOMPARE(list.Row(1)->text(0), "09:05");
        QCOMPARE(list.Row(1)->text(1), "Stand-up Room 4");
        QCOMPARE(Options().Alarms.size(), 3); // only the list's OK changes the collection
        const KAlarmPtr added = list.Row(1)->Tag();
        click(list, "PulOk");
        QCOMPARE(list.result(), int(QDialog::Accepted));
        QCOMPARE(Options().Alarms, (QList<KAlarmPtr>{first, added}));
        QStringList saved;
        for (const char* key : {"Hour", "Minute", "Mode", "Message", "Sound"})
            saved << ini("Alarm2", key);
        QCOMPARE(saved,
                 QStringList({"9", "5", "-1", "Stand-up§Room 4", "/usr/share/sounds/bell.oga"}));
        QCOMPARE(ini("Alarms", "AlarmsCount"), "2");
        QVERIFY(ini("Alarm3", "Hour").isEmpty());
    }

    void cancelKeepsTheOldCollection_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("escape");
        QTest::newRow("toolbar add, Cancel") << "FAdd" << false;
        QTest::newRow("remove, Cancel") << "PulRem" << false;
        QTest::newRow("toolbar remove, Esc") << "FRem" << true;
    }
    void cancelKeepsTheOldCollection() {
        QFETCH(QString, change);
        QFETCH(bool, escape);
        const QList<KAlarmPtr> before = Options().Alarms;
        SaveOptions();
        const QByteArray file = TestSupport::readFile(Options().FilePath());
        {
            AnsweredList list;
            list.show();
            list.answer = [](frmAlarm& editor) { addNineOFive(editor); };
            list.lstAlarm()->setCurrentItem(list.Row(0));
            click(list, change);
            QCOMPARE(list.RowCount(), change == "FAdd" ? 3 : 1);
            if (escape)
                QTest::keyClick(&list, Qt::Key_Escape);
            else
                click(list, "cmdCancel");
            QCOMPARE(list.result(), int(QDialog::Rejected));
            QVERIFY(!list.isVisible());
        }
        QCOMPARE(Options().Alarms, before);
        QCOMPARE(TestSupport::readFile(Options().FilePath()), file);
    }

    void editChangesTheSharedAlarm_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar Edit") << "FEdit";
        QTest::newRow("icon view double-click") << "icons";
    }
    void editChangesTheSharedAlarm() {
        QFETCH(QString, how);
        const QList<KAlarmPtr> before = Options().Alarms;
        AnsweredList list;
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.answer = [&](frmAlarm& editor) {
            QCOMPARE(child<QTimeEdit>(&editor, "Time1")->time(), QTime(8, 30));
            child<QTimeEdit>(&editor, "Time1")->setTime(QTime(9, 5));
            child<QPlainTextEdit>(&editor, "Text1")->setPlainText("More\nwater");
            child<QPushButton>(&editor, "Command1")->click();
        };
        if (how == "FEdit") {
            list.lstAlarm()->setCurrentItem(list.Row(1));
            click(list, "FEdit");
        } else {
            click(list, "V2");
            QVERIFY(list.IsIconView());
            auto* view = child<QListView>(&list, "lstAlarmIcons");
            const QPoint at = view->visualRect(view->model()->index(1, 0)).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
        }
        QCOMPARE(list.Row(1)->text(0), "09:05");
        QCOMPARE(list.Row(1)->text(1), "More water");
        // The shared object changed before the list's OK; Cancel does not undo it.
        click(list, "cmdCancel");
        QCOMPARE(Options().Alarms, before);
        QCOMPARE(before[1]->HH, int16_t(9));
        QCOMPARE(before[1]->Text, "More\r\nwater");
    }

    void editorFailureShowsTheErrorWindow() {
        AnsweredList list;
        list.broken = true;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<frmError*>(QApplication::activeModalWidget());
            if (!window)
                return;
            shown = child<QPlainTextEdit>(window, "Text1")->toPlainText();
            child<QPushButton>(window, "Command1")->click();
        });
        click(list, "PulAdd");
        QCOMPARE(shown, "Class not registered");
        QCOMPARE(list.RowCount(), 2);
    }
};

QTEST_MAIN(tst_frmAlarms)
#include "tst_frmAlarms.moc"
