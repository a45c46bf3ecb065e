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

// Fills the editor for 09:05 with a message and a sound, then presses OK.
void addNineOFive(frmAlarm& editor, const char* recurrence = "SwiSave") {
    child<QTimeEdit>(editor, "Time1")->setTime(QTime(9, 5));
    child<QRadioButton>(editor, recurrence)->click();
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

    void rowsShowTheAlarmsAndLetGoOnClose() {
        Options().Alarms = {Alarm(9, 5, 0, QString(53, QLatin1Char('m'))),
                            Alarm(18, 30, -1, QStringLiteral("Go\r\nhome")),
                            Alarm(0, 0, 1, QString(52, QLatin1Char('n')))};
        {
            frmAlarms list;
            QCOMPARE(list.RowCount(), 3);
            const QStringList texts = {"09:05", "18:30", "00:00"};
            const QStringList summaries = {QString(50, QLatin1Char('m')) + "...", "Go home",
                                           QString(52, QLatin1Char('n'))};
            const QList<int> images = {1, 2, 2};
            for (int i = 0; i < 3; ++i) {
                QCOMPARE(list.Row(i)->text(0), texts[i]);
                QCOMPARE(list.Row(i)->text(1), summaries[i]);
                QCOMPARE(list.Row(i)->Image(), images[i]);
                QCOMPARE(Options().Alarms[i]->ListItem, list.Row(i));
            }
        }
        QCOMPARE(Options().Alarms[0]->ListItem, nullptr);
    }

    void addThenOkSaves_data() {
        QTest::addColumn<QString>("recurrence");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("image"); // an every-N alarm gets image 2 once reopened
        QTest::newRow("every day") << QStringLiteral("SwiSave") << QStringLiteral("-1") << 2;
        QTest::newRow("once") << QStringLiteral("Option1") << QStringLiteral("0") << 1;
        QTest::newRow("every N minutes") << QStringLiteral("SwiEvery") << QStringLiteral("1") << 1;
    }
    void addThenOkSaves() {
        QFETCH(QString, recurrence);
        QFETCH(QString, mode);
        QFETCH(int, image);
        AnsweredList list;
        list.answer = [&](frmAlarm& editor) { addNineOFive(editor, qPrintable(recurrence)); };
        click(list, "PulAdd");
        QCOMPARE(list.RowCount(), 1);
        QCOMPARE(list.Row(0)->text(0), QStringLiteral("09:05"));
        QCOMPARE(list.Row(0)->text(1), QStringLiteral("Stand-up Room 4"));
        QCOMPARE(list.Row(0)->Image(), image);
        QCOMPARE(list.Row(0)->Tag()->ListItem, list.Row(0));
        QVERIFY(Options().Alarms.isEmpty()); // only the list's OK puts it there

        click(list, "PulOk");
        QCOMPARE(list.result(), int(QDialog::Accepted));
        QCOMPARE(Options().Alarms, QList<KAlarmPtr>{list.Row(0)->Tag()});
        // A once-only alarm lives until it rings and is not written to the file.
        QCOMPARE(Ini("Alarms", "AlarmsCount"), mode == QLatin1String("0") ? "0" : "1");
        if (mode == QLatin1String("0"))
            return;
        QCOMPARE(Ini("Alarm1", "Hour"), QStringLiteral("9"));
        QCOMPARE(Ini("Alarm1", "Minute"), QStringLiteral("5"));
        QCOMPARE(Ini("Alarm1", "Mode"), mode);
        QCOMPARE(Ini("Alarm1", "Message"), QStringLiteral("Stand-up§Room 4"));
        QCOMPARE(Ini("Alarm1", "Sound"), QStringLiteral("/usr/share/sounds/bell.oga"));
    }

    void cancelKeepsTheOldCollection_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("escape");
        QTest::newRow("toolbar add, Cancel") << QStringLiteral("FAdd") << false;
        QTest::newRow("remove, Cancel") << QStringLiteral("PulRem") << false;
        QTest::newRow("toolbar remove, Esc") << QStringLiteral("FRem") << true;
    }
    void cancelKeepsTheOldCollection() {
        QFETCH(QString, change);
        QFETCH(bool, escape);
        const QList<KAlarmPtr> before = {Alarm(7, 0, -1, QStringLiteral("Up")),
                                         Alarm(8, 30, 1, QStringLiteral("Water"))};
        Options().Alarms = before;
        SaveOptions();
        const QByteArray file = TestSupport::readFile(Options().FilePath());
        {
            AnsweredList list;
            list.show();
            list.answer = [](frmAlarm& editor) { addNineOFive(editor); };
            list.lstAlarm()->setCurrentItem(list.Row(0));
            if (change.startsWith('F'))
                trigger(list, qPrintable(change));
            else
                click(list, qPrintable(change));
            QCOMPARE(list.RowCount(), change == QLatin1String("FAdd") ? 3 : 1);
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
            QCOMPARE(child<QTimeEdit>(editor, "Time1")->time(), QTime(8, 30));
            child<QTimeEdit>(editor, "Time1")->setTime(QTime(9, 5));
            child<QPlainTextEdit>(editor, "Text1")->setPlainText(QStringLiteral("More\nwater"));
            child<QPushButton>(editor, "Command1")->click();
        };
        QAbstractItemView* view = list.lstAlarm();
        QRect rect = list.lstAlarm()->visualItemRect(list.Row(1));
        if (how == QLatin1String("FEdit")) {
            list.lstAlarm()->setCurrentItem(list.Row(1));
            trigger(list, "FEdit");
        } else {
            if (how == QLatin1String("icons")) {
                trigger(list, "V2");
                QVERIFY(list.IsIconView());
                view = child<QListView>(list, "lstAlarmIcons");
                rect = view->visualRect(view->model()->index(1, 0));
            }
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, rect.center());
        }
        QVERIFY(list.editorsShown >= 1);
        QCOMPARE(list.Row(1)->text(0), QStringLiteral("09:05"));
        QCOMPARE(list.Row(1)->text(1), QStringLiteral("More water"));
        // The shared object changed before the list's OK; Cancel does not undo it.
        click(list, "cmdCancel");
        QCOMPARE(Options().Alarms, (QList<KAlarmPtr>{first, second}));
        QCOMPARE(second->HH, int16_t(9));
        QCOMPARE(second->Text, QStringLiteral("More\r\nwater"));
    }

    void editOrRemoveWithoutSelectionDoNothing() {
        Options().Alarms = {Alarm(7, 0, -1, QStringLiteral("Up"))};
        AnsweredList list;
        list.lstAlarm()->clearSelection();
        trigger(list, "FEdit");
        QCOMPARE(list.editorsShown, 0);
        click(list, "PulRem");
        QCOMPARE(list.RowCount(), 1);
    }

    void okSavesTheRowsInOrderAndNoStaleAlarm() {
        const KAlarmPtr a = Alarm(7, 0, -1, QStringLiteral("a"));
        Options().Alarms = {a, Alarm(8, 0, -1, QStringLiteral("b")),
                            Alarm(9, 0, 0, QStringLiteral("c"))};
        SaveOptions();
        AnsweredList list;
        list.answer = [](frmAlarm& editor) { addNineOFive(editor); };
        for (int i = 0; i < 2; ++i) {
            list.lstAlarm()->setCurrentItem(list.Row(1));
            click(list, "PulRem");
        }
        click(list, "PulAdd");
        const KAlarmPtr added = list.Row(1)->Tag();
        click(list, "PulOk");
        QCOMPARE(Options().Alarms, (QList<KAlarmPtr>{a, added}));
        QCOMPARE(Ini("Alarms", "AlarmsCount"), QStringLiteral("2"));
        QCOMPARE(Ini("Alarm2", "Message"), QStringLiteral("Stand-up§Room 4"));
        QVERIFY(Ini("Alarm3", "Hour").isEmpty());
    }

    void columnsAndResizeRules() {
        frmAlarms list;
        const double dpi = list.logicalDpiX();
        QCOMPARE(list.lstAlarm()->columnWidth(0), qRound(1152 * dpi / 1440));
        QCOMPARE(list.lstAlarm()->columnWidth(1), qRound(2880 * dpi / 1440));
        list.show();
        auto* ok = child<QPushButton>(list, "PulOk");
        auto* cancel = child<QPushButton>(list, "cmdCancel");
        for (const QSize size : {QSize(640, 420), QSize(500, 260)}) {
            list.resize(size);
            QCoreApplication::processEvents();
            const QRect area = list.lstAlarm()->geometry();
            QCOMPARE(area.width(), size.width() - 2 * area.x());
            QCOMPARE(area.bottom() + 1, size.height() - child<QWidget>(list, "Picture1")->height());
            QCOMPARE(cancel->x(), size.width() - (qRound(24 * dpi / 1440) + ok->width()));
            QCOMPARE(ok->x(), cancel->x() - (qRound(48 * dpi / 1440) + ok->width()));
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
