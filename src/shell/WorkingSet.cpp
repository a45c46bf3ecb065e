#include "shell/WorkingSet.h"

#if defined(Q_OS_LINUX)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#endif

namespace WorkingSet {

#if defined(Q_OS_LINUX)
namespace {
// One mapping of /proc/self/maps, as far as the trim needs it.
struct Mapping {
    unsigned long start = 0, end = 0;
    bool fileBacked = false; // a real file, not memory shared with the display or a device
    bool readOnly = false;   // private and not writable
};

// A line "start-end perms offset dev inode [path]".
bool parseLine(const char* line, Mapping& m) {
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

// Whether any page of the mapping was copied on write (relocated data, for one), from the
// page map: such a page is present without being the file's page, or swapped out. A mapping
// that has any keeps all its pages, as dropping them would bring back the file's contents;
// so does one whose page map cannot be read.
bool changedPages(int pagemap, const Mapping& m) {
    constexpr uint64_t Present = 1ull << 63, Swapped = 1ull << 62, FilePage = 1ull << 61;
    const unsigned long pageSize = static_cast<unsigned long>(sysconf(_SC_PAGESIZE));
    uint64_t entries[512];
    for (unsigned long page = m.start / pageSize; page < m.end / pageSize;) {
        const size_t count = std::min<unsigned long>(std::size(entries), m.end / pageSize - page);
        const ssize_t got =
            pread(pagemap, entries, count * sizeof(uint64_t), off_t(page * sizeof(uint64_t)));
        if (got <= 0 || got % ssize_t(sizeof(uint64_t)) != 0)
            return true;
        for (ssize_t i = 0; i < got / ssize_t(sizeof(uint64_t)); ++i)
            if ((entries[i] & Swapped) || ((entries[i] & Present) && !(entries[i] & FilePage)))
                return true;
        page += static_cast<unsigned long>(got) / sizeof(uint64_t);
    }
    return false;
}
} // namespace

qint64 Trim() {
    // The page map tells which pages were changed without the kernel working out every
    // figure of every mapping, as /proc/self/smaps would.
    const int pagemap = ::open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (pagemap < 0)
        return -1;
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps) {
        ::close(pagemap);
        return -1;
    }
    // Everything is read and closed before the first page goes. A library function called
    // for the first time after that would have the dynamic linker look its name up in the
    // symbol tables of every library, and bring back a 64 KB stretch of each for good.
    std::vector<Mapping> drop;
    char line[8192];
    Mapping m;
    while (std::fgets(line, sizeof line, maps))
        if (parseLine(line, m) && m.fileBacked && m.readOnly && m.end > m.start &&
            !changedPages(pagemap, m))
            drop.push_back(m);
    std::fclose(maps);
    ::close(pagemap);
    malloc_trim(0);
    qint64 trimmed = 0;
    for (const Mapping& d : drop)
        if (madvise(reinterpret_cast<void*>(d.start), d.end - d.start, MADV_DONTNEED) == 0)
            trimmed += qint64(d.end - d.start);
    return trimmed;
}
#else
qint64 Trim() {
    return -1;
}
#endif

} // namespace WorkingSet
