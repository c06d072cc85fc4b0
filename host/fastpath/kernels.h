#pragma once
// The inner loops of the text operations, one set per instruction level.
// Every set gives the same results as the scalar one; fastpath.h runs the
// best set of the machine. SSE2 is the baseline of every x86 target we
// build for; AVX2 is chosen at run time, only where the processor and the
// system both support it.
#include <cstddef>

#include "host/fastpath/fastpath.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define QUILLFEN_X86 1
#else
#define QUILLFEN_X86 0
#endif

namespace host::fast {

enum class Simd { kScalar, kSse2, kAvx2 };

/// Whether this build carries the level's kernels and this machine runs them.
bool Supports(Simd level);

/// Units a replace_unit_into output may be written past its end: vector
/// stores run ahead of the scan.
inline constexpr std::size_t kReplaceSlack = 32;

/// The unit in which memory moves between the caches and the processor.
inline constexpr std::size_t kCacheLineBytes = 64;

/// Each member does what the function of fastpath.h it is named after does;
/// replace_unit_into copies [first, last) to `out` with every `unit`
/// replaced by the `with_size` units at `with`, returning the end of what it
/// wrote, and needs room for (last - first) * max(with_size, 1) +
/// kReplaceSlack units.
struct TextKernels {
  const char16_t* (*find_unit)(const char16_t* first, const char16_t* last, char16_t unit);
  const char16_t* (*find_tab_or_surrogate)(const char16_t* first, const char16_t* last);
  std::size_t (*count_unit)(const char16_t* first, const char16_t* last, char16_t unit);
  char16_t* (*replace_unit_into)(const char16_t* first, const char16_t* last, char16_t unit,
                                 const char16_t* with, std::size_t with_size, char16_t* out);
  std::size_t (*widen_ascii)(const char* in, std::size_t size, char16_t* out);
  std::size_t (*narrow_ascii)(const char16_t* in, std::size_t size, char* out);
  std::size_t (*ascii_units)(const char16_t* in, std::size_t size);
  LineStarts (*line_starts)(const char16_t* text, const char16_t* first, const char16_t* last,
                            std::size_t* out, std::size_t room);
};

/// The kernels of `level`, or nullptr where Supports(level) is false.
const TextKernels* KernelsFor(Simd level);

/// The kernels of the widest level supported; looked up once.
const TextKernels& Kernels();

namespace kernels {
#if defined(__SSE2__)
extern const TextKernels kSse2;
#endif
#if QUILLFEN_X86
extern const TextKernels kAvx2;
#endif
}  // namespace kernels

}  // namespace host::fast
