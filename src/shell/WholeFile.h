#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Writes a whole file through a temporary file in the same folder that is renamed over the
// old one only when every byte was written, so a failed write never loses the old file.
// On failure returns false and puts the reason into *error.
bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// For tests: every later WriteWholeFile stops with a write error after this many bytes,
// like a disk that fills up half-way. A negative value restores normal writing.
void SetWriteFailureAfter(int64_t bytes);
