#pragma once

namespace framework {

// Large packets keep each column in one big array, and a report page's text grows in one big
// buffer. The C library hands such blocks back to the system as soon as they are freed, so the
// next load or page faults every one of their pages in again, which costs more than the work
// itself (a 20,000-row recipe list: half its load time). Called once at program start: freed
// memory, up to 64 MB, stays in the process for the next use.
void keepFreedMemoryForReuse();

} // namespace framework
