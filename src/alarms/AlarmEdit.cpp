#include "alarms/AlarmEdit.h"

#include <algorithm>

namespace {
constexpr int MinutesLow = 1;
constexpr int MinutesHigh = 120;
} // namespace

std::optional<int32_t> AlarmEdit::WholeMinutes(const QString& text) {
    bool ok = false;
    const int32_t value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

QString AlarmEdit::StepMinutes(const QString& text, int step) {
    const int start = WholeMinutes(text).value_or(MinutesLow - step);
    const qint64 next = qint64(start) + step;
    return QString::number(std::clamp<qint64>(next, MinutesLow, MinutesHigh));
}

QString AlarmEdit::MessageForEditor(const QString& text) {
    QString typed = text;
    typed.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return typed;
}

QString AlarmEdit::MessageFromEditor(const QString& typed) {
    QString text = typed;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

bool AlarmEdit::WriteTo(KAlarm& alarm) const {
    const std::optional<int32_t> minutes = WholeMinutes(minutesText);
    if (!minutes)
        return false;
    alarm.bSave = bSave;
    alarm.HH = alarm.RingHH = alarm.DefHH = int16_t(hour);
    alarm.mm = alarm.RingMM = alarm.DefMM = int16_t(minute);
    alarm.PathPgm = PathPgm;
    alarm.PathSnd = PathSnd;
    alarm.SwiMsg = SwiMsg;
    alarm.SwiPgm = SwiPgm;
    alarm.SwiSnd = SwiSnd;
    alarm.Text = MessageFromEditor(Text);
    alarm.Minutes = *minutes;
    alarm.Rang = false;
    return true;
}
