#include "alarms/AlarmRow.h"

#include "alarms/AlarmIcons.h"

namespace AlarmRow {

QString Summary(const QString& message) {
    QString line = message;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    // A lone CR or LF (typed on this system) would break the row as well.
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (line.size() > 52)
        return line.left(50) + QStringLiteral("...");
    return line;
}

QString TimeText(int hour, int minute) {
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

int ImageIndex(int16_t bSave) {
    return bSave != 0 ? 2 : 1;
}

} // namespace AlarmRow

AlarmListRow::AlarmListRow(const KAlarmPtr& tag_, const QString& text, const QString& summary,
                           int image_)
    : tag(tag_) {
    setText(0, text);
    setText(1, summary);
    SetImage(image_);
    if (tag)
        tag->ListItem = this;
}

AlarmListRow::~AlarmListRow() {
    // The alarm outlives its row (it is shared); it must not point at freed memory.
    if (tag && tag->ListItem == this)
        tag->ListItem = nullptr;
}

AlarmListRow* AlarmListRow::ForAlarm(const KAlarmPtr& alarm) {
    return new AlarmListRow(alarm, AlarmRow::TimeText(alarm->HH, alarm->mm),
                            AlarmRow::Summary(alarm->Text), AlarmRow::ImageIndex(alarm->bSave));
}

void AlarmListRow::SetImage(int index) {
    image = index;
    setIcon(0, AlarmIcons::ListImage(index));
}
