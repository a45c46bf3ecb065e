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

class tst_frmMessage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void showsAlarm_data();
    void showsAlarm();
    void snoozeCountsFromDueTime();
    void notAWholeNumberSnoozesNothing_data();
    void notAWholeNumberSnoozesNothing();
    void upDownStepsWithinRange_data();
    void upDownStepsWithinRange();
    void closingStopsSound_data();
    void closingStopsSound();
    void sound_data();
    void sound();
    void onTopAtFirstActivationOnly();
    void severalWindowsAtOnce();

private:
    QString folder;
};

namespace {
const QDate Day1(2026, 3, 2);

QDateTime at(int day, int hh, int mm, int ss = 0) {
    return QDateTime(Day1.addDays(day - 1), QTime(hh, mm, ss), Qt::UTC);
}

KAlarmPtr makeAlarm(int hh, int mm, int bSave, int minutes = 0) {
    auto a = std::make_shared<KAlarm>();
    a->HH = a->RingHH = a->DefHH = int16_t(hh);
    a->mm = a->RingMM = a->DefMM = int16_t(mm);
    a->bSave = int16_t(bSave);
    a->Minutes = minutes;
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

template <typename T> T* control(QWidget* window, const char* name) {
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

void tst_frmMessage::init() {
    folder = TestSupport::scratchFolder(QStringLiteral("message"));
    Options().Alarms.clear();
}

void tst_frmMessage::cleanup() {
    for (frmMessage* w : openWindows())
        w->close();
    qDeleteAll(openWindows());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Options().Alarms.clear();
    TestSupport::resetNow();
}

void tst_frmMessage::showsAlarm_data() {
    QTest::addColumn<int>("hh");
    QTest::addColumn<int>("mm");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bSave");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<bool>("snoozeRow");

    const QString snoozeFor = QStringLiteral("  Snooze for");
    QTest::newRow("once") << 7 << 5 << "Wake up" << 0 << 0 << "07:05"
                          << "Wake up" << snoozeFor << true;
    QTest::newRow("daily, two lines") << 18 << 30 << "Meeting\r\nRoom 4" << -1 << 0 << "18:30"
                                      << "Meeting\nRoom 4" << snoozeFor << true;
    QTest::newRow("markup is shown as it is") << 0 << 0 << "<b>bold</b>" << -1 << 0 << "00:00"
                                              << "<b>bold</b>" << snoozeFor << true;
    QTest::newRow("every 15") << 23 << 50 << "" << 1 << 15 << "23:50"
                              << ""
                              << "This alarm will be repeated in 15 minute(s)." << false;
}

void tst_frmMessage::showsAlarm() {
    QFETCH(int, hh);
    QFETCH(int, mm);
    QFETCH(QString, text);
    QFETCH(int, bSave);
    QFETCH(int, minutes);
    QFETCH(QString, time);
    QFETCH(QString, message);
    QFETCH(QString, label2);
    QFETCH(bool, snoozeRow);

    KAlarmPtr a = makeAlarm(hh, mm, bSave, minutes);
    a->Text = text;
    frmMessage w;
    w.SetAlarm(a);
    w.show();
    QCOMPARE(w.windowTitle(), QStringLiteral("Zintar! - Alarm"));
    QCOMPARE(w.Alarm, a);
    QCOMPARE(control<QLabel>(&w, "labTime")->text(), time);
    auto* labText = control<QLabel>(&w, "labText");
    QCOMPARE(labText->text(), message);
    QCOMPARE(labText->textFormat(), Qt::PlainText);
    QCOMPARE(control<QLabel>(&w, "Label2")->text(), label2);
    QVERIFY(control<QLabel>(&w, "Label2")->isVisible());
    for (const char* name : {"Text1", "UpDown1", "Label3", "Command2"})
        QCOMPARE(control<QWidget>(&w, name)->isVisible(), snoozeRow);
    QVERIFY(control<QPushButton>(&w, "Command1")->isVisible());
    QCOMPARE(control<QPushButton>(&w, "Command1")->text(), QStringLiteral(" &Close "));
    if (snoozeRow) {
        QCOMPARE(control<QLineEdit>(&w, "Text1")->text(), QStringLiteral("5"));
        QCOMPARE(control<QPushButton>(&w, "Command2")->text(), QStringLiteral(" Snooze "));
    }
}

void tst_frmMessage::snoozeCountsFromDueTime() {
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
    QCOMPARE(control<QLabel>(openWindows().first(), "labTime")->text(), QStringLiteral("07:35"));
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

void tst_frmMessage::notAWholeNumberSnoozesNothing_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "soon";
    QTest::newRow("too large") << "99999";
}

void tst_frmMessage::notAWholeNumberSnoozesNothing() {
    QFETCH(QString, text);
    KAlarmPtr a = makeAlarm(7, 30, -1);
    a->Rang = true;
    frmMessage w;
    w.SetAlarm(a);
    w.show();
    auto* text1 = control<QLineEdit>(&w, "Text1");
    text1->setText(text);
    QTest::mouseClick(control<QPushButton>(&w, "Command2"), Qt::LeftButton);
    QVERIFY(w.isVisible());
    QVERIFY(text1->property("invalid").toBool());
    QVERIFY(!text1->styleSheet().isEmpty());
    QVERIFY(a->Rang);
    QCOMPARE(a->RingMM, int16_t(30));

    // Correcting the field clears the mark, and the snooze then works.
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("10"));
    QVERIFY(!text1->property("invalid").toBool());
    QVERIFY(text1->styleSheet().isEmpty());
    QTest::mouseClick(control<QPushButton>(&w, "Command2"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(a->RingMM, int16_t(40));
    QVERIFY(!a->Rang);
}

void tst_frmMessage::upDownStepsWithinRange_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("up") << "5"
                        << "UpDown1Up"
                        << "6";
    QTest::newRow("down") << "5"
                          << "UpDown1Down"
                          << "4";
    QTest::newRow("not above 300") << "300"
                                   << "UpDown1Up"
                                   << "300";
    QTest::newRow("not below 1") << "1"
                                 << "UpDown1Down"
                                 << "1";
    QTest::newRow("typed beyond, back in range") << "1000"
                                                 << "UpDown1Down"
                                                 << "300";
    QTest::newRow("from no number") << "x"
                                    << "UpDown1Up"
                                    << "1";
}

void tst_frmMessage::upDownStepsWithinRange() {
    QFETCH(QString, start);
    QFETCH(QString, button);
    QFETCH(QString, expected);
    frmMessage w;
    w.SetAlarm(makeAlarm(7, 30, 0));
    w.show();
    control<QLineEdit>(&w, "Text1")->setText(start);
    QTest::mouseClick(control<QToolButton>(&w, button.toLatin1().constData()), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(&w, "Text1")->text(), expected);
}

void tst_frmMessage::closingStopsSound_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Close") << "Close";
    QTest::newRow("Snooze") << "Snooze";
    QTest::newRow("Esc") << "Esc";
    QTest::newRow("Enter") << "Enter";
    QTest::newRow("close box") << "close box";
}

void tst_frmMessage::closingStopsSound() {
    QFETCH(QString, how);
    KAlarmPtr a = makeAlarm(7, 30, -1);
    a->SwiSnd = true;
    a->PathSnd = AlarmTestFiles::longTone(folder, QStringLiteral("long.wav"));
    auto* w = new frmMessage;
    w->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmMessage> guard(w);
    w->SetAlarm(a);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QVERIFY(w->player() && w->player()->isPlaying());

    if (how == QLatin1String("Close"))
        QTest::mouseClick(control<QPushButton>(w, "Command1"), Qt::LeftButton);
    else if (how == QLatin1String("Snooze"))
        QTest::mouseClick(control<QPushButton>(w, "Command2"), Qt::LeftButton);
    else if (how == QLatin1String("Esc"))
        QTest::keyClick(w, Qt::Key_Escape);
    else if (how == QLatin1String("Enter"))
        QTest::keyClick(control<QLineEdit>(w, "Text1"), Qt::Key_Return);
    else
        w->close();

    QVERIFY(!guard.isNull()); // deleted only later, so the player can still be asked
    QVERIFY(!w->isVisible());
    QVERIFY(!w->player()->isPlaying());
    QVERIFY(!w->player()->isInitialized());
    QTRY_VERIFY(guard.isNull());
    // Only Snooze changes the alarm.
    QCOMPARE(a->RingMM, int16_t(how == QLatin1String("Snooze") ? 35 : 30));
}

void tst_frmMessage::sound_data() {
    QTest::addColumn<bool>("swiSnd");
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("hasPlayer");
    QTest::addColumn<bool>("playing");
    QTest::newRow("sound") << true << "long.wav" << true << true;
    QTest::newRow("no sound wanted") << false << "long.wav" << false << false;
    QTest::newRow("missing file") << true << "missing.wav" << true << false;
    QTest::newRow("empty file") << true << "empty.wav" << true << false;
    QTest::newRow("no file named") << true << "" << true << false;
}

void tst_frmMessage::sound() {
    QFETCH(bool, swiSnd);
    QFETCH(QString, file);
    QFETCH(bool, hasPlayer);
    QFETCH(bool, playing);
    AlarmTestFiles::longTone(folder, QStringLiteral("long.wav"));
    TestSupport::writeFile(folder + QStringLiteral("/empty.wav"), QByteArray());
    KAlarmPtr a = makeAlarm(7, 30, -1);
    a->SwiSnd = swiSnd;
    a->PathSnd = file.isEmpty() ? QString() : folder + QLatin1Char('/') + file;
    frmMessage w;
    w.SetAlarm(a);
    w.show();
    QCOMPARE(w.player() != nullptr, hasPlayer);
    if (w.player())
        QCOMPARE(w.player()->isPlaying(), playing);
    QVERIFY(w.isVisible()); // a sound that cannot play leaves the window silent, nothing more
}

void tst_frmMessage::onTopAtFirstActivationOnly() {
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

void tst_frmMessage::severalWindowsAtOnce() {
    KAlarmPtr first = makeAlarm(7, 30, -1);
    first->SwiSnd = true;
    first->PathSnd = AlarmTestFiles::longTone(folder, QStringLiteral("first.wav"));
    KAlarmPtr second = makeAlarm(7, 30, 0);
    second->SwiSnd = true;
    second->PathSnd = AlarmTestFiles::longTone(folder, QStringLiteral("second.wav"));
    Options().Alarms << first << second;
    AlarmCheck check;
    check.CheckAlarms(at(1, 7, 30));

    const QList<frmMessage*> windows = openWindows();
    QCOMPARE(windows.size(), 2);
    QVERIFY(windows[0]->pos() != windows[1]->pos()); // cascaded, neither hides the other
    QVERIFY(windows[0]->player()->isPlaying());
    QVERIFY(windows[1]->player()->isPlaying());
    // Closing one silences only its own sound.
    frmMessage* closing = windows[0]->Alarm == first ? windows[0] : windows[1];
    frmMessage* staying = closing == windows[0] ? windows[1] : windows[0];
    closing->close();
    QVERIFY(!closing->player()->isPlaying());
    QVERIFY(staying->player()->isPlaying());
}

QTEST_MAIN(tst_frmMessage)
#include "tst_frmMessage.moc"
