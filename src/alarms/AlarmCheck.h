#pragma once

#include "alarms/BassPlayer.h"
#include "alarms/KAlarm.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>

// The once-a-minute alarm check of the clock window. The window hands the time of the first
// tick of every new minute to Tick, whatever its seconds, so a tick that comes late (a busy
// machine) loses nothing. The alarms checked are Options().Alarms.
//
// Tick follows the wall clock minute by minute. When it moves on by more than one minute
// (suspend and resume, the clock set forward, the hour skipped when daylight saving time
// starts) the alarms due in the minutes passed over fire late, once each, for up to
// MaxCatchUpMinutes; after a longer jump only the new minute is checked. When it goes back
// (the clock set back, the hour repeated when daylight saving time ends) only the new
// minute is checked, and a daily alarm never fires twice for the same date and time.
class AlarmCheck {
public:
    AlarmCheck();
    ~AlarmCheck();
    AlarmCheck(const AlarmCheck&) = delete;
    AlarmCheck& operator=(const AlarmCheck&) = delete;

    // Fires the alarms due in the minute of now (its date is ignored). Refuses to run twice
    // in one minute.
    void CheckAlarms(const QDateTime& now);

    // The tick's part, called at least once in every minute (more often does no harm). The
    // first call checks its minute only when its seconds are 0: an alarm that has just rung
    // does not ring again because the clock was started a moment later.
    void Tick(const QDateTime& now);

    static constexpr int MaxCatchUpMinutes = 12 * 60;

    int16_t LastAlarmMinute = 0; // the check runs once per clock minute

    // Plays alarms that have no notification window; created on first use.
    BassPlayer& AlarmPlayer();

    // What firing does; tests replace these to watch the check.
    std::function<void(const KAlarmPtr&)> openMessage; // default: a new frmMessage, shown
    std::function<void(const QString&)> runProgram;    // default: StartProgram

private:
    // Checks one wall clock minute (a date and a time of day, seconds 0, in no zone).
    // Alarms already in fired are left alone; those that fire are added to it.
    void CheckMinute(const QDateTime& wallMinute, QList<KAlarm*>& fired);
    void Fire(const KAlarmPtr& alarm, const QDateTime& wallMinute);

    QDateTime lastWallMinute_; // the last minute Tick checked or passed; invalid before it ran

    std::unique_ptr<BassPlayer> player_;
};

// Starts a command line without a shell (split as a shell would, quotes respected),
// detached in its own process. False when it could not be started.
bool StartProgram(const QString& commandLine);
