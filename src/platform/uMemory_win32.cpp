#include "platform/uMemory.h"

#include <malloc.h>

void ReturnFreedMemory()
{
    // The C run-time heap gives its free pages back to the system.
    _heapmin();
}
