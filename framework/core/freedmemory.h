#pragma once

namespace framework {

// Large packets are built from a few big column arrays per column. The C library hands such
// blocks back to the system as soon as they are freed, so every later load of the same size
// faults each page in again, which costs more than reading the rows (a 20,000-row recipe list:
// half its load time). Called once at program start: freed memory, up to 64 MB, stays in the
// process for the next load.
void keepFreedMemoryForReuse();

} // namespace framework
