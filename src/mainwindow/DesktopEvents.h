#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QTimer>
#include <functional>

// Wakes the clock when the X server reports a change among the top-level windows (one
// appeared, went away, moved or changed places), and then looks again every 200 ms until a
// look finds everything settled. While the desktop stands still there is nothing to poll.
class DesktopEvents : public QObject, public QAbstractNativeEventFilter {
public:
    // look runs after each change and at each later step; it returns true once the window
    // behind the clock and the clock itself stand still.
    explicit DesktopEvents(std::function<bool()> look, QObject* parent = nullptr);
    ~DesktopEvents() override;

    // Starts or stops listening; starting looks at once.
    void setActive(bool on);
    bool isActive() const { return active_; }

    // A change was reported (the X events call it; tests may too).
    void changed();

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void step();

    std::function<bool()> look_;
    QTimer again_;
    bool active_ = false;
};
