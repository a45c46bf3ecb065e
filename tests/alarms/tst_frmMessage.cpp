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
#include <QtTest>

using namespace AlarmTestFiles;
using TestSupport::child;

namespace {
QList<frmMessage*> openWindows() {
    QList<frmMessage*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<frmMessage*>(w); m && m->isVisible())
            found << m;
    return found;
}

QString shownTime(frmMessage* w) {
    return child<QLabel>(w, "labTime")->text();
}

void click(frmMessage* w, const char* button) {
    QTest::mouseClick(child<QAbstractButton>(w, button), Qt::LeftButton);
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
    KAlarmPtr makeAlarm(int hh, int mm, int bSave, bool sound = false) {
        KAlarmPtr a = alarmAt(hh, mm, bSave, 15);
        a->SwiMsg = true;
        a->Text = "Wake up";
        a->SwiSnd = sound;
        if (sound)
            a->PathSnd = longTone(folder, "long.wav");
        return a;
    }
    // A shown window that deletes itself when closed.
    frmMessage* open(const KAlarmPtr& a) {
        auto* w = new frmMessage;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->SetAlarm(a);
        w->show();
        return w;
    }

private Q_SLOTS:
    void init() {
        folder = TestSupport::scratchFolder("message");
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
        const QString snooze = "  Snooze for";
        QTest::newRow("once") << "07:05" << 0 << "Wake up"
                              << "Wake up" << snooze;
        QTest::newRow("daily, two lines, markup shown as it is")
            << "18:30" << -1 << "<b>Meeting</b>\r\nRoom 4"
            << "<b>Meeting</b>\nRoom 4" << snooze;
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
        const QTime t = QTime::fromString(time, "HH:mm");
        KAlarmPtr a = makeAlarm(t.hour(), t.minute(), bSave);
        a->Text = text;
        frmMessage* w = open(a);
        QCOMPARE(shownTime(w), time);
        QCOMPARE(child<QLabel>(w, "labText")->text(), message);
        QCOMPARE(child<QLabel>(w, "labText")->textFormat(), Qt::PlainText);
        QCOMPARE(child<QLabel>(w, "Label2")->text(), label2);
        // The repeat notice takes the snooze row's place.
        for (const char* name : {"Text1", "UpDown1", "Label3", "Command2"})
            QCOMPARE(child(w, name)->isVisible(), bSave != 1);
        QVERIFY(child(w, "Command1")->isVisible());
    }

    void snoozeCountsFromDueTime() {
        KAlarmPtr a = makeAlarm(7, 30, -1);
        Options().Alarms << a;
        AlarmCheck check; // opens real notification windows
        runClock(check, at(1, 7, 29, 50), at(1, 7, 30, 1));
        QCOMPARE(openWindows().size(), 1);
        QPointer<frmMessage> first = openWindows().first();
        QCOMPARE(shownTime(first), "07:30");

        // Snoozed for 5 minutes at 07:33: the alarm is due again at 07:35, two minutes later.
        runClock(check, at(1, 7, 30, 1), at(1, 7, 33));
        child<QLineEdit>(first, "Text1")->setText("5");
        click(first, "Command2");
        QTRY_VERIFY(first.isNull());
        runClock(check, at(1, 7, 33), at(1, 7, 35));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(1, 7, 35), at(1, 7, 35, 1));
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(shownTime(openWindows().first()), "07:35");
        openWindows().first()->close();

        // A snoozed daily alarm keeps its new time on the following days.
        runClock(check, at(1, 7, 35, 1), at(1, 7, 37));
        runClock(check, at(2, 7, 29), at(2, 7, 34));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(2, 7, 34), at(2, 7, 36));
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(a->DefMM, int16_t(30)); // the file still gets the configured time
    }

    void notAWholeNumberSnoozesNothing() {
        KAlarmPtr a = makeAlarm(7, 30, -1);
        a->Rang = true;
        frmMessage* w = open(a);
        auto* text1 = child<QLineEdit>(w, "Text1");
        text1->setText("soon");
        click(w, "Command2");
        QVERIFY(w->isVisible());
        QVERIFY(text1->property("invalid").toBool());
        QVERIFY(a->Rang);
        QCOMPARE(a->RingMM, int16_t(30));

        // Correcting the field clears the mark, and the snooze then works.
        text1->selectAll();
        QTest::keyClicks(text1, "10");
        QVERIFY(!text1->property("invalid").toBool());
        click(w, "Command2");
        QVERIFY(!w->isVisible());
        QCOMPARE(a->RingMM, int16_t(40));
        QVERIFY(!a->Rang);
    }

    void closingStopsSound_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"Command1", "Command2", "Esc", "close box"})
            QTest::newRow(how) << QString::fromLatin1(how);
    }
    void closingStopsSound() {
        QFETCH(QString, how);
        KAlarmPtr a = makeAlarm(7, 30, -1, true);
        frmMessage* w = open(a);
        QPointer<frmMessage> guard(w);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(w->player() && w->player()->isPlaying());
        if (how.startsWith("Command"))
            click(w, qPrintable(how));
        else if (how == "Esc")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            w->close();
        QVERIFY(!guard.isNull()); // deleted only later, so the player can still be asked
        QVERIFY(!w->isVisible());
        QVERIFY(!w->player()->isPlaying());
        QVERIFY(!w->player()->isInitialized());
        QTRY_VERIFY(guard.isNull());
        QCOMPARE(a->RingMM, int16_t(how == "Command2" ? 35 : 30)); // only Snooze moves it
    }

    void severalWindowsAtOnce() {
        KAlarmPtr first = makeAlarm(7, 30, -1, true);
        Options().Alarms << first << makeAlarm(7, 30, 0, true);
        AlarmCheck check;
        check.CheckAlarms(at(1, 7, 30));
        const QList<frmMessage*> windows = openWindows();
        QCOMPARE(windows.size(), 2);
        QVERIFY(windows[0]->pos() != windows[1]->pos()); // cascaded, neither hides the other
        QVERIFY(windows[0]->player()->isPlaying() && windows[1]->player()->isPlaying());
        // Closing one silences only its own sound.
        const int closing = windows[0]->Alarm == first ? 0 : 1;
        windows[closing]->close();
        QVERIFY(!windows[closing]->player()->isPlaying());
        QVERIFY(windows[1 - closing]->player()->isPlaying());
    }
};

QTEST_MAIN(tst_frmMessage)
#include "tst_frmMessage.moc"
