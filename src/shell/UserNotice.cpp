#include "shell/UserNotice.h"

#include "shell/frmError.h"

#include <QApplication>
#include <QMutex>
#include <QSet>
#include <QTimer>
#include <cstdio>

namespace {

QMutex mutex;
QSet<QString> told;
NoticeSink sink;

void showWindow(const QString& message) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    // Saves happen inside resizes, activations and closes; the window waits for the loop.
    QTimer::singleShot(0, app, [message] {
        auto* window = new frmError;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->Announce(message);
    });
}

} // namespace

void TellUserOnce(const QString& subject, const QString& message) {
    std::fprintf(stderr, "Zintar: %s\n", qPrintable(message));
    NoticeSink to;
    {
        const QMutexLocker lock(&mutex);
        if (told.contains(subject))
            return;
        told.insert(subject);
        to = sink;
    }
    if (to)
        to(message);
    else
        showWindow(message);
}

void SetNoticeSink(NoticeSink newSink) {
    const QMutexLocker lock(&mutex);
    sink = std::move(newSink);
}

void ForgetToldSubjects() {
    const QMutexLocker lock(&mutex);
    told.clear();
}
