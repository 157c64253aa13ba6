#include "digest/uException.h"
// Header-only; this unit keeps the library non-empty on every toolchain.
