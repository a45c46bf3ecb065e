#include "TestSupport.h"

#include "shell/TimeSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace TestSupport {

QString freshUserFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir folder(base + QStringLiteral("/Zintar_22"));
    folder.removeRecursively();
    QDir().mkpath(base);
    return folder.path();
}

QString scratchFolder(const QString& name) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir folder(base + QStringLiteral("/scratch/") + name);
    folder.removeRecursively();
    QDir().mkpath(folder.path());
    return folder.path();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void setNow(const QDateTime& now) {
    TimeSource::setFixed(now);
}

void resetNow() {
    TimeSource::reset();
}

} // namespace TestSupport
