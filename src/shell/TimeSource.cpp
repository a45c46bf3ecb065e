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

void TimeSource::setFixed(const QDateTime& moment) {
    source() = [moment] { return moment; };
}

void TimeSource::setFunction(std::function<QDateTime()> fn) {
    source() = std::move(fn);
}

void TimeSource::reset() {
    source() = nullptr;
}
