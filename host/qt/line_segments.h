#pragma once
#include <cstddef>

#include "host/runtime/string.h"

namespace host::qt {

// A long line is laid out in segments of about kSegmentUnits units, so that
// only the few in view are shaped. Segment i starts near i * kSegmentUnits,
// at the best cut within kCutReach units before it: after a space or a comma
// that no right-to-left run spans, else after any space or comma, else at a
// change of script, else at a grapheme cluster boundary. Each start depends
// only on the text around it, so any segment is found without reading the
// line before it.

inline constexpr std::size_t kSegmentUnits = 512;
inline constexpr std::size_t kCutReach = 64;

std::size_t SegmentCount(std::size_t line_size);
/// Where segment `index` starts; the line's size for index SegmentCount().
std::size_t SegmentStart(StringView line, std::size_t index);
/// The segment holding the unit at `offset`; the last for the line's end.
std::size_t SegmentOf(StringView line, std::size_t offset);

}  // namespace host::qt
