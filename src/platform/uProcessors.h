// The processors this process may run on.
#pragma once

// The cores the process may run on at once: the machine's, or fewer when it
// is confined to some of them (a container's share, a launcher's affinity).
// At least 1.
int ProcessCoreCount();
