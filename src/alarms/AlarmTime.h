#pragma once

#include "alarms/KAlarm.h"

#include <QString>
#include <cstdint>
#include <optional>

// Time-of-day arithmetic of the alarm check and the notification window. Alarms have no
// date: adding minutes wraps past midnight and keeps only the hour and the minute.

// Moves the alarm's due time (RingHH:RingMM) by the given minutes, which may be negative.
void MoveRingTime(KAlarm& alarm, int64_t minutes);

// The due time as the notification window shows it: "07:05".
QString RingTimeText(const KAlarm& alarm);

// The text that replaces the snooze row of an alarm that repeats by itself.
QString RepeatNotice(int32_t minutes);

// The snooze field's text as a 16-bit whole number (blanks around it allowed); nothing when
// the text is empty, not a whole number or out of range.
std::optional<int16_t> SnoozeMinutes(const QString& text);

// Snooze: counted from the due time, not from now, and clears Rang so the alarm rings again.
// False, and the alarm untouched, when the text holds no whole number.
bool Snooze(KAlarm& alarm, const QString& minutesText);
