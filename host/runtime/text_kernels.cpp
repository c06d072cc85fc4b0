#include "host/runtime/text_kernels.h"

namespace host {

const TextKernels* KernelsFor(Simd level) {
  if (!Supports(level)) return nullptr;
  switch (level) {
    case Simd::kScalar:
      return &kernels::kScalar;
    case Simd::kSse2:
#if defined(__SSE2__)
      return &kernels::kSse2;
#else
      return nullptr;
#endif
    case Simd::kAvx2:
#if QUILLFEN_X86
      return &kernels::kAvx2;
#else
      return nullptr;
#endif
  }
  return nullptr;
}

const TextKernels& Kernels() {
  static const TextKernels& best = *KernelsFor(BestSimd());
  return best;
}

}  // namespace host
