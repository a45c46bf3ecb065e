#include "TestSupport.h"
#include "shell/WorkingSet.h"

#include <QFile>
#include <QTest>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {
constexpr size_t kSize = 1 << 20;

// Resident kilobytes of the mapping that starts at `start`, from /proc/self/smaps.
long residentKb(const void* start) {
    QFile smaps("/proc/self/smaps");
    if (!smaps.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray head = QByteArray::number(quintptr(start), 16) + '-';
    bool inside = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QByteArray first = line.left(line.indexOf(' '));
        if (first.contains('-') && !first.contains(':')) // "start-end perms ..." opens a mapping
            inside = line.startsWith(head);
        else if (inside && line.startsWith("Rss:"))
            return line.mid(4).trimmed().split(' ').first().toLong();
    }
    return -1;
}

char* mapFile(const QString& path, int prot) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    void* p = mmap(nullptr, kSize, prot, MAP_PRIVATE, fd, 0);
    ::close(fd);
    return p == MAP_FAILED ? nullptr : static_cast<char*>(p);
}

long sum(const volatile char* p) { // every page read, even where the sum is not used
    long s = 0;
    for (size_t i = 0; i < kSize; i += 512)
        s += p[i];
    return s;
}
} // namespace

class tst_WorkingSet : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Untouched file pages are dropped and come back unchanged; pages the process changed,
    // even in a mapping that is read-only by now (as relocated data is), are kept.
    void dropsOnlyUnchangedFilePages() {
        QByteArray content(kSize, '\0');
        for (size_t i = 0; i < kSize; ++i)
            content[qsizetype(i)] = char(i * 7 % 251);
        const QString path = TestSupport::scratchFolder("workingset") + "/data.bin";
        QVERIFY(TestSupport::writeFile(path, content));

        char* clean = mapFile(path, PROT_READ);
        char* changed = mapFile(path, PROT_READ | PROT_WRITE);
        QVERIFY(clean && changed);
        const long expected = sum(clean);
        changed[4096] = 'x';
        QVERIFY(mprotect(changed, kSize, PROT_READ) == 0);
        sum(changed);
        QCOMPARE(residentKb(clean), long(kSize / 1024));

        QVERIFY(WorkingSet::Trim() > 0);
        QCOMPARE(residentKb(clean), 0L);
        QCOMPARE(residentKb(changed), long(kSize / 1024));
        QCOMPARE(sum(clean), expected);
        QCOMPARE(changed[4096], 'x');
        munmap(clean, kSize);
        munmap(changed, kSize);
    }
};

QTEST_GUILESS_MAIN(tst_WorkingSet)
#include "tst_WorkingSet.moc"
