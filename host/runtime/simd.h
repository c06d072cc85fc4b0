#pragma once
// Which vector instructions the text kernels may use. SSE2 is the baseline
// of every x86 target we build for; AVX2 is chosen at run time, only where
// the processor and the system both support it.

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QUILLFEN_X86 1
#else
#define QUILLFEN_X86 0
#endif

namespace host {

enum class Simd { kScalar, kSse2, kAvx2 };

/// Whether this build carries the level's kernels and this machine runs them.
bool Supports(Simd level);

/// The widest level that Supports(); looked up once.
Simd BestSimd();

}  // namespace host
