// The stack the calling thread was given, in bytes, as the system reports it.
#pragma once

#include <cstddef>

std::size_t CurrentThreadStackSize();
