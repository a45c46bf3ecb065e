#include "TestSupport.h"

#include "shell/TimeSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace TestSupport {

static QString emptied(const QString& folder) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir(base + folder).removeRecursively();
    QDir().mkpath(base);
    return base + folder;
}

QString freshUserFolder() {
    return emptied(QStringLiteral("/Zintar_22"));
}

QString scratchFolder(const QString& name) {
    const QString folder = emptied(QStringLiteral("/scratch/") + name);
    QDir().mkpath(folder);
    return folder;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void setNow(const QDateTime& now) {
    TimeSource::setFixed(now);
}

void resetNow() {
    TimeSource::reset();
}

} // namespace TestSupport
