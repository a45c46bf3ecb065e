#pragma once

#include <QIcon>

// The pictures of the alarm windows, drawn here so the program carries no image files for
// them. Each icon holds a 16 and a 32 pixel picture.
namespace AlarmIcons {

// Images of the alarm list's rows: 1 a once-only alarm, 2 a saved (repeating) alarm.
// Any other index gives an empty icon.
QIcon ListImage(int index);

enum class Tool { Add, Remove, Edit, ViewList, ViewIcons };
QIcon ToolImage(Tool which);

// The alarm clock drawn at the given edge length, for decoration.
QPixmap Clock(int size);

} // namespace AlarmIcons
