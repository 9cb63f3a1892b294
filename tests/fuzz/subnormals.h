#pragma once
// Fuzzed synthesis settings drown the renderer in subnormal numbers, each of which costs
// the processor about a hundred cycles an operation; that alone makes a fuzzer several
// times slower. The synthesizer fuzzers flush them to zero. Crashes and undefined
// behaviour come from large, infinite and not-a-number values, which stay as they are;
// the game's own renders keep full subnormal arithmetic.

#include <pmmintrin.h>
#include <xmmintrin.h>

inline void FlushSubnormals() {
  _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);
  _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);
}
