#include "platform/uMemory.h"

// Any header of the C library defines __GLIBC__ when it is glibc.
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    // Every arena, not only the calling thread's: records are made on the
    // worker's thread and freed on this one. Other C libraries have no such
    // call and keep what they keep.
    malloc_trim(0);
#endif
}
