#include "alarms/AlarmTime.h"

#include <limits>

void MoveRingTime(KAlarm& alarm, int64_t minutes) {
    WrapTimeOfDay(int64_t(alarm.RingHH) * 60 + alarm.RingMM + minutes, alarm.RingHH, alarm.RingMM);
}

QString RingTimeText(const KAlarm& alarm) {
    return QStringLiteral("%1:%2")
        .arg(alarm.RingHH, 2, 10, QLatin1Char('0'))
        .arg(alarm.RingMM, 2, 10, QLatin1Char('0'));
}

QString RepeatNotice(int32_t minutes) {
    return QStringLiteral("This alarm will be repeated in ") + QString::number(minutes) +
           QStringLiteral(" minute(s).");
}

std::optional<int16_t> SnoozeMinutes(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < std::numeric_limits<int16_t>::min() ||
        value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return int16_t(value);
}

bool Snooze(KAlarm& alarm, const QString& minutesText) {
    const std::optional<int16_t> minutes = SnoozeMinutes(minutesText);
    if (!minutes)
        return false;
    MoveRingTime(alarm, *minutes);
    alarm.Rang = false;
    return true;
}
