#include "shell/TimeSource.h"

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> fn;
    return fn;
}
} // namespace

QDateTime TimeSource::now() {
    const auto& fn = source();
    return fn ? fn() : QDateTime::currentDateTime();
}

QTime TimeSource::timeOfDay() {
    if (const auto& fn = source())
        return fn().time();
    constexpr qint64 MsPerMinute = 60'000, MsPerDay = 86'400'000;
    static qint64 minuteAsked = -1; // UTC minute whose offset offsetMs holds; -1: none yet
    static qint64 offsetMs = 0;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = ms >= 0 ? ms / MsPerMinute : -1;
    if (minute != minuteAsked || minute < 0) {
        offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc()) * 1000;
        minuteAsked = minute;
    }
    const qint64 local = ((ms + offsetMs) % MsPerDay + MsPerDay) % MsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(local));
}

void TimeSource::setFixed(const QDateTime& moment) {
    source() = [moment] { return moment; };
}

void TimeSource::setFunction(std::function<QDateTime()> fn) {
    source() = std::move(fn);
}

void TimeSource::reset() {
    source() = nullptr;
}
