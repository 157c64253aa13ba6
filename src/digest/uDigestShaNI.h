// What the files built with the x86 SHA extensions share. Only they include it.
#pragma once

#include "digest/uDigestCpu.h"

#if SORVIK_DIGEST_X86

#include <immintrin.h>

// The files are built without extension flags; only the functions marked
// with this attribute may use the extensions. Anything else these files
// compile (inline code from headers included) stays plain x86-64, so no
// copy of it that the linker might share with other files needs them.
#if defined(__GNUC__) || defined(__clang__)
#define SORVIK_SHANI_TARGET __attribute__((target("sha,sse4.1,ssse3")))
#else
#define SORVIK_SHANI_TARGET
#endif

#endif
