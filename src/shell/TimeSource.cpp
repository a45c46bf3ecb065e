#include "shell/TimeSource.h"

#if defined(Q_OS_UNIX)
#include <ctime>
#endif

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> fn;
    return fn;
}

// The tick reads the time once a second for as long as the program runs. On Unix it asks the
// C library directly, which costs the same and keeps Qt's date and time zone code out of the
// pages a tick touches; both read the same system clock and zone.
#if defined(Q_OS_UNIX)
qint64 utcMs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1'000'000;
}

qint64 localOffsetMs(qint64 ms) {
    const time_t seconds = time_t(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    tm local{};
    if (!localtime_r(&seconds, &local))
        return 0;
    return qint64(local.tm_gmtoff) * 1000;
}
#else
qint64 utcMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

qint64 localOffsetMs(qint64 ms) {
    return qint64(QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc()) * 1000;
}
#endif
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
    const qint64 ms = utcMs();
    const qint64 minute = ms >= 0 ? ms / MsPerMinute : -1;
    if (minute != minuteAsked || minute < 0) {
        offsetMs = localOffsetMs(ms);
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
