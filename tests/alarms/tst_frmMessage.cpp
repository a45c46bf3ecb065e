#include "AlarmTestFiles.h"
#include "TestSupport.h"
#include "alarms/AlarmCheck.h"
#include "alarms/frmMessage.h"
#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace AlarmTestFiles;

namespace {
KAlarmPtr makeAlarm(int hh, int mm, int bSave, int minutes = 0) {
    KAlarmPtr a = alarmAt(hh, mm, bSave, minutes);
    a->SwiMsg = true;
    a->Text = QStringLiteral("Wake up");
    return a;
}

QList<frmMessage*> openWindows() {
    QList<frmMessage*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMessage*>(w); m && m->isVisible())
            found << m;
    return found;
}

template <typename T = QWidget> T* control(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The clock's tick every 200 ms over [from, to), the time read from the program's clock.
void runClock(AlarmCheck& check, const QDateTime& from, const QDateTime& to) {
    for (QDateTime t = from; t < to; t = t.addMSecs(200)) {
        TestSupport::setNow(t);
        check.Tick(TimeSource::now());
    }
}
} // namespace

class tst_frmMessage : public QObject {
    Q_OBJECT

    QString folder;
    // A shown window that deletes itself when closed, playing a long tone when sound is true.
    frmMessage* open(const KAlarmPtr& a, bool sound = false) {
        if (sound) {
            a->SwiSnd = true;
            a->PathSnd = longTone(folder, QStringLiteral("long.wav"));
        }
        auto* w = new frmMessage;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->SetAlarm(a);
        w->show();
        return w;
    }

private Q_SLOTS:
    void init() {
        folder = TestSupport::scratchFolder(QStringLiteral("message"));
        Options().Alarms.clear();
    }
    void cleanup() {
        for (frmMessage* w : openWindows())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Options().Alarms.clear();
        TestSupport::resetNow();
    }

    void showsAlarm_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("bSave");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("label2");
        const QString snooze = QStringLiteral("  Snooze for");
        QTest::newRow("once") << "07:05" << 0 << "Wake up"
                              << "Wake up" << snooze;
        QTest::newRow("daily, two lines") << "18:30" << -1 << "Meeting\r\nRoom 4"
                                          << "Meeting\nRoom 4" << snooze;
        QTest::newRow("markup is shown as it is") << "00:00" << -1 << "<b>bold</b>"
                                                  << "<b>bold</b>" << snooze;
        QTest::newRow("every 15") << "23:50" << 1 << ""
                                  << ""
                                  << "This alarm will be repeated in 15 minute(s).";
    }
    void showsAlarm() {
        QFETCH(QString, time);
        QFETCH(int, bSave);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, label2);
        const QTime t = QTime::fromString(time, QStringLiteral("HH:mm"));
        KAlarmPtr a = makeAlarm(t.hour(), t.minute(), bSave, 15);
        a->Text = text;
        frmMessage* w = open(a);
        QCOMPARE(w->windowTitle(), QStringLiteral("Zintar! - Alarm"));
        QCOMPARE(w->Alarm, a);
        QCOMPARE(control<QLabel>(w, "labTime")->text(), time);
        QCOMPARE(control<QLabel>(w, "labText")->text(), message);
        QCOMPARE(control<QLabel>(w, "labText")->textFormat(), Qt::PlainText);
        QCOMPARE(control<QLabel>(w, "Label2")->text(), label2);
        QVERIFY(control(w, "Label2")->isVisible());
        // The repeat notice takes the snooze row's place.
        for (const char* name : {"Text1", "UpDown1", "Label3", "Command2"})
            QCOMPARE(control(w, name)->isVisible(), bSave != 1);
        QCOMPARE(control<QPushButton>(w, "Command1")->text(), QStringLiteral(" &Close "));
        QVERIFY(control(w, "Command1")->isVisible());
        QCOMPARE(control<QLineEdit>(w, "Text1")->text(), QStringLiteral("5"));
        QCOMPARE(control<QPushButton>(w, "Command2")->text(), QStringLiteral(" Snooze "));
    }

    void snoozeCountsFromDueTime() {
        KAlarmPtr a = makeAlarm(7, 30, -1);
        Options().Alarms << a;
        AlarmCheck check; // opens real notification windows
        runClock(check, at(1, 7, 29, 50), at(1, 7, 30, 1));
        QCOMPARE(openWindows().size(), 1);
        QPointer<frmMessage> first = openWindows().first();
        QCOMPARE(control<QLabel>(first, "labTime")->text(), QStringLiteral("07:30"));

        // Snoozed for 5 minutes at 07:33: the alarm is due again at 07:35, two minutes later.
        runClock(check, at(1, 7, 30, 1), at(1, 7, 33));
        control<QLineEdit>(first, "Text1")->setText(QStringLiteral("5"));
        QTest::mouseClick(control<QPushButton>(first, "Command2"), Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        runClock(check, at(1, 7, 33), at(1, 7, 35));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(1, 7, 35), at(1, 7, 35, 1));
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(control<QLabel>(openWindows().first(), "labTime")->text(),
                 QStringLiteral("07:35"));
        openWindows().first()->close();

        // A snoozed daily alarm keeps its new time on the following days.
        runClock(check, at(1, 7, 35, 1), at(1, 7, 37));
        runClock(check, at(2, 7, 29), at(2, 7, 34));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(2, 7, 34), at(2, 7, 36));
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(a->HH, int16_t(7));
        QCOMPARE(a->DefMM, int16_t(30)); // the file still gets the configured time
    }

    void notAWholeNumberSnoozesNothing() {
        KAlarmPtr a = makeAlarm(7, 30, -1);
        a->Rang = true;
        frmMessage* w = open(a);
        auto* text1 = control<QLineEdit>(w, "Text1");
        text1->setText(QStringLiteral("soon"));
        QTest::mouseClick(control<QPushButton>(w, "Command2"), Qt::LeftButton);
        QVERIFY(w->isVisible());
        QVERIFY(text1->property("invalid").toBool());
        QVERIFY(a->Rang);
        QCOMPARE(a->RingMM, int16_t(30));

        // Correcting the field clears the mark, and the snooze then works.
        text1->selectAll();
        QTest::keyClicks(text1, QStringLiteral("10"));
        QVERIFY(!text1->property("invalid").toBool());
        QTest::mouseClick(control<QPushButton>(w, "Command2"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(a->RingMM, int16_t(40));
        QVERIFY(!a->Rang);
    }

    void upDownStepsWithinRange_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("expected");
        const QByteArray up = "UpDown1Up", down = "UpDown1Down";
        QTest::newRow("up") << "5" << up << "6";
        QTest::newRow("not above 300") << "300" << up << "300";
        QTest::newRow("not below 1") << "1" << down << "1";
        QTest::newRow("typed beyond, back in range") << "1000" << down << "300";
        QTest::newRow("from no number") << "x" << up << "1";
    }
    void upDownStepsWithinRange() {
        QFETCH(QString, start);
        QFETCH(QByteArray, button);
        QFETCH(QString, expected);
        frmMessage* w = open(makeAlarm(7, 30, 0));
        control<QLineEdit>(w, "Text1")->setText(start);
        QTest::mouseClick(control<QToolButton>(w, button.constData()), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(w, "Text1")->text(), expected);
    }

    void closingStopsSound_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Close", "Snooze", "Esc", "Enter", "close box"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void closingStopsSound() {
        QFETCH(QString, how);
        KAlarmPtr a = makeAlarm(7, 30, -1);
        frmMessage* w = open(a, true);
        QPointer<frmMessage> guard(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->player() && w->player()->isPlaying());
        if (how == "Close")
            QTest::mouseClick(control<QPushButton>(w, "Command1"), Qt::LeftButton);
        else if (how == "Snooze")
            QTest::mouseClick(control<QPushButton>(w, "Command2"), Qt::LeftButton);
        else if (how == "Esc")
            QTest::keyClick(w, Qt::Key_Escape);
        else if (how == "Enter")
            QTest::keyClick(control<QLineEdit>(w, "Text1"), Qt::Key_Return);
        else
            w->close();

        QVERIFY(!guard.isNull()); // deleted only later, so the player can still be asked
        QVERIFY(!w->isVisible());
        QVERIFY(!w->player()->isPlaying());
        QVERIFY(!w->player()->isInitialized());
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(a->RingMM, int16_t(how == "Snooze" ? 35 : 30)); // only Snooze moves the alarm
    }

    void soundThatCannotPlayLeavesTheWindowSilent() {
        KAlarmPtr a = makeAlarm(7, 30, -1);
        a->PathSnd = longTone(folder, QStringLiteral("long.wav"));
        QVERIFY(!open(a)->player()); // no sound wanted
        a->SwiSnd = true;
        a->PathSnd = folder + QStringLiteral("/missing.wav");
        frmMessage* w = open(a);
        QVERIFY(w->player() && !w->player()->isPlaying());
        QVERIFY(w->isVisible());
    }

    void onTopAtFirstActivationOnly() {
        frmMessage w;
        w.SetAlarm(makeAlarm(7, 30, -1));
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);

        // Later activations leave the z-order alone.
        w.setWindowFlags(w.windowFlags() & ~Qt::WindowStaysOnTopHint);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
    }

    void severalWindowsAtOnce() {
        KAlarmPtr first = makeAlarm(7, 30, -1);
        KAlarmPtr second = makeAlarm(7, 30, 0);
        for (const KAlarmPtr& a : {first, second}) {
            a->SwiSnd = true;
            a->PathSnd = longTone(folder, QStringLiteral("tone.wav"));
        }
        Options().Alarms << first << second;
        AlarmCheck check;
        check.CheckAlarms(at(1, 7, 30));

        const QList<frmMessage*> windows = openWindows();
        QCOMPARE(windows.size(), 2);
        QVERIFY(windows[0]->pos() != windows[1]->pos()); // cascaded, neither hides the other
        QVERIFY(windows[0]->player()->isPlaying());
        QVERIFY(windows[1]->player()->isPlaying());
        // Closing one silences only its own sound.
        const int closing = windows[0]->Alarm == first ? 0 : 1;
        windows[closing]->close();
        QVERIFY(!windows[closing]->player()->isPlaying());
        QVERIFY(windows[1 - closing]->player()->isPlaying());
    }
};

QTEST_MAIN(tst_frmMessage)
#include "tst_frmMessage.moc"
