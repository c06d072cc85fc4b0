#pragma once
#include <cstddef>

#include "host/runtime/string.h"

namespace host {

// A line too long to shape whole is shaped in segments of about
// kCutUnits units, so that only the few in view cost anything. Segment i
// starts near i * kCutUnits: after the last space or comma within
// kCutReach units before it whose next character starts a cluster, else at
// the last position in reach where a cluster plainly starts, else at the
// code point boundary there. Each start depends only on the text around it,
// so any segment is found without reading the line before it.

inline constexpr std::size_t kCutUnits = 512;
inline constexpr std::size_t kCutReach = 64;

/// Whether `character` joins the one before it into a cluster: a
/// combining mark of the common scripts, a joiner, a variation selector,
/// an emoji modifier or tag, a vowel or final Hangul jamo.
bool JoinsPrevious(char32_t character);

std::size_t CutSegmentCount(std::size_t line_size);
/// Where segment `index` starts; the line's size for index CutSegmentCount().
std::size_t CutSegmentStart(StringView line, std::size_t index);
/// The segment holding the unit at `offset`; the last for the line's end.
std::size_t CutSegmentOf(StringView line, std::size_t offset);

}  // namespace host
