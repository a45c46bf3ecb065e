#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

// Tells the clock when a compositing manager starts or ends, so that a stored half-transparent
// mode is applied as soon as the display can show it and dropped when it no longer can.
class CompositorWatch : public QObject, public QAbstractNativeEventFilter {
public:
    explicit CompositorWatch(std::function<void()> changed, QObject* parent = nullptr);
    ~CompositorWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> changed_;
    bool installed_ = false;
};
