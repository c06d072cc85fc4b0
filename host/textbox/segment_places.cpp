#include "host/textbox/segment_places.h"

#include <algorithm>

#include "host/textbox/bidi_levels.h"

namespace host {
namespace {

// Stretches of one line whose levels are kept: several screens.
constexpr std::size_t kKeptStretches = 8;
// Below this unit no character is right to left, so a stretch without one
// is all at the paragraph's level.
constexpr char16_t kFirstRightToLeft = 0x0590;

}  // namespace

std::size_t SegmentPlaces::Start(std::size_t key, StringView line, std::size_t index) {
  auto& starts = lines_.For(key, line).starts;
  const auto found = starts.find(index);
  if (found != starts.end()) return found->second;
  return starts.emplace(index, CutSegmentStart(line, index, rules_)).first->second;
}

double SegmentPlaces::StartX(std::size_t key, StringView line, std::size_t index) {
  if (index == 0) return 0;
  double x = geometry_.X(key, line, Start(key, line, index));
  const Line& entry = lines_.For(key, line);
  for (auto it = entry.corrections.begin(); it != entry.corrections.end() && it->first < index; ++it) {
    x += it->second;
  }
  return x;
}

std::size_t SegmentPlaces::SegmentAtX(std::size_t key, StringView line, double x) {
  const std::size_t count = CutSegmentCount(line.size());
  if (count == 1) return 0;
  // The estimate finds the neighbourhood; the corrections the segment.
  std::size_t index = SegmentOf(line, geometry_.Before(key, line, x).offset);
  while (index > 0 && StartX(key, line, index) > x) --index;
  while (index + 1 < count && StartX(key, line, index + 1) <= x) ++index;
  return index;
}

void SegmentPlaces::NoteWidth(std::size_t key, StringView line, std::size_t index, double width) {
  if (CutSegmentCount(line.size()) == 1) return;
  const double estimate =
      geometry_.X(key, line, Start(key, line, index + 1)) - geometry_.X(key, line, Start(key, line, index));
  lines_.For(key, line).corrections[index] = width - estimate;
}

const std::vector<std::uint8_t>& SegmentPlaces::StretchLevels(std::size_t key, StringView line,
                                                              std::size_t stretch) {
  const std::size_t begin = Start(key, line, stretch * kLevelSegments);
  const std::size_t end = Start(key, line, (stretch + 1) * kLevelSegments);
  Line& entry = lines_.For(key, line);
  auto found = entry.levels.find(stretch);
  if (found != entry.levels.end()) return found->second;
  if (entry.levels.size() >= kKeptStretches) entry.levels.clear();
  const StringView text = line.substr(begin, end - begin);
  const bool plain = std::all_of(text.begin(), text.end(), [](char16_t unit) { return unit < kFirstRightToLeft; });
  return entry.levels.emplace(stretch, plain ? std::vector<std::uint8_t>() : BidiLevels(text)).first->second;
}

std::vector<std::uint8_t> SegmentPlaces::LevelsOf(std::size_t key, StringView line, std::size_t index) {
  const std::size_t stretch = index / kLevelSegments;
  const std::vector<std::uint8_t>& levels = StretchLevels(key, line, stretch);
  if (levels.empty()) return {};
  const std::size_t base = Start(key, line, stretch * kLevelSegments);
  const auto first = levels.begin() + static_cast<std::ptrdiff_t>(Start(key, line, index) - base);
  const auto last = levels.begin() + static_cast<std::ptrdiff_t>(Start(key, line, index + 1) - base);
  std::vector<std::uint8_t> told(first, last);
  // The run that crosses the segment's start reaches to `head`; the one
  // that crosses its end starts at `tail`. Between them, text is left to
  // the surface's own ordering.
  std::size_t head = 0;
  if (Crosses(key, line, index)) {
    while (head < told.size() && told[head] > 0) ++head;
  }
  std::size_t tail = told.size();
  if (Crosses(key, line, index + 1)) {
    while (tail > 0 && told[tail - 1] > 0) --tail;
  }
  if (head < tail) {
    std::fill(told.begin() + static_cast<std::ptrdiff_t>(head), told.begin() + static_cast<std::ptrdiff_t>(tail), 0);
  }
  if (std::all_of(told.begin(), told.end(), [](std::uint8_t level) { return level == 0; })) return {};
  return told;
}

bool SegmentPlaces::Crosses(std::size_t key, StringView line, std::size_t index) {
  if (index % kLevelSegments == 0 || index >= CutSegmentCount(line.size())) return false;
  const std::size_t stretch = index / kLevelSegments;
  const std::vector<std::uint8_t>& levels = StretchLevels(key, line, stretch);
  if (levels.empty()) return false;
  const std::size_t at = Start(key, line, index) - Start(key, line, stretch * kLevelSegments);
  return levels[at - 1] > 0 && levels[at] > 0;
}

std::pair<std::size_t, std::size_t> SegmentPlaces::Reach(std::size_t key, StringView line, std::size_t first,
                                                        std::size_t last) {
  while (Crosses(key, line, first)) --first;
  while (Crosses(key, line, last + 1)) ++last;
  return {first, last};
}

void SegmentPlaces::Invalidate(std::size_t position) { lines_.Invalidate(position); }

}  // namespace host
