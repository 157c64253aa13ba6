// What the files built with the x86 SHA extensions share. Only they include it.
#pragma once

#include "digest/uDigestCpu.h"

#if SORVIK_DIGEST_X86

#include <immintrin.h>

// The build gives these files -msha -msse4.1 -mssse3; the attribute keeps
// them compiling where it does not.
#if defined(__GNUC__) || defined(__clang__)
#define SORVIK_SHANI_TARGET __attribute__((target("sha,sse4.1,ssse3")))
#else
#define SORVIK_SHANI_TARGET
#endif

#endif
