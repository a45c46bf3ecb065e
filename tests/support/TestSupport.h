#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class QWidget;

// Helpers shared by the unit and widget tests.
namespace TestSupport {

// Empties this run's private per-user folder and returns its path: a first start.
QString freshUserFolder();
// An empty folder for one test's scratch files.
QString scratchFolder(const QString& name);
// Writes bytes, creating the folder; false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);
// Every reader of the program's clock sees this moment until reset.
void setNow(const QDateTime& now);
void resetNow();

// A window's control by object name; stops the run when there is none.
template <typename T = QWidget> T* child(const QObject* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

} // namespace TestSupport
