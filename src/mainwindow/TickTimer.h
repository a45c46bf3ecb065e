#pragma once

#include <QObject>
#include <functional>

// A repeating precise timer that calls one function: what a QTimer with its timeout connected
// to that function does, with the timer event handed straight to the function. The clock's
// tick runs once a second for as long as the program runs, and this way it passes through
// far less of Qt's code (no signal, no slot object), so fewer of Qt's pages stay mapped while
// the clock sleeps.
class TickTimer : public QObject {
public:
    explicit TickTimer(std::function<void()> onTimeout = {});
    ~TickTimer() override;

    void setCallback(std::function<void()> onTimeout);
    void setInterval(int ms) { interval_ = ms; }
    int interval() const { return interval_; }
    bool isActive() const { return id_ != 0; }
    void start();       // from now, with the interval; restarts a running timer
    void start(int ms); // sets the interval, then start()
    void stop();

protected:
    bool event(QEvent* e) override;

private:
    std::function<void()> onTimeout_;
    int interval_ = 0;
    int id_ = 0;
};
