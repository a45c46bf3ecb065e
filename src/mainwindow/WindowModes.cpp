#include "mainwindow/WindowModes.h"

#include "mainwindow/DesktopCapture.h"
#include "mainwindow/Placement.h"
#include "mainwindow/X11Desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace WindowModes {

namespace {
constexpr qreal kHalfOpacity = 128.0 / 255.0;
constexpr int kFrameGoneMs = 300; // at most, for the window manager to take its frame away
constexpr int kCompositorMs = 80; // for a compositor to repaint the uncovered spot
} // namespace

void ChangeFlags(QWidget* window, Qt::WindowFlags on, Qt::WindowFlags off) {
    const Qt::WindowFlags flags = (window->windowFlags() & ~off) | on;
    if (QWindow* handle = window->windowHandle()) {
        handle->setFlags(flags);
        window->overrideWindowFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

void SetFrameless(QWidget* window, bool frameless) {
    // Qt drops the frameless hint while a title is asked for, so the two go in turn.
    const Qt::WindowFlags title =
        Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frameless)
        ChangeFlags(window, Qt::FramelessWindowHint, title);
    else
        ChangeFlags(window, title, Qt::FramelessWindowHint);
}

void SetRound(QWidget* window, bool round) {
    SetFrameless(window, round);
    if (round)
        window->setMask(Placement::RoundShape(window->size()));
    else
        window->clearMask();
}

void SetSeeAndClickThrough(QWidget* window, bool on) {
    window->setWindowOpacity(on ? kHalfOpacity : 1.0);
    if (on)
        ChangeFlags(window, Qt::WindowTransparentForInput, {});
    else
        ChangeFlags(window, {}, Qt::WindowTransparentForInput);
    // Qt's flag reaches the clock's own window; the window manager's frame around it would
    // still take the clicks.
    if (window->windowHandle())
        X11Desktop::SetInputPassThrough(window, on);
}

QImage CaptureBehind(QWidget* window) {
    const bool wasVisible = window->isVisible();
    const QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    if (wasVisible) {
        const X11Desktop::WindowId frame = X11Desktop::TopLevelOf(X11Desktop::NativeWindow(window));
        window->hide();
        X11Desktop::Sync();
        QCoreApplication::processEvents();
        QElapsedTimer waited;
        waited.start();
        while (frame && X11Desktop::TopLevelAt(area.center(), 0) == frame &&
               waited.elapsed() < kFrameGoneMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (X11Desktop::CompositorRunning())
            while (waited.elapsed() < kCompositorMs)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QImage shot = DesktopCapture::GrabScreen(area);
    if (wasVisible)
        window->show();
    return shot;
}

void PointerDrag::press(QWidget* window, QMouseEvent* e) {
    active_ = true;
    offset_ = e->globalPosition().toPoint() - window->pos();
}

void PointerDrag::move(QWidget* window, QMouseEvent* e) {
    if (!active_ || !(e->buttons() & Qt::LeftButton))
        return;
    const QPoint target = e->globalPosition().toPoint() - offset_;
    if ((target - window->pos()).manhattanLength() < QApplication::startDragDistance())
        return;
    if (window->windowHandle() && window->windowHandle()->startSystemMove())
        active_ = false; // the window manager has it now
    else
        window->move(target);
}

} // namespace WindowModes
