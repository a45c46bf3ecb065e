#include "shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const char kShowRequest[] = "show\n";

// An address in the abstract namespace: a leading NUL, then the name.
socklen_t addressFor(const QByteArray& name, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const size_t length = std::min<size_t>(size_t(name.size()), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.constData(), length);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
} // namespace

SingleInstance::SingleInstance(const QString& folder) : folder_(folder) {}

SingleInstance::~SingleInstance() {
    notifier_.reset();
    closeFd(listenFd_);
    closeFd(lockFd_); // releases the lock
}

QByteArray SingleInstance::SocketName(const QString& folder) {
    const QByteArray path = QDir::cleanPath(QDir(folder).absolutePath()).toUtf8();
    return "zintar-" + QByteArray::number(::getuid()) + '-' +
           QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16);
}

SingleInstance::Claim SingleInstance::claim() {
    const QByteArray lockPath =
        QFile::encodeName(QDir(folder_).filePath(QStringLiteral("zintar.lock")));
    lockFd_ = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd_ < 0)
        return Claim::NotChecked;
    if (::flock(lockFd_, LOCK_EX | LOCK_NB) == 0) {
        // Ours: listen at once, so that a start right after this one finds the socket.
        listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address;
        const socklen_t length = addressFor(SocketName(folder_), address);
        if (listenFd_ >= 0 &&
            (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
             ::listen(listenFd_, 4) != 0))
            closeFd(listenFd_); // no hand-over then, but still one writer
        return Claim::First;
    }
    closeFd(lockFd_);
    if (errno != EWOULDBLOCK)
        return Claim::NotChecked;
    // Another clock runs: ask it to show itself. A clock still starting may not listen yet.
    for (int attempt = 0; attempt < 20; ++attempt) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address;
        const socklen_t length = addressFor(SocketName(folder_), address);
        if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0) {
            const bool sent = ::send(fd, kShowRequest, sizeof kShowRequest - 1, MSG_NOSIGNAL) > 0;
            closeFd(fd);
            if (sent)
                break;
        }
        closeFd(fd);
        ::usleep(50 * 1000);
    }
    return Claim::HandedOver;
}

void SingleInstance::listen(std::function<void()> showRequested) {
    showRequested_ = std::move(showRequested);
    if (!showRequested_) {
        notifier_.reset();
        return;
    }
    if (listenFd_ < 0 || notifier_)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
}

void SingleInstance::accept() {
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        // Any connection is a request to show: the later start has nothing else to say.
        closeFd(fd);
        if (showRequested_)
            showRequested_();
    }
}
