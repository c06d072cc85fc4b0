#include "host/textbox/line_layout.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "host/textbox/bidi_levels.h"

namespace host {
namespace {

// Of one long line, the shaped segments of several screens are kept, and
// at least every segment a right-to-left run may span on either side.
constexpr std::size_t kMaxSegmentsPerLine = 4 * SegmentPlaces::kLevelSegments;

}  // namespace

LineLayout::LineLayout(LineGeometry& geometry, CutRules rules, ShapeRuns shape, const TextBoxConventions& conventions)
    : places_(geometry, rules), shape_(std::move(shape)), conventions_(conventions) {}

LineLayout::~LineLayout() = default;

double LineLayout::StartX(std::size_t key, StringView line, std::size_t index) {
  const double x = places_.StartX(key, line, index);
  return conventions_.whole_pixels ? std::round(x) : x;
}

const ShapedRuns& LineLayout::Shaped(Line& entry, std::size_t key, StringView line, std::size_t index) {
  const std::size_t begin = places_.Start(key, line, index);
  const std::size_t end = places_.Start(key, line, index + 1);
  const double x = StartX(key, line, index);
  Segment& slot = entry.segments[index];
  if (!slot.shaped || slot.end != end || slot.x != x) {
    slot = {end, x, shape_(line.substr(begin, end - begin), x, places_.LevelsOf(key, line, index))};
    places_.NoteWidth(key, line, index, slot.shaped->Width());
  }
  return *slot.shaped;
}

std::vector<ShownRun> LineLayout::LayOut(Line& entry, std::size_t key, StringView line, std::size_t first,
                                         std::size_t last) {
  std::tie(first, last) = places_.Reach(key, line, first, last);
  // No segment may be dropped while the runs refer to it.
  if (entry.segments.size() + (last - first + 1) > kMaxSegmentsPerLine) entry.segments.clear();
  std::vector<ShownRun> shown;
  std::vector<LevelRun> runs;
  // Each stretch's levels are resolved apart, so each is reordered apart.
  auto reorder = [&] {
    const std::vector<double> xs = ReorderedX(runs);
    for (std::size_t i = 0; i < xs.size(); ++i) shown[shown.size() - xs.size() + i].x = xs[i];
    runs.clear();
  };
  for (std::size_t index = first; index <= last; ++index) {
    if (index % SegmentPlaces::kLevelSegments == 0) reorder();
    const ShapedRuns& shaped = Shaped(entry, key, line, index);
    const double x = StartX(key, line, index);
    for (std::size_t run = 0; run < shaped.Runs().size(); ++run) {
      const PlacedRun& placed = shaped.Runs()[run];
      shown.push_back({shaped, run, index, places_.Start(key, line, index), 0});
      runs.push_back({placed.run.level, x + placed.x, placed.width});
    }
  }
  reorder();
  return shown;
}

double LineLayout::X(std::size_t key, StringView line, std::size_t offset) {
  Line& entry = lines_.For(key, line);
  offset = std::min(offset, line.size());
  const std::size_t index = places_.SegmentOf(line, offset);
  const std::size_t begin = places_.Start(key, line, index);
  for (const ShownRun& shown : LayOut(entry, key, line, index, index)) {
    if (shown.segment != index) continue;
    if (shown.run == RunHolding(shown.shaped.Runs(), offset - begin)) {
      return shown.x + shown.shaped.X(shown.run, offset - begin);
    }
  }
  return StartX(key, line, index);
}

std::size_t LineLayout::Nearest(std::size_t key, StringView line, double x) {
  Line& entry = lines_.For(key, line);
  const std::size_t index = places_.SegmentAtX(key, line, x);
  const ShownRun* nearest = nullptr;
  double distance = 0;
  const std::vector<ShownRun> shown = LayOut(entry, key, line, index, index);
  for (const ShownRun& run : shown) {
    // A run holds the x from its left edge up to, not with, its right edge.
    const double right = run.x + run.Placed().width;
    const double away = x < run.x ? run.x - x : x >= right ? x - right : -1;
    if (nearest == nullptr || away < distance) {
      nearest = &run;
      distance = away;
    }
  }
  if (nearest == nullptr) return places_.Start(key, line, index);
  return nearest->begin + nearest->shaped.Nearest(nearest->run, x - nearest->x);
}

double LineLayout::Width(std::size_t key, StringView line) {
  Line& entry = lines_.For(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  if (count == 1) return Shaped(entry, key, line, 0).Width();
  return StartX(key, line, count);
}

LineLayout::View LineLayout::Visible(std::size_t key, StringView line, double left, double right) {
  Line& entry = lines_.For(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  const std::size_t first = places_.SegmentAtX(key, line, left);
  std::size_t last = first;
  while (last + 1 < count && StartX(key, line, last + 1) < right) ++last;
  View view;
  for (const ShownRun& shown : LayOut(entry, key, line, first, last)) {
    if (shown.x + shown.Placed().width >= left && shown.x < right) view.runs.push_back(shown);
  }
  if (last + 1 == count) {
    const double end = StartX(key, line, last) + Shaped(entry, key, line, last).Width();
    if (end < right) view.end = end;
  }
  return view;
}

void LineLayout::Invalidate(std::size_t position) {
  places_.Invalidate(position);
  lines_.Invalidate(position);
}

}  // namespace host
