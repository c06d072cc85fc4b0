#pragma once
#include <cstddef>

#include "host/runtime/string.h"

namespace host {

// A line too long to shape whole is shaped in segments of about
// kCutUnits units, so that only the few in view cost anything. Segment i
// starts near i * kCutUnits, at the best cut within kCutReach units before
// it: after a space or comma whose next character starts a cluster and that
// keeps the reading order, else after any such space or comma, else at a
// change of script, else at the last position in reach where a cluster
// starts, else at the code point boundary there. Each start depends only on
// the text around it, so any segment is found without reading the line
// before it.

inline constexpr std::size_t kCutUnits = 512;
inline constexpr std::size_t kCutReach = 64;

/// Whether `character` joins the one before it into a cluster: a
/// combining mark of the common scripts, a joiner, a variation selector,
/// an emoji modifier or tag, a vowel or final Hangul jamo.
bool JoinsPrevious(char32_t character);

/// A question about the place `at` in `line`.
using CutTest = bool (*)(StringView line, std::size_t at);

/// What a surface that knows the characters' properties adds to the
/// choice of cuts; each test left empty takes the engine's own answer.
struct CutRules {
  /// Whether a cluster starts at `at`; by default, unless a combining mark
  /// of the common scripts, a joiner's partner or a pair's half is there.
  CutTest starts_cluster = nullptr;
  /// Whether a cut at `at` leaves the reading order as it is: no
  /// right-to-left run stands on both sides of it. By default, always.
  CutTest keeps_order = nullptr;
  /// Whether one script ends and another starts at `at`. By default, never.
  CutTest script_change = nullptr;
};

std::size_t CutSegmentCount(std::size_t line_size);
/// Where segment `index` starts; the line's size for index CutSegmentCount().
std::size_t CutSegmentStart(StringView line, std::size_t index, const CutRules& rules = {});
/// The segment holding the unit at `offset`; the last for the line's end.
std::size_t CutSegmentOf(StringView line, std::size_t offset, const CutRules& rules = {});

}  // namespace host
