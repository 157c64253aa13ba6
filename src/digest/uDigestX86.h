// What the files of the x86-64 paths share. Only they include it.
#pragma once

#include "digest/uDigestCpu.h"

#if SORVIK_DIGEST_X86

#include <immintrin.h>

// The files are built without extension flags; only the functions marked
// with this attribute may use the extensions it names. Anything else these
// files compile (inline code from headers included) stays plain x86-64, so
// no copy of it that the linker might share with other files needs them.
#define SORVIK_DIGEST_TARGET(Extensions) __attribute__((target(Extensions)))

#endif
