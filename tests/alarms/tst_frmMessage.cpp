#include "AlarmTestFiles.h"
#include "alarms/AlarmCheck.h"
#include "alarms/frmMessage.h"
#include "settings/KOptions.h"
#include "shell/TimeSource.h"
#include "shell/mdlStartup.h"

#include <QtTest>
#include <QtWidgets>

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
QString shown(frmMessage* w, const char* label = "labTime") {
    return child<QLabel>(w, label)->text();
}
void click(frmMessage* w, const QString& button) {
    QTest::mouseClick(child<QAbstractButton>(w, button), Qt::LeftButton);
}
// The clock's tick every 200 ms over [from, to).
void runClock(AlarmCheck& check, const QDateTime& from, const QDateTime& to) {
    for (QDateTime t = from; t < to; t = t.addMSecs(200)) {
        TestSupport::setNow(t);
        check.Tick(TimeSource::now());
    }
}
} // namespace

class tst_frmMessage : public QObject {
    Q_OBJECT

    const QString tone = longTone(TestSupport::scratchFolder("message") + "/long.wav");

private Q_SLOTS:
    void cleanup() {
        for (frmMessage* w : openWindows())
            w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Options().Alarms.clear();
        TestSupport::resetNow();
    }

    void snoozeCountsFromTheDueTime() {
        KAlarmPtr a = alarmAt(7, 30, -1);
        a->SwiMsg = true;
        Options().Alarms << a;
        AlarmCheck check; // opens real notification windows
        runClock(check, at(1, 7, 29, 50), at(1, 7, 33));
        QCOMPARE(openWindows().size(), 1);
        QPointer<frmMessage> first = openWindows().first();
        QCOMPARE(shown(first), "07:30");
        // Not a whole number: nothing happens but a mark on the field, which typing clears.
        auto* text1 = child<QLineEdit>(first, "Text1");
        text1->setText("5.5");
        click(first, "Command2");
        QVERIFY(first->isVisible() && text1->property("invalid").toBool() && a->RingMM == 30);
        text1->clear();
        QTest::keyClicks(text1, "5");
        QVERIFY(!text1->property("invalid").toBool());
        // Snoozed for 5 minutes at 07:33: due again at 07:35, two minutes later.
        click(first, "Command2");
        QTRY_VERIFY(first.isNull());
        runClock(check, at(1, 7, 33), at(1, 7, 35));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(1, 7, 35), at(1, 7, 37));
        QCOMPARE(openWindows().size(), 1);
        QCOMPARE(shown(openWindows().first()), "07:35");
        openWindows().first()->close();
        // A snoozed daily alarm keeps its new time on the following days, not in the file.
        runClock(check, at(2, 7, 29), at(2, 7, 34));
        QVERIFY(openWindows().isEmpty());
        runClock(check, at(2, 7, 34), at(2, 7, 36));
        QCOMPARE(openWindows().size(), 1);
        QByteArray saved;
        a->Save(saved);
        QVERIFY(saved.contains("\r\nHour=7\r\nMinute=30\r\n"));
    }

    // Several windows at once, each showing its alarm and playing its sound; each way of
    // closing one stops its own sound only.
    void windowsShowAndCloseOnTheirOwn() {
        const int bSave[] = {0, -1, 1, -1};
        const QString texts[] = {"Wake up", "<b>Go</b>\r\nnow", "", "x"};
        QList<QPointer<frmMessage>> windows;
        for (int i = 0; i < 4; ++i) {
            KAlarmPtr a = alarmAt(7, 5, bSave[i], 15);
            a->SwiSnd = true;
            a->PathSnd = tone;
            a->Text = texts[i];
            windows << new frmMessage;
            windows[i]->setAttribute(Qt::WA_DeleteOnClose);
            windows[i]->SetAlarm(a);
            windows[i]->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(windows[3]));
        QVERIFY(windows[0]->pos() != windows[1]->pos()); // neither hides the other
        for (int i = 0; i < 4; ++i) {
            frmMessage* w = windows[i];
            const KAlarmPtr a = w->Alarm;
            QCOMPARE(shown(w), "07:05");
            QCOMPARE(shown(w, "labText"), QString(texts[i]).replace("\r\n", "\n"));
            QCOMPARE(child<QLabel>(w, "labText")->textFormat(), Qt::PlainText);
            QCOMPARE(shown(w, "Label2"),
                     i == 2 ? "This alarm will be repeated in 15 minute(s)." : "  Snooze for");
            for (const char* name : {"Text1", "UpDown1", "Label3", "Command2"})
                QCOMPARE(child(w, name)->isVisible(), i != 2); // the repeat notice's place
            QVERIFY(w->player()->isPlaying() && windows[3]->player()->isPlaying());
            if (i < 2)
                click(w, i == 0 ? "Command1" : "Command2");
            else if (i == 2)
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->close();
            QVERIFY(!w->isVisible() && !w->player()->isInitialized());
            QCOMPARE(a->RingMM, int16_t(i == 1 ? 10 : 5)); // only Snooze moves it
        }
        QTRY_VERIFY(windows[0].isNull() && windows[3].isNull());
    }
};

QTEST_MAIN(tst_frmMessage)
#include "tst_frmMessage.moc"
