#include "host/runtime/simd.h"

namespace host {

bool Supports(Simd level) {
  switch (level) {
    case Simd::kScalar:
      return true;
    case Simd::kSse2:
#if defined(__SSE2__)
      return true;
#else
      return false;
#endif
    case Simd::kAvx2:
#if QUILLFEN_X86
      // The check covers the system too: AVX2 counts only when the system
      // saves the wide registers on a task switch.
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
  }
  return false;
}

Simd BestSimd() {
  static const Simd best = Supports(Simd::kAvx2)   ? Simd::kAvx2
                           : Supports(Simd::kSse2) ? Simd::kSse2
                                                   : Simd::kScalar;
  return best;
}

}  // namespace host
