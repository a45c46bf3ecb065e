#pragma once

#include "alarms/BassPlayer.h"
#include "alarms/KAlarm.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

// The once-a-minute alarm check of the clock window. The window calls CheckAlarms from
// its tick on ticks whose seconds are 0 (or hands every tick's time to Tick, which does
// that test itself). The alarms checked are Options().Alarms.
class AlarmCheck {
public:
    AlarmCheck();
    ~AlarmCheck();
    AlarmCheck(const AlarmCheck&) = delete;
    AlarmCheck& operator=(const AlarmCheck&) = delete;

    // Fires the alarms due in the minute of now (its date is ignored). Refuses to run twice
    // in one minute.
    void CheckAlarms(const QDateTime& now);

    // The tick's part: calls CheckAlarms only when the seconds of now are 0.
    void Tick(const QDateTime& now);

    int16_t LastAlarmMinute = 0; // the check runs once per clock minute

    // Plays alarms that have no notification window; created on first use.
    BassPlayer& AlarmPlayer();

    // What firing does; tests replace these to watch the check.
    std::function<void(const KAlarmPtr&)> openMessage; // default: a new frmMessage, shown
    std::function<void(const QString&)> runProgram;    // default: StartProgram

private:
    void Fire(const KAlarmPtr& alarm);

    std::unique_ptr<BassPlayer> player_;
};

// Starts a command line without a shell (split as a shell would, quotes respected),
// detached in its own process. False when it could not be started.
bool StartProgram(const QString& commandLine);
