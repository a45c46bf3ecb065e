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

namespace {

// The list window with its editor answered by the test instead of by a user.
class AnsweredList : public frmAlarms {
public:
    std::function<void(frmAlarm&)> answer;
    int editorsShown = 0;

protected:
    void pShowEditor(frmAlarm& editor) override {
        ++editorsShown;
        if (answer)
            answer(editor);
    }
};

// An editor that cannot be opened.
class BrokenList : public frmAlarms {
protected:
    void pShowEditor(frmAlarm&) override { throw std::runtime_error("Class not registered"); }
};

template <typename T> T* child(QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

void click(QWidget& w, const char* button) {
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

void trigger(QWidget& w, const char* action) {
    child<QAction>(w, action)->trigger();
}

// Fills the editor for 09:05 every day with a message and a sound, then presses OK.
void addNineOFive(frmAlarm& editor) {
    child<QTimeEdit>(editor, "Time1")->setTime(QTime(9, 5));
    child<QRadioButton>(editor, "SwiSave")->click();
    child<QPlainTextEdit>(editor, "Text1")->setPlainText(QStringLiteral("Stand-up\nRoom 4"));
    child<QCheckBox>(editor, "SwiSnd")->click();
    child<QComboBox>(editor, "txSnd")->setEditText(QStringLiteral("/usr/share/sounds/bell.oga"));
    child<QPushButton>(editor, "Command1")->click();
}

KAlarmPtr Alarm(int hour, int minute, int16_t bSave, const QString& text) {
    auto alarm = std::make_shared<KAlarm>();
    alarm->HH = alarm->RingHH = alarm->DefHH = int16_t(hour);
    alarm->mm = alarm->RingMM = alarm->DefMM = int16_t(minute);
    alarm->bSave = bSave;
    alarm->Minutes = 15;
    alarm->SwiMsg = true;
    alarm->Text = text;
    return alarm;
}

QString Ini(const QString& section, const QString& key) {
    return ReadIniValue(Options().FilePath(), section, key);
}

} // namespace

class tst_frmAlarms : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        TestSupport::freshUserFolder();
        Options().Defaults();
        Options().Alarms.clear();
    }

    void rowsShowTheAlarms() {
        Options().Alarms = {Alarm(9, 5, 0, QString(53, QLatin1Char('m'))),
                            Alarm(18, 30, -1, QStringLiteral("Go\r\nhome")),
                            Alarm(0, 0, 1, QString(52, QLatin1Char('n')))};
        frmAlarms list;
        QCOMPARE(list.windowTitle(), QStringLiteral("Alarms"));
        QCOMPARE(list.RowCount(), 3);
        const QStringList texts = {"09:05", "18:30", "00:00"};
        const QStringList summaries = {QString(50, QLatin1Char('m')) + "...", "Go home",
                                       QString(52, QLatin1Char('n'))};
        const QList<int> images = {1, 2, 2};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(list.Row(i)->text(0), texts[i]);
            QCOMPARE(list.Row(i)->text(1), summaries[i]);
            QCOMPARE(list.Row(i)->Image(), images[i]);
            QCOMPARE(list.Row(i)->Tag(), Options().Alarms[i]);
            QCOMPARE(Options().Alarms[i]->ListItem, list.Row(i));
        }
    }

    void rowsLetGoOfTheAlarmsOnClose() {
        Options().Alarms = {Alarm(9, 5, -1, QString())};
        {
            frmAlarms list;
            QVERIFY(Options().Alarms[0]->ListItem);
        }
        QCOMPARE(Options().Alarms[0]->ListItem, nullptr);
    }

    void addThenOkSaves() {
        AnsweredList list;
        list.answer = addNineOFive;
        click(list, "PulAdd");
        QCOMPARE(list.RowCount(), 1);
        QCOMPARE(list.Row(0)->text(0), QStringLiteral("09:05"));
        QCOMPARE(list.Row(0)->text(1), QStringLiteral("Stand-up Room 4"));
        QCOMPARE(list.Row(0)->Image(), 2);
        QVERIFY(Options().Alarms.isEmpty());

        click(list, "PulOk");
        QCOMPARE(list.result(), int(QDialog::Accepted));
        QCOMPARE(Options().Alarms.size(), 1);
        QCOMPARE(Options().Alarms[0], list.Row(0)->Tag());
        QCOMPARE(Ini("Alarms", "AlarmsCount"), QStringLiteral("1"));
        QCOMPARE(Ini("Alarm1", "Hour"), QStringLiteral("9"));
        QCOMPARE(Ini("Alarm1", "Minute"), QStringLiteral("5"));
        QCOMPARE(Ini("Alarm1", "Mode"), QStringLiteral("-1"));
        QCOMPARE(Ini("Alarm1", "Message"), QStringLiteral("Stand-up§Room 4"));
        QCOMPARE(Ini("Alarm1", "PlaySound"), QStringLiteral("True"));
        QCOMPARE(Ini("Alarm1", "Sound"), QStringLiteral("/usr/share/sounds/bell.oga"));
    }

    void toolbarAddAndRealModalEditor() {
        frmAlarms list;
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* editor = qobject_cast<frmAlarm*>(QApplication::activeModalWidget());
            if (!editor)
                return;
            answered = true;
            addNineOFive(*editor);
        });
        trigger(list, "FAdd");
        QVERIFY(answered);
        QCOMPARE(list.RowCount(), 1);
        QCOMPARE(list.Row(0)->text(0), QStringLiteral("09:05"));
    }

    void cancelKeepsTheOldCollection_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("close");
        QTest::newRow("add, Cancel") << QStringLiteral("add") << QStringLiteral("cmdCancel");
        QTest::newRow("remove, Cancel") << QStringLiteral("remove") << QStringLiteral("cmdCancel");
        QTest::newRow("toolbar remove, Esc") << QStringLiteral("FRem") << QStringLiteral("Esc");
        QTest::newRow("add, close box") << QStringLiteral("add") << QStringLiteral("close");
    }
    void cancelKeepsTheOldCollection() {
        QFETCH(QString, change);
        QFETCH(QString, close);
        const QList<KAlarmPtr> before = {Alarm(7, 0, -1, QStringLiteral("Up")),
                                         Alarm(8, 30, 1, QStringLiteral("Water"))};
        Options().Alarms = before;
        SaveOptions();
        const QByteArray file = TestSupport::readFile(Options().FilePath());
        QVERIFY(!file.isEmpty());
        {
            AnsweredList list;
            list.show();
            list.answer = addNineOFive;
            if (change == QLatin1String("add")) {
                click(list, "PulAdd");
                QCOMPARE(list.RowCount(), 3);
            } else {
                list.lstAlarm()->setCurrentItem(list.Row(0));
                if (change == QLatin1String("remove"))
                    click(list, "PulRem");
                else
                    trigger(list, "FRem");
                QCOMPARE(list.RowCount(), 1);
                QCOMPARE(before[0]->ListItem, nullptr);
            }
            if (close == QLatin1String("Esc"))
                QTest::keyClick(&list, Qt::Key_Escape);
            else if (close == QLatin1String("close"))
                list.close();
            else
                click(list, "cmdCancel");
            QCOMPARE(list.result(), int(QDialog::Rejected));
            QVERIFY(!list.isVisible());
        }
        QCOMPARE(Options().Alarms, before);
        QCOMPARE(TestSupport::readFile(Options().FilePath()), file);
        frmAlarms reopened;
        QCOMPARE(reopened.RowCount(), 2);
    }

    void editChangesTheSharedAlarm_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("toolbar Edit") << QStringLiteral("FEdit");
        QTest::newRow("double-click") << QStringLiteral("double-click");
        QTest::newRow("icon view double-click") << QStringLiteral("icons");
    }
    void editChangesTheSharedAlarm() {
        QFETCH(QString, how);
        const KAlarmPtr first = Alarm(7, 0, -1, QStringLiteral("Up"));
        const KAlarmPtr second = Alarm(8, 30, 1, QStringLiteral("Water"));
        Options().Alarms = {first, second};
        AnsweredList list;
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.answer = [&](frmAlarm& editor) {
            QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Alarm"));
            QCOMPARE(child<QTimeEdit>(editor, "Time1")->time(), QTime(8, 30));
            QVERIFY(child<QRadioButton>(editor, "SwiEvery")->isChecked());
            child<QTimeEdit>(editor, "Time1")->setTime(QTime(9, 5));
            child<QPlainTextEdit>(editor, "Text1")->setPlainText(QStringLiteral("More\nwater"));
            child<QPushButton>(editor, "Command1")->click();
        };
        if (how == QLatin1String("FEdit")) {
            list.lstAlarm()->setCurrentItem(list.Row(1));
            trigger(list, "FEdit");
        } else if (how == QLatin1String("double-click")) {
            QTreeWidget* tree = list.lstAlarm();
            const QRect rect = tree->visualItemRect(list.Row(1));
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            child<QAction>(list, "V2")->trigger();
            auto* icons = child<QListView>(list, "lstAlarmIcons");
            const QRect rect = icons->visualRect(icons->model()->index(1, 0));
            QTest::mouseClick(icons->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(icons->viewport(), Qt::LeftButton, {}, rect.center());
        }
        QVERIFY(list.editorsShown >= 1);
        QCOMPARE(list.Row(1)->text(0), QStringLiteral("09:05"));
        QCOMPARE(list.Row(1)->text(1), QStringLiteral("More water"));
        QCOMPARE(list.Row(1)->Image(), 2);
        // The shared object changed before the list's OK; Cancel does not undo it.
        QCOMPARE(second->HH, int16_t(9));
        QCOMPARE(second->Text, QStringLiteral("More\r\nwater"));
        click(list, "cmdCancel");
        QCOMPARE(Options().Alarms, (QList<KAlarmPtr>{first, second}));
        QCOMPARE(Options().Alarms[1]->mm, int16_t(5));
    }

    void editOrRemoveWithoutSelectionDoNothing() {
        Options().Alarms = {Alarm(7, 0, -1, QStringLiteral("Up"))};
        AnsweredList list;
        list.lstAlarm()->clearSelection();
        trigger(list, "FEdit");
        list.DoEdit();
        QCOMPARE(list.editorsShown, 0);
        click(list, "PulRem");
        QCOMPARE(list.RowCount(), 1);
    }

    void okKeepsRowOrder() {
        const KAlarmPtr a = Alarm(7, 0, -1, QStringLiteral("a"));
        const KAlarmPtr b = Alarm(8, 0, -1, QStringLiteral("b"));
        const KAlarmPtr c = Alarm(9, 0, -1, QStringLiteral("c"));
        Options().Alarms = {a, b, c};
        AnsweredList list;
        list.answer = addNineOFive;
        list.lstAlarm()->setCurrentItem(list.Row(1));
        click(list, "PulRem");
        click(list, "PulAdd");
        const KAlarmPtr added = list.Row(2)->Tag();
        click(list, "PulOk");
        QCOMPARE(Options().Alarms, (QList<KAlarmPtr>{a, c, added}));
        QCOMPARE(Ini("Alarm2", "Message"), QStringLiteral("c"));
        QCOMPARE(Ini("Alarm3", "Hour"), QStringLiteral("9"));
    }

    void okWithNoRowsSavesNoAlarm() {
        Options().Alarms = {Alarm(7, 0, -1, QStringLiteral("Up"))};
        SaveOptions();
        QCOMPARE(Ini("Alarms", "AlarmsCount"), QStringLiteral("1"));
        frmAlarms list;
        list.lstAlarm()->setCurrentItem(list.Row(0));
        click(list, "PulRem");
        click(list, "PulOk");
        QVERIFY(Options().Alarms.isEmpty());
        QCOMPARE(Ini("Alarms", "AlarmsCount"), QStringLiteral("0"));
        QVERIFY(Ini("Alarm1", "Hour").isEmpty());
    }

    void newEveryAlarmShowsImageTwoWhenReopened() {
        AnsweredList list;
        list.answer = [](frmAlarm& editor) {
            child<QRadioButton>(editor, "SwiEvery")->click();
            child<QPushButton>(editor, "Command1")->click();
        };
        click(list, "PulAdd");
        QCOMPARE(list.Row(0)->Image(), 1);
        click(list, "PulOk");
        frmAlarms reopened;
        QCOMPARE(reopened.Row(0)->Image(), 2);
    }

    void viewSwitching() {
        frmAlarms list;
        QCOMPARE(list.ViewImage(), 1);
        QVERIFY(!list.IsIconView());
        trigger(list, "FView");
        QCOMPARE(list.ViewImage(), 2);
        QVERIFY(list.IsIconView());
        trigger(list, "FView");
        QCOMPARE(list.ViewImage(), 1);
        QVERIFY(!list.IsIconView());
        trigger(list, "V2");
        QCOMPARE(list.ViewImage(), 2);
        trigger(list, "V2");
        QCOMPARE(list.ViewImage(), 2);
        trigger(list, "V1");
        QCOMPARE(list.ViewImage(), 1);
        QVERIFY(!list.IsIconView());
    }

    void columnsAndResizeRules() {
        frmAlarms list;
        const double dpi = list.logicalDpiX();
        QCOMPARE(list.lstAlarm()->headerItem()->text(0), QStringLiteral("Time"));
        QCOMPARE(list.lstAlarm()->headerItem()->text(1), QStringLiteral("Message"));
        QCOMPARE(list.lstAlarm()->columnWidth(0), qRound(1152 * dpi / 1440));
        QCOMPARE(list.lstAlarm()->columnWidth(1), qRound(2880 * dpi / 1440));
        list.show();
        for (const QSize size : {QSize(640, 420), QSize(500, 260)}) {
            list.resize(size);
            QCoreApplication::processEvents();
            const QRect area = list.lstAlarm()->geometry();
            auto* panel = child<QWidget>(list, "Picture1");
            QCOMPARE(area.width(), size.width() - 2 * area.x());
            QCOMPARE(area.y() + area.height(), size.height() - panel->height());
            auto* ok = child<QPushButton>(list, "PulOk");
            auto* cancel = child<QPushButton>(list, "cmdCancel");
            QCOMPARE(cancel->x(), size.width() - (qRound(24 * dpi / 1440) + ok->width()));
            QCOMPARE(ok->x(), cancel->x() - (qRound(48 * dpi / 1440) + ok->width()));
            QCOMPARE(child<QPushButton>(list, "PulAdd")->pos(), QPoint(8, 8));
        }
    }

    void editorFailureShowsTheErrorWindow() {
        Options().Alarms = {Alarm(7, 0, -1, QStringLiteral("Up"))};
        BrokenList list;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* window = qobject_cast<frmError*>(QApplication::activeModalWidget());
            if (!window)
                return;
            shown = child<QPlainTextEdit>(*window, "Text1")->toPlainText();
            child<QPushButton>(*window, "Command1")->click();
        });
        click(list, "PulAdd");
        QCOMPARE(shown, QStringLiteral("Class not registered"));
        QCOMPARE(list.RowCount(), 1);
    }
};

QTEST_MAIN(tst_frmAlarms)
#include "tst_frmAlarms.moc"
