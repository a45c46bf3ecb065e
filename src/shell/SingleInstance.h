#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

// One clock per settings folder: the settings file has one writer. The first clock holds a
// lock on a file in its folder and listens on a local socket named after that folder; a
// second start finds the lock taken, asks the running clock to show itself and ends.
class SingleInstance : public QObject {
public:
    enum class Claim { First, HandedOver, NotChecked };

    // folder is the per-user settings folder; the lock file is created there.
    explicit SingleInstance(const QString& folder);
    ~SingleInstance() override;

    // Takes the lock, or, when another process holds it, sends it the request to show
    // itself. NotChecked when the lock file cannot be made at all (an unwritable folder):
    // the clock then starts as before.
    Claim claim();

    // After claim() gave First and the application object exists: calls showRequested for
    // each later start of the program. An empty function stops listening.
    void listen(std::function<void()> showRequested);

    // The socket's name in the abstract namespace (no file, gone with the process), for the
    // folder and the user.
    static QByteArray SocketName(const QString& folder);

private:
    void accept();

    QString folder_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> showRequested_;
};
