// Handing memory the program has freed back to the system.
#pragma once

// After a large structure is freed (a cleared log of many files), the
// allocator may keep the pages for later use and the process stays as large
// as it was. Asks it to return what it can; does nothing where the allocator
// offers no such call.
void ReturnFreedMemory();
