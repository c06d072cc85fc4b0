#include "host/fastpath/kernels.h"

#include "host/fastpath/kernels_tails.h"

namespace host::fast {
namespace {

// The plain kernels: the reference the vector ones are tested against, and
// the tails the vector ones leave. The ASCII loops take nothing, leaving
// every unit to the caller's own loop.
constexpr TextKernels kScalar{
    .find_unit = tails::FindUnit,
    .find_tab_or_surrogate = tails::FindTabOrSurrogate,
    .count_unit = tails::CountUnit,
    .replace_unit_into = tails::ReplaceUnitInto,
    .widen_ascii = [](const char*, std::size_t, char16_t*) -> std::size_t { return 0; },
    .narrow_ascii = [](const char16_t*, std::size_t, char*) -> std::size_t { return 0; },
    .ascii_units = [](const char16_t*, std::size_t) -> std::size_t { return 0; },
    .line_starts = tails::FindLineStarts,
};

}  // namespace

bool Supports(Simd level) {
#if QUILLFEN_X86
  // The check covers the system too: AVX2 counts only when the system
  // saves the wide registers on a task switch.
  if (level == Simd::kAvx2) {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }
#endif
#if defined(__SSE2__)
  if (level == Simd::kSse2) return true;
#endif
  return level == Simd::kScalar;
}

const TextKernels* KernelsFor(Simd level) {
  if (!Supports(level)) return nullptr;
#if QUILLFEN_X86
  if (level == Simd::kAvx2) return &kernels::kAvx2;
#endif
#if defined(__SSE2__)
  if (level == Simd::kSse2) return &kernels::kSse2;
#endif
  return &kScalar;
}

const TextKernels& Kernels() {
  static const TextKernels& best = *[] {
    for (const Simd level : {Simd::kAvx2, Simd::kSse2}) {
      if (const TextKernels* kernels = KernelsFor(level)) return kernels;
    }
    return &kScalar;
  }();
  return best;
}

}  // namespace host::fast
