#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

// What the fuzz targets share: a private per-user folder and a way to lay a file there.
namespace FuzzSupport {

// Points the per-user folder at a fresh folder of this process, once.
inline void privateUserFolder() {
    // scripts/fuzz.sh gives a folder it removes afterwards (in memory when it can: every
    // input is written and saved twice, synced each time).
    const QString given = qEnvironmentVariable("ZINTAR_FUZZ_FOLDER");
    const QString base = (given.isEmpty() ? QDir::tempPath() : given) +
                         QStringLiteral("/zintar-fuzz-") + QString::number(getpid());
    static QString folder;
    folder = base;
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/Zintar_22"));
    std::atexit([] { QDir(folder).removeRecursively(); });
    qputenv("XDG_DATA_HOME", base.toLocal8Bit());
    qputenv("QT_LOGGING_RULES", "zintar.trace.debug=false");
}

inline void writeBytes(const QString& path, const uint8_t* data, size_t size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Stops the run with both versions on stderr when a save of what was loaded from a save
// is not the same file.
inline void requireSame(const QByteArray& first, const QByteArray& second, const char* what) {
    if (first == second)
        return;
    std::fprintf(stderr,
                 "%s: the second save differs from the first\n--- first:\n%s\n--- "
                 "second:\n%s\n",
                 what, first.constData(), second.constData());
    std::abort();
}

} // namespace FuzzSupport
