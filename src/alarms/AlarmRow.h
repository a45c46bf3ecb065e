#pragma once

#include "alarms/KAlarm.h"

#include <QString>
#include <QTreeWidgetItem>
#include <cstdint>

// What one row of the alarm list shows, shared by the list window and the editor.
namespace AlarmRow {

// The message on one line: line breaks become spaces; a text of more than 52 characters
// is cut to its first 50 followed by "...".
QString Summary(const QString& message);

// "09:05": hour and minute with at least two digits each.
QString TimeText(int hour, int minute);

// List image of an alarm: 2 for one that is saved (every day, every N minutes), 1 for a
// once-only alarm.
int ImageIndex(int16_t bSave);

} // namespace AlarmRow

// One row of the alarm list ("Time", "Message"). Keeps its alarm as its tag; the alarm's
// ListItem points back at the row while the row exists.
class AlarmListRow : public QTreeWidgetItem {
public:
    AlarmListRow(const KAlarmPtr& tag, const QString& text, const QString& summary, int image);
    ~AlarmListRow() override;

    // A row for an alarm as the list shows it when it opens.
    static AlarmListRow* ForAlarm(const KAlarmPtr& alarm);

    KAlarmPtr Tag() const { return tag; }
    int Image() const { return image; }
    void SetImage(int index);

private:
    KAlarmPtr tag;
    int image = 1;
};
