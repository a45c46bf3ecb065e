#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class QWidget;

// Helpers shared by the unit and widget tests.
namespace TestSupport {

// Empties the per-user folder of this test run (XDG_DATA_HOME is private to each test
// executable) and returns its path, so every test starts like a first start.
QString freshUserFolder();

// Folder of scratch files for one test, created empty.
QString scratchFolder(const QString& name);

// Writes bytes to a file, creating its folder; returns false on failure.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

// Drives the program's clock: every reader of the time sees this moment until reset.
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
