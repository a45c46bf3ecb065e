#include "shell/WorkingSet.h"

#if defined(Q_OS_LINUX)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace WorkingSet {

#if defined(Q_OS_LINUX)
namespace {
// One mapping of /proc/self/smaps, as far as the trim needs it.
struct Mapping {
    unsigned long start = 0, end = 0;
    bool fileBacked = false; // a real file, not memory shared with the display or a device
    bool readOnly = false;   // private and not writable
};

// A line "start-end perms offset dev inode [path]" begins a mapping.
bool parseHeader(const char* line, Mapping& m) {
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
} // namespace

qint64 Trim() {
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
        // "Anonymous:" counts the pages of the mapping that were copied on write (relocated
        // data, for one); a mapping that has any keeps all its pages, as dropping them would
        // bring back the file's contents.
        if (!inMapping || std::strncmp(line, "Anonymous:", 10) != 0)
            continue;
        inMapping = false;
        if (!current.fileBacked || !current.readOnly || std::strtol(line + 10, nullptr, 10) != 0)
            continue;
        void* start = reinterpret_cast<void*>(current.start);
        const size_t length = current.end - current.start;
        if (madvise(start, length, MADV_DONTNEED) == 0)
            trimmed += qint64(length);
    }
    std::fclose(smaps);
    malloc_trim(0);
    return trimmed;
}
#else
qint64 Trim() {
    return -1;
}
#endif

} // namespace WorkingSet
