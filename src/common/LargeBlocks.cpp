#include "common/LargeBlocks.h"

#include <cstddef> // names the C library: __GLIBC__

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// A roll export reads tables of a hundred thousand rows into columns of a few
// megabytes, and builds batches of tens. Once the first such block is freed,
// glibc's allocator raises the size from which a block gets a mapping of its
// own, and keeps the later ones in its heap, where freed room stays with the
// program. Fixing that size at its starting value (which also stops it
// moving) gives every block from 128 KiB on its own mapping, unmapped when
// freed. Other C libraries keep their own ways.
void ReturnLargeBlocksWhenFreed()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
