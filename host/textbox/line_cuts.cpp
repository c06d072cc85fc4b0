#include "host/textbox/line_cuts.h"

#include <algorithm>

#include "host/textbox/code_points.h"
#include "host/textbox/text_navigation.h"

namespace host {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Marks outside the Brahmic blocks, in order.
constexpr Range kJoining[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x06D6, 0x06DC}, {0x06DF, 0x06E4}, {0x06E7, 0x06E8}, {0x06EA, 0x06ED}, {0x0711, 0x0711},
    {0x0730, 0x074A}, {0x07A6, 0x07B0}, {0x07EB, 0x07F3}, {0x0E31, 0x0E31}, {0x0E34, 0x0E3A},
    {0x0E47, 0x0E4E}, {0x0EB1, 0x0EB1}, {0x0EB4, 0x0EBC}, {0x0EC8, 0x0ECD}, {0x1160, 0x11FF},
    {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x200C, 0x200D}, {0x20D0, 0x20FF}, {0x302A, 0x302F},
    {0x3099, 0x309A}, {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFF9E, 0xFF9F}, {0x1F3FB, 0x1F3FF},
    {0xE0020, 0xE007F}, {0xE0100, 0xE01EF},
};

// The nine Brahmic blocks from U+0900 share one layout: signs before the
// letters, vowel signs and the virama after them, a few marks further on.
bool IsBrahmicMark(char32_t character) {
  if (character < 0x0900 || character > 0x0DFF) return false;
  const char32_t at = character & 0x7F;
  return at <= 0x03 || (at >= 0x3A && at <= 0x4F && at != 0x3D) || (at >= 0x51 && at <= 0x57) ||
         at == 0x62 || at == 0x63 || (character >= 0x0DCA && character <= 0x0DDF);
}

bool StartsCluster(StringView line, std::size_t at) {
  const char16_t unit = line[at];
  // Below U+0300 nothing joins the character before it.
  if (unit < 0x300) return true;
  if (IsLowSurrogate(unit) && at > 0 && IsHighSurrogate(line[at - 1])) return false;
  if (at > 0 && line[at - 1] == u'\u200D') return false;
  return !JoinsPrevious(CodePointAt(line, at).value);
}

bool Always(StringView, std::size_t) { return true; }
bool Never(StringView, std::size_t) { return false; }

std::size_t Cut(StringView line, std::size_t near, const CutRules& rules) {
  const CutTest starts_cluster = rules.starts_cluster != nullptr ? rules.starts_cluster : &StartsCluster;
  const CutTest keeps_order = rules.keeps_order != nullptr ? rules.keeps_order : &Always;
  const CutTest script_change = rules.script_change != nullptr ? rules.script_change : &Never;
  const std::size_t floor = near - kCutReach;
  std::size_t separator = 0;
  std::size_t change = 0;
  for (std::size_t at = near; at > floor; --at) {
    const char16_t before = line[at - 1];
    if (before == u' ' || before == u',') {
      if (!starts_cluster(line, at)) continue;
      if (keeps_order(line, at)) return at;
      if (separator == 0) separator = at;
    } else if (separator == 0 && change == 0 && script_change(line, at) && starts_cluster(line, at)) {
      change = at;
    }
  }
  if (separator != 0) return separator;
  if (change != 0) return change;
  for (std::size_t at = near; at > floor; --at) {
    if (starts_cluster(line, at)) return at;
  }
  return SnapToBoundary(line, near);
}

}  // namespace

bool JoinsPrevious(char32_t character) {
  if (character < 0x300) return false;
  if (IsBrahmicMark(character)) return true;
  const auto after = std::upper_bound(std::begin(kJoining), std::end(kJoining), character,
                                      [](char32_t value, const Range& range) { return value < range.first; });
  return after != std::begin(kJoining) && character <= (after - 1)->last;
}

std::size_t CutSegmentCount(std::size_t line_size) {
  return line_size == 0 ? 1 : (line_size + kCutUnits - 1) / kCutUnits;
}

std::size_t CutSegmentStart(StringView line, std::size_t index, const CutRules& rules) {
  if (index == 0) return 0;
  if (index >= CutSegmentCount(line.size())) return line.size();
  return Cut(line, index * kCutUnits, rules);
}

std::size_t CutSegmentOf(StringView line, std::size_t offset, const CutRules& rules) {
  const std::size_t last = CutSegmentCount(line.size()) - 1;
  const std::size_t index = std::min(offset / kCutUnits, last);
  if (index > 0 && CutSegmentStart(line, index, rules) > offset) return index - 1;
  if (index < last && CutSegmentStart(line, index + 1, rules) <= offset) return index + 1;
  return index;
}

}  // namespace host
