#include "shell/WholeFile.h"

#include <QSaveFile>
#include <atomic>

namespace {
std::atomic<int64_t> failAfter{-1};
} // namespace

void SetWriteFailureAfter(int64_t bytes) {
    failAfter = bytes;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());

    const int64_t limit = failAfter.load();
    if (limit >= 0 && limit < bytes.size()) {
        // Simulated full disk: part of the data reaches the temporary file, then the write fails.
        file.write(bytes.constData(), limit);
        file.cancelWriting();
        return fail(QStringLiteral("No space left on device"));
    }

    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}
