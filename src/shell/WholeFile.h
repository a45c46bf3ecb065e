#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Writes a whole file so that it is either the new bytes or the old file, never anything
// in between: the bytes go to a temporary file in the same folder, every write, the flush
// and the close are checked, the temporary file is synced to disk, renamed over the old
// one and the folder is synced after it. On any failure the temporary file is removed,
// the old file is left untouched, false is returned and the reason put into *error.
//
// A path that is a symbolic link is written through (the link stays, its target is
// replaced) only when the target is a regular file of this user; anything else is refused.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// True when the file (through a link too) holds exactly these bytes.
bool FileHolds(const QString& path, const QByteArray& bytes);

// The older name, kept for callers written before the link and sync checks.
inline bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr) {
    return WriteFileAtomically(path, bytes, error);
}

// Removes the temporary files a save killed half-way left in a folder; returns how many.
int RemoveLeftoverTempFiles(const QString& folder);

// Keeps the file at path as path + ".bak" before a save replaces it. An existing copy is
// replaced only by a file that is newer and different. Returns the copy's path, or ""
// when nothing was kept (reason in *error, or no error when the copy was already there).
QString KeepBackup(const QString& path, QString* error = nullptr);

// For tests: every later write stops with "No space left on device" after this many
// bytes, like a disk that fills up half-way. A negative value restores normal writing.
void SetWriteFailureAfter(int64_t bytes);
