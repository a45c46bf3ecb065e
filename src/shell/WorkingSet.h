#pragma once

#include <QtGlobal>

// The clock sleeps nearly all the time and wakes once a second. Start-up touches far more of
// the program and its libraries than a tick needs, and every page the process keeps mapped
// makes each wake-up dearer and counts as resident memory. Trimming hands those pages back.
namespace WorkingSet {

// Unmaps the pages of files (program and library code, read-only data) that the process
// mapped privately and never changed, and returns the free heap to the system. The pages
// stay in the system's cache; the few a tick uses come back on first touch. Returns the
// bytes of mappings trimmed, or -1 where the system cannot say which pages are safe to drop.
qint64 Trim();

} // namespace WorkingSet
