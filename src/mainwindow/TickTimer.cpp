#include "mainwindow/TickTimer.h"

#include <QTimerEvent>

TickTimer::TickTimer(std::function<void()> onTimeout) : onTimeout_(std::move(onTimeout)) {}

TickTimer::~TickTimer() {
    stop();
}

void TickTimer::setCallback(std::function<void()> onTimeout) {
    onTimeout_ = std::move(onTimeout);
}

void TickTimer::start() {
    stop();
    id_ = startTimer(interval_, Qt::PreciseTimer);
}

void TickTimer::start(int ms) {
    interval_ = ms;
    start();
}

void TickTimer::stop() {
    if (id_)
        killTimer(id_);
    id_ = 0;
}

bool TickTimer::event(QEvent* e) {
    if (e->type() != QEvent::Timer || static_cast<QTimerEvent*>(e)->timerId() != id_)
        return QObject::event(e);
    if (onTimeout_)
        onTimeout_();
    return true;
}
