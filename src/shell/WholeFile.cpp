#include "shell/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<int64_t> failAfter{-1};

// Temporary files are "<name>.zintar-tmp.XXXXXX", hidden, beside the file they replace.
constexpr char kTempMarker[] = ".zintar-tmp.";

QString reasonOf(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

// Writes all bytes, going on after short writes and interrupted calls.
bool writeAll(int fd, const char* data, int64_t size, int& err) {
    int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        done += n;
    }
    return true;
}

// Where the bytes really go: the path itself, or the target of a link that may be written
// through. Empty with *error set when the save must be refused.
QString destinationOf(const QString& path, QString* error) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return path; // a new file
    if (S_ISREG(st.st_mode))
        return path;
    if (!S_ISLNK(st.st_mode)) {
        fail(error, QStringLiteral("it is not a regular file"));
        return {};
    }
    const QString target = QFileInfo(path).canonicalFilePath();
    struct stat ts {};
    const bool regular = !target.isEmpty() &&
                         ::stat(QFile::encodeName(target).constData(), &ts) == 0 &&
                         S_ISREG(ts.st_mode);
    bool ours = regular && ts.st_uid == ::geteuid();
    // The administrator owns every system file; a link of theirs is followed only into
    // their own home folder or their data folder (which XDG_DATA_HOME may put elsewhere).
    if (ours && ::geteuid() == 0) {
        const QString data =
            QFileInfo(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                .canonicalFilePath();
        ours = target.startsWith(QDir::homePath() + QLatin1Char('/')) ||
               (!data.isEmpty() && data != QStringLiteral("/") &&
                target.startsWith(data + QLatin1Char('/')));
    }
    if (!ours) {
        fail(error, QStringLiteral("it is a symbolic link to %1, which is not a regular file "
                                   "of yours; the link was left alone")
                        .arg(target.isEmpty() ? QFileInfo(path).symLinkTarget() : target));
        return {};
    }
    return target;
}

// The permissions a new file gets: those of the file it replaces, else 0666 less the umask.
mode_t modeFor(const QByteArray& native) {
    struct stat st {};
    if (::stat(native.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void SetWriteFailureAfter(int64_t bytes) {
    failAfter = bytes;
}

bool FileHolds(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.size() != bytes.size() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.readAll() == bytes;
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    const QString target = destinationOf(path, error);
    if (target.isEmpty())
        return false;
    const QFileInfo info(target);
    const QByteArray native = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray temp =
        QFile::encodeName(info.absolutePath() + QLatin1String("/.") + info.fileName() +
                          QLatin1String(kTempMarker) + QLatin1String("XXXXXX"));

    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, reasonOf(errno));
    auto abandon = [&](int err) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.constData());
        return fail(error, reasonOf(err));
    };

    int err = 0;
    const int64_t limit = failAfter.load();
    if (limit >= 0 && limit < bytes.size()) {
        // Simulated full disk: part of the data reaches the temporary file, then no more.
        writeAll(fd, bytes.constData(), limit, err);
        return abandon(ENOSPC);
    }
    if (!writeAll(fd, bytes.constData(), bytes.size(), err))
        return abandon(err);
    if (::fchmod(fd, modeFor(native)) != 0)
        return abandon(errno);
    if (::fsync(fd) != 0) // a full disk or a failing device shows here at the latest
        return abandon(errno);
    if (::close(fd) != 0) {
        err = errno;
        ::unlink(temp.constData());
        return fail(error, reasonOf(err));
    }
    if (::rename(temp.constData(), native.constData()) != 0) {
        err = errno;
        ::unlink(temp.constData());
        return fail(error, reasonOf(err));
    }
    // The rename itself is kept only once the folder is on disk.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool synced = ::fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
        err = errno;
        ::close(dir);
        if (!synced)
            return fail(error, QStringLiteral("the folder could not be written to disk: ") +
                                   reasonOf(err));
    }
    return true;
}

int RemoveLeftoverTempFiles(const QString& folder) {
    const QDir dir(folder);
    int removed = 0;
    // ".<file name>" + marker + six characters, as a save names its temporary file. (Matched
    // here rather than by a name filter, which would compile a regular expression at start.)
    const QLatin1StringView marker(kTempMarker);
    constexpr qsizetype kUnique = 6;
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const qsizetype at = name.size() - kUnique - marker.size();
        if (!name.startsWith(QLatin1Char('.')) || at < 1 ||
            QStringView(name).sliced(at, marker.size()) != marker)
            continue;
        struct stat st {};
        const QByteArray native = QFile::encodeName(dir.filePath(name));
        if (::lstat(native.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && ::unlink(native.constData()) == 0)
            ++removed;
    }
    return removed;
}

QString KeepBackup(const QString& path, QString* error) {
    const QString backup = path + QStringLiteral(".bak");
    const QFileInfo file(path), kept(backup);
    if (!file.exists())
        return {};
    if (kept.exists() && kept.lastModified() >= file.lastModified())
        return {}; // the copy of this file, or of a newer one, is already there
    // A second name for the old file costs nothing and cannot tear; the save then renames
    // its new file over the first name only.
    const QByteArray tempLink = QFile::encodeName(backup + QStringLiteral(".new"));
    ::unlink(tempLink.constData());
    if (::linkat(AT_FDCWD, QFile::encodeName(path).constData(), AT_FDCWD, tempLink.constData(),
                 AT_SYMLINK_FOLLOW) == 0) {
        if (::rename(tempLink.constData(), QFile::encodeName(backup).constData()) == 0)
            return backup;
        ::unlink(tempLink.constData());
    }
    // No hard links here (another file system, or one without them): a copy.
    QFile old(path);
    if (!old.open(QIODevice::ReadOnly)) {
        fail(error, old.errorString());
        return {};
    }
    const QByteArray bytes = old.readAll();
    if (QFileInfo(backup).isSymLink()) {
        fail(error, QStringLiteral("%1 is a symbolic link").arg(backup));
        return {};
    }
    return WriteFileAtomically(backup, bytes, error) ? backup : QString();
}
