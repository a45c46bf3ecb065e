#include "mainwindow/CompositorWatch.h"

#include "mainwindow/X11Desktop.h"

#include <QCoreApplication>

CompositorWatch::CompositorWatch(std::function<void()> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed)) {
    if (X11Desktop::WatchCompositor()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        installed_ = true;
    }
}

CompositorWatch::~CompositorWatch() {
    if (installed_)
        if (auto* app = QCoreApplication::instance())
            app->removeNativeEventFilter(this);
}

bool CompositorWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (changed_ && X11Desktop::IsCompositorChange(eventType, message))
        changed_();
    return false;
}
