#include "freedmemory.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace framework {

void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    // Blocks below 32 MB come from the heap rather than from their own mapping, and the heap
    // is trimmed only once 64 MB lie free at its top.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
}

} // namespace framework
