#pragma once
// The swarm's busiest functions are built twice: for any x86-64, and for processors with
// AVX2 and what came with it (x86-64-v3), whose wider registers and shorter instruction
// forms save a few per cent. The loader picks one when the program starts. Both give
// the same results bit for bit: floating point is never contracted into fused
// multiply-adds, and nothing else those processors add rounds differently.
//
// A function called from one of them runs in its plain build unless it is inlined, so
// small helpers on these paths are inlined.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define SWARM_HOT_PATH __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define SWARM_HOT_PATH
#endif
