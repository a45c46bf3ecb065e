#include "alarms/AlarmCheck.h"

#include "alarms/AlarmTime.h"
#include "alarms/frmMessage.h"
#include "settings/KOptions.h"
#include "shell/SessionBus.h"
#include "shell/mdlStartup.h"

#include <QApplication>
#include <QProcess>
#include <QStringList>

namespace {

// Every step of firing is on its own: whatever goes wrong in one (a program that cannot
// start, a window that cannot be made, a sound that cannot play) is dropped silently and
// the next step still runs.
template <typename Step> void ignoringErrors(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

void showMessage(const KAlarmPtr& alarm) {
    auto* window = new frmMessage;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->SetAlarm(alarm);
    // While a modal window of the clock is open (the alarm list, the editor, a message), a
    // window shown beside it would take no clicks until it closes. The notification is then
    // modal itself: above that window, taking the clicks and the keyboard until it closes.
    if (QApplication::activeModalWidget())
        window->setWindowModality(Qt::ApplicationModal);
    window->show();
    // Asks for the focus, as a newly shown window gets it; its first activation puts it on top.
    window->raise();
    window->activateWindow();
}

} // namespace

AlarmCheck::AlarmCheck()
    : openMessage(showMessage), runProgram([](const QString& line) { StartProgram(line); }) {}

AlarmCheck::~AlarmCheck() = default;

BassPlayer& AlarmCheck::AlarmPlayer() {
    if (!player_)
        player_ = std::make_unique<BassPlayer>();
    return *player_;
}

namespace {
QDateTime WallMinute(const QDateTime& now) {
    const QTime t = now.time();
    return QDateTime(now.date(), QTime(t.hour(), t.minute()), Qt::UTC);
}
} // namespace

void AlarmCheck::Tick(const QDateTime& now) {
    const QDateTime minute = WallMinute(now);
    if (!lastWallMinute_.isValid()) {
        lastWallMinute_ = minute;
        if (now.time().second() == 0)
            CheckAlarms(now);
        else
            LastAlarmMinute = int16_t(minute.time().minute());
        return;
    }
    if (minute == lastWallMinute_)
        return;
    const int64_t passed = lastWallMinute_.secsTo(minute) / 60;
    QList<KAlarm*> fired;
    if (passed > 1 && passed <= MaxCatchUpMinutes)
        for (int64_t i = 1; i < passed; ++i)
            CheckMinute(lastWallMinute_.addSecs(60 * i), fired);
    // An alarm that repeats every few minutes rang once for all the minutes passed over; it
    // rings next at its first due time after this minute, not a day later.
    for (KAlarm* alarm : std::as_const(fired)) {
        if (alarm->bSave != 1 || alarm->Minutes <= 0)
            continue;
        for (QDateTime next = alarm->LastFired.addSecs(60 * int64_t(alarm->Minutes));
             next <= minute; next = next.addSecs(60 * int64_t(alarm->Minutes)))
            MoveRingTime(*alarm, alarm->Minutes);
    }
    lastWallMinute_ = minute;
    LastAlarmMinute = int16_t(minute.time().minute());
    CheckMinute(minute, fired);
}

void AlarmCheck::CheckAlarms(const QDateTime& now) {
    const QTime time = now.time();
    if (time.minute() == LastAlarmMinute)
        return;
    LastAlarmMinute = int16_t(time.minute());
    QList<KAlarm*> fired;
    CheckMinute(WallMinute(now), fired);
}

void AlarmCheck::CheckMinute(const QDateTime& wallMinute, QList<KAlarm*>& fired) {
    const QTime time = wallMinute.time();
    // A copy, so a window opened here that changes the collection cannot upset the loop.
    const QList<KAlarmPtr> alarms = Options().Alarms;
    for (const KAlarmPtr& alarm : alarms) {
        if (!alarm)
            continue;
        const bool due = time.hour() == alarm->RingHH && time.minute() == alarm->RingMM;
        if (due) {
            const bool again = alarm->bSave == -1 && alarm->LastFired == wallMinute;
            if (!alarm->Rang && !again && !fired.contains(alarm.get())) {
                fired.append(alarm.get());
                Fire(alarm, wallMinute);
            }
        } else if (alarm->bSave != 0) {
            alarm->Rang = false;
        }
    }
}

void AlarmCheck::Fire(const KAlarmPtr& alarm, const QDateTime& wallMinute) {
    alarm->LastFired = wallMinute;
    if (alarm->SwiPgm)
        ignoringErrors([&] { runProgram(alarm->PathPgm); });
    if (alarm->SwiMsg) {
        // The window plays the sound itself; it shows the due time that has just come,
        // since the repeat step below runs after it.
        ignoringErrors([&] { openMessage(alarm); });
    } else if (alarm->SwiSnd) {
        ignoringErrors([&] {
            BassPlayer& player = AlarmPlayer();
            if (!player.isInitialized())
                player.Init(); // tried again at each later alarm while it fails
            if (player.isPlaying())
                player.Stop_();
            player.Start(alarm->PathSnd);
        });
    }
    if (alarm->bSave == 1)
        MoveRingTime(*alarm, alarm->Minutes);
    else
        alarm->Rang = true;
}

bool StartProgram(const QString& commandLine) {
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return false;
    QProcess process;
    process.setProgram(LocalPath(args.takeFirst()));
    process.setArguments(args);
    process.setProcessEnvironment(SessionBus::ChildEnvironment());
    return process.startDetached();
}
