#include "alarms/AlarmCheck.h"

#include "alarms/AlarmTime.h"
#include "alarms/frmMessage.h"
#include "settings/KOptions.h"
#include "shell/SessionBus.h"
#include "shell/mdlStartup.h"

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

void AlarmCheck::Tick(const QDateTime& now) {
    if (now.time().second() == 0)
        CheckAlarms(now);
}

void AlarmCheck::CheckAlarms(const QDateTime& now) {
    const QTime time = now.time();
    if (time.minute() == LastAlarmMinute)
        return;
    LastAlarmMinute = int16_t(time.minute());

    // A copy, so a window opened here that changes the collection cannot upset the loop.
    const QList<KAlarmPtr> alarms = Options().Alarms;
    for (const KAlarmPtr& alarm : alarms) {
        if (!alarm)
            continue;
        const bool due = time.hour() == alarm->RingHH && time.minute() == alarm->RingMM;
        if (due) {
            if (!alarm->Rang)
                Fire(alarm);
        } else if (alarm->bSave != 0) {
            alarm->Rang = false;
        }
    }
}

void AlarmCheck::Fire(const KAlarmPtr& alarm) {
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
