#pragma once
#include <cstddef>

#include "host/runtime/text_kernels.h"

namespace host {

// The searches every conversion pass and every line index is bound by;
// each runs the widest vector kernels the processor has.

/// First position of `unit` in [first, last), or `last`.
const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// First TAB or surrogate (U+D800 to U+DFFF) in [first, last), or `last`:
/// the units a line's layout cannot simply add up.
const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last);

/// Number of positions of `unit` in [first, last).
std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit);

/// Copies [first, last) to `out` with every `unit` replaced by the
/// `with_size` units at `with`; returns the end of what was written. `out`
/// must have room for (last - first) * max(with_size, 1) + kReplaceSlack
/// units: whole registers are stored ahead of the scan.
char16_t* ReplaceUnitInto(const char16_t* first, const char16_t* last, char16_t unit,
                          const char16_t* with, std::size_t with_size, char16_t* out);

/// Copies `units` units from `in` to `out` (no overlap), the whole
/// registers with stores that go around the cache; see TextKernels.
void StreamUnits(const char16_t* in, std::size_t units, char16_t* out, const char16_t* next,
                 std::size_t next_units);

/// Orders the stores of StreamUnits before any that follow, for every
/// thread. The thread that made them sees them in any case.
void FinishStreaming();

/// The start behind every CR LF whose LF lies in [first, last), as offsets
/// from `text`, written to `out` until `room` is used up; see LineStarts.
LineStarts FindLineStarts(const char16_t* text, const char16_t* first, const char16_t* last,
                          std::size_t* out, std::size_t room);

}  // namespace host
