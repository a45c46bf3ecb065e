#include "shell/WorkingSet.h"

#if defined(Q_OS_LINUX)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace WorkingSet {

#if defined(Q_OS_LINUX)
namespace {
// One mapping of /proc/self/maps (or smaps), as far as the trim needs it.
struct Mapping {
    unsigned long start = 0, end = 0;
    bool fileBacked = false; // a real file, not memory shared with the display or a device
    bool readOnly = false;   // private and not writable
};

// A line "start-end perms offset dev inode [path]" begins a mapping; the other lines of smaps
// are "Name: value" and are told apart without scanning them.
bool parseHeader(const char* line, Mapping& m) {
    const size_t head = std::strcspn(line, " :");
    if (line[head] != ' ' || !std::memchr(line, '-', head))
        return false;
    char perms[8] = {};
    char path[4096] = {};
    unsigned long offset = 0, inode = 0;
    char dev[32] = {};
    const int fields = std::sscanf(line, "%lx-%lx %7s %lx %31s %lu %4095s", &m.start, &m.end, perms,
                                   &offset, dev, &inode, path);
    if (fields < 6)
        return false;
    m.readOnly = perms[0] == 'r' && perms[1] == '-' && perms[3] == 'p';
    m.fileBacked = fields == 7 && inode != 0 && path[0] == '/' &&
                   std::strncmp(path, "/dev/", 5) != 0 && std::strncmp(path, "/memfd:", 7) != 0 &&
                   std::strncmp(path, "/SYSV", 5) != 0;
    return true;
}

bool trimmable(const Mapping& m) {
    return m.fileBacked && m.readOnly && m.end > m.start;
}

qint64 drop(const Mapping& m) {
    void* start = reinterpret_cast<void*>(m.start);
    const size_t length = m.end - m.start;
    return madvise(start, length, MADV_DONTNEED) == 0 ? qint64(length) : 0;
}

// Whether any page of the mapping was copied on write (relocated data, for one), from the
// page map: such a page is present without being the file's page, or swapped out. A mapping
// that has any keeps all its pages, as dropping them would bring back the file's contents.
// -1 when the page map cannot be read.
int changedPages(int pagemap, const Mapping& m) {
    constexpr uint64_t Present = 1ull << 63, Swapped = 1ull << 62, FilePage = 1ull << 61;
    const long pageSize = sysconf(_SC_PAGESIZE);
    uint64_t entries[512];
    for (unsigned long page = m.start / pageSize; page < m.end / pageSize;) {
        const size_t count = std::min<unsigned long>(std::size(entries), m.end / pageSize - page);
        const ssize_t got =
            pread(pagemap, entries, count * sizeof(uint64_t), off_t(page * sizeof(uint64_t)));
        if (got <= 0 || got % ssize_t(sizeof(uint64_t)) != 0)
            return -1;
        for (ssize_t i = 0; i < got / ssize_t(sizeof(uint64_t)); ++i)
            if ((entries[i] & Swapped) || ((entries[i] & Present) && !(entries[i] & FilePage)))
                return 1;
        page += static_cast<unsigned long>(got) / sizeof(uint64_t);
    }
    return 0;
}

// The same decision from /proc/self/smaps, for systems whose page map cannot be read. Dearer:
// the kernel works out every figure of every mapping.
qint64 trimFromSmaps() {
    FILE* smaps = std::fopen("/proc/self/smaps", "re");
    if (!smaps)
        return -1;
    qint64 trimmed = 0;
    Mapping current;
    bool inMapping = false;
    char line[8192];
    while (std::fgets(line, sizeof line, smaps)) {
        Mapping next;
        if (parseHeader(line, next)) {
            current = next;
            inMapping = true;
            continue;
        }
        if (!inMapping || std::strncmp(line, "Anonymous:", 10) != 0)
            continue;
        inMapping = false;
        if (trimmable(current) && std::strtol(line + 10, nullptr, 10) == 0)
            trimmed += drop(current);
    }
    std::fclose(smaps);
    return trimmed;
}
} // namespace

qint64 Trim() {
    qint64 trimmed = -1;
    const int pagemap = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    FILE* maps = pagemap >= 0 ? std::fopen("/proc/self/maps", "re") : nullptr;
    if (maps) {
        trimmed = 0;
        char line[8192];
        Mapping m;
        while (trimmed >= 0 && std::fgets(line, sizeof line, maps)) {
            if (!parseHeader(line, m) || !trimmable(m))
                continue;
            const int changed = changedPages(pagemap, m);
            if (changed < 0)
                trimmed = -1; // left to the slower way below
            else if (changed == 0)
                trimmed += drop(m);
        }
        std::fclose(maps);
    }
    if (pagemap >= 0)
        ::close(pagemap);
    if (trimmed < 0)
        trimmed = trimFromSmaps();
    malloc_trim(0);
    return trimmed;
}
#else
qint64 Trim() {
    return -1;
}
#endif

} // namespace WorkingSet
