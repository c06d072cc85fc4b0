#pragma once
// The inner loops of the text operations, one set per instruction level.
// Every set gives the same results as the scalar one; the public entry
// points (host/find_unit.h, host/utf8.h) use the best set of the machine.
#include <cstddef>

#include "host/runtime/simd.h"

namespace host {

/// Units a ReplaceUnitInto output may be written past its end: vector
/// stores run ahead of the scan.
inline constexpr std::size_t kReplaceSlack = 32;

/// The unit in which memory moves between the caches and the processor.
inline constexpr std::size_t kCacheLineBytes = 64;

/// What a search for line starts found: how many it wrote, and where it
/// stopped (the end of the range, or earlier when the room ran short).
struct LineStarts {
  std::size_t count;
  const char16_t* stop;
};

struct TextKernels {
  /// First position of `unit` in [first, last), or `last`.
  const char16_t* (*find_unit)(const char16_t* first, const char16_t* last, char16_t unit);
  /// First TAB or surrogate (U+D800 to U+DFFF) in [first, last), or `last`.
  const char16_t* (*find_tab_or_surrogate)(const char16_t* first, const char16_t* last);
  /// Number of positions of `unit` in [first, last).
  std::size_t (*count_unit)(const char16_t* first, const char16_t* last, char16_t unit);
  /// Copies [first, last) to `out` with every `unit` replaced by the
  /// `with_size` units at `with`; returns the end of what was written. `out`
  /// must have room for (last - first) * max(with_size, 1) + kReplaceSlack.
  char16_t* (*replace_unit_into)(const char16_t* first, const char16_t* last, char16_t unit,
                                 const char16_t* with, std::size_t with_size, char16_t* out);
  /// Copies `units` units from `in` to `out` (no overlap) with stores that
  /// go around the cache where the processor has them: for a result far
  /// larger than the cache, it spares reading in every line of it before
  /// writing it. The stores are ordered for other threads only after
  /// finish_streaming. As it goes it asks for the `next_units` units at
  /// `next` (the input of the next block; any address), so that reading
  /// them overlaps this block's writing.
  void (*stream_units)(const char16_t* in, std::size_t units, char16_t* out, const char16_t* next,
                       std::size_t next_units);
  /// Orders every store of stream_units before any that follow.
  void (*finish_streaming)();
  /// Widens the ASCII bytes at the front of [in, in + size) to `out`, whole
  /// blocks only; returns how many it took (0 up to size). Never writes
  /// past out + size.
  std::size_t (*widen_ascii)(const char* in, std::size_t size, char16_t* out);
  /// Narrows the units below 0x80 at the front of [in, in + size) to `out`,
  /// whole blocks only; returns how many it took. Never writes past out + size.
  std::size_t (*narrow_ascii)(const char16_t* in, std::size_t size, char* out);
  /// How many units below 0x80 lead [in, in + size), whole blocks only.
  std::size_t (*ascii_units)(const char16_t* in, std::size_t size);
  /// Writes the start behind every CR LF whose LF lies in [first, last), as
  /// an offset from `text` (first >= text; the unit before `first` is read
  /// when there is one), to `out`, which has room for `room` (at least 1).
  LineStarts (*line_starts)(const char16_t* text, const char16_t* first, const char16_t* last,
                            std::size_t* out, std::size_t room);
};

/// The kernels of `level`, or nullptr where Supports(level) is false.
const TextKernels* KernelsFor(Simd level);

/// The kernels of BestSimd().
const TextKernels& Kernels();

namespace kernels {
extern const TextKernels kScalar;
#if defined(__SSE2__)
extern const TextKernels kSse2;
#endif
#if QUILLFEN_X86
extern const TextKernels kAvx2;
#endif
}  // namespace kernels

}  // namespace host
