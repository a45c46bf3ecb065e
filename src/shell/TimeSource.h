#pragma once

#include <QDateTime>
#include <functional>

// The one clock every part of the program reads. The system clock by default; tests
// replace it to drive ticks, alarms and frames to any moment without waiting.
class TimeSource {
public:
    static QDateTime now();
    // now().time(), read more cheaply: the local offset from UTC is looked up again only when
    // the minute changes (zones change their offset on whole minutes). For the clock's tick.
    static QTime timeOfDay();

    // Every later now() returns this moment until another set or reset.
    static void setFixed(const QDateTime& moment);
    // Every later now() asks this function.
    static void setFunction(std::function<QDateTime()> source);
    // Back to the system clock.
    static void reset();
};
