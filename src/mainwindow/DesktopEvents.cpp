#include "mainwindow/DesktopEvents.h"

#include "mainwindow/X11Desktop.h"

#include <QCoreApplication>

namespace {
// While windows still move, the look repeats at the pace a person drags a window.
constexpr int kLookAgainMs = 200;
} // namespace

DesktopEvents::DesktopEvents(std::function<bool()> look, QObject* parent)
    : QObject(parent), look_(std::move(look)) {
    again_.setInterval(kLookAgainMs);
    again_.setSingleShot(true);
    connect(&again_, &QTimer::timeout, this, &DesktopEvents::step);
}

DesktopEvents::~DesktopEvents() {
    setActive(false);
}

void DesktopEvents::setActive(bool on) {
    if (on == active_)
        return;
    active_ = on;
    if (on) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        X11Desktop::WatchTopLevels(true);
        step();
    } else {
        again_.stop();
        X11Desktop::WatchTopLevels(false);
        if (auto* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
    }
}

void DesktopEvents::changed() {
    // A burst of events (a window manager maps a frame, reparents, moves and restacks in one
    // go) becomes one look once the event queue is empty.
    if (active_ && !again_.isActive())
        again_.start(0);
}

void DesktopEvents::step() {
    if (active_ && !look_())
        again_.start(kLookAgainMs);
}

bool DesktopEvents::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (X11Desktop::IsTopLevelChange(eventType, message))
        changed();
    return false; // Qt goes on with the event as usual
}
