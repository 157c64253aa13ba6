#include "platform/uMemory.h"

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
