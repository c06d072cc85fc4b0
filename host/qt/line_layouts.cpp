#include "host/qt/line_layouts.h"

#include <algorithm>
#include <tuple>

#include "host/qt/line_segments.h"
#include "host/textbox/bidi_levels.h"

namespace host::qt {
namespace {

// Of one long line, the shaped segments of several screens are kept, and
// at least every segment a right-to-left run may span on either side.
constexpr std::size_t kMaxSegmentsPerLine = 4 * SegmentPlaces::kLevelSegments;

}  // namespace

struct LineLayouts::Line {
  std::size_t size = 0;
  std::unordered_map<std::size_t, std::unique_ptr<ShapedSegment>> segments;
};

LineLayouts::LineLayouts(const TextStyle& style, LineGeometry& geometry)
    : style_(style), places_(geometry, kScriptCuts) {}

LineLayouts::~LineLayouts() = default;

LineLayouts::Line& LineLayouts::LineFor(std::size_t key, StringView line) {
  auto found = lines_.find(key);
  if (found != lines_.end() && found->second->size != line.size()) {
    lines_.erase(found);
    found = lines_.end();
  }
  if (found == lines_.end()) {
    if (lines_.size() >= SegmentPlaces::kKeptLines) lines_.clear();
    found = lines_.emplace(key, std::make_unique<Line>()).first;
    found->second->size = line.size();
  }
  return *found->second;
}

const ShapedSegment& LineLayouts::Segment(Line& entry, std::size_t key, StringView line, std::size_t index) {
  const std::size_t begin = places_.Start(line, index);
  const std::size_t end = places_.Start(line, index + 1);
  const StringView text = line.substr(begin, end - begin);
  const double x = places_.StartX(key, line, index);
  auto& slot = entry.segments[index];
  if (!slot || !slot->Holds(text, x)) {
    slot = std::make_unique<ShapedSegment>(text, style_, x, places_.LevelsOf(key, line, index));
    places_.NoteWidth(key, line, index, slot->Width());
  }
  return *slot;
}

std::vector<LineLayouts::Placed> LineLayouts::LayOut(Line& entry, std::size_t key, StringView line, std::size_t first,
                                                     std::size_t last) {
  std::tie(first, last) = places_.Reach(key, line, first, last);
  // No segment may be dropped while the runs refer to it.
  if (entry.segments.size() + (last - first + 1) > kMaxSegmentsPerLine) entry.segments.clear();
  std::vector<Placed> placed;
  std::vector<LevelRun> runs;
  for (std::size_t index = first; index <= last; ++index) {
    const ShapedSegment& segment = Segment(entry, key, line, index);
    const double x = places_.StartX(key, line, index);
    for (std::size_t run = 0; run < segment.Runs().size(); ++run) {
      const PlacedRun& at = segment.Runs()[run];
      placed.push_back({&segment, run, places_.Start(line, index), 0});
      runs.push_back({at.run.level, x + at.x, at.width});
    }
  }
  const std::vector<double> xs = ReorderedX(runs);
  for (std::size_t i = 0; i < placed.size(); ++i) placed[i].x = xs[i];
  return placed;
}

double LineLayouts::X(std::size_t key, StringView line, std::size_t offset) {
  Line& entry = LineFor(key, line);
  offset = std::min(offset, line.size());
  const std::size_t index = places_.SegmentOf(line, offset);
  const std::size_t begin = places_.Start(line, index);
  for (const Placed& placed : LayOut(entry, key, line, index, index)) {
    if (placed.begin != begin) continue;
    // Where a right-to-left run starts, the caret stands at the end of the
    // run before it, as the toolkit's own layouts put it.
    const std::vector<PlacedRun>& runs = placed.segment->Runs();
    std::size_t holding = RunHolding(runs, offset - begin);
    if (holding > 0 && runs[holding].run.begin == offset - begin && (runs[holding].run.level & 1) != 0) --holding;
    if (placed.run != holding) continue;
    return placed.x + placed.segment->X(placed.run, offset - begin);
  }
  return places_.StartX(key, line, index);
}

std::size_t LineLayouts::Nearest(std::size_t key, StringView line, double x) {
  Line& entry = LineFor(key, line);
  // Beside the line, as in the toolkit's own boxes, the caret goes to the
  // line's start or end, whatever direction the text there reads in.
  if (x <= 0) return 0;
  if (x >= Width(key, line)) return line.size();
  const std::size_t index = places_.SegmentAtX(key, line, x);
  const std::vector<Placed> placed = LayOut(entry, key, line, index, index);
  const Placed* nearest = nullptr;
  double distance = 0;
  for (const Placed& run : placed) {
    const double away = x < run.x ? run.x - x : std::max(0.0, x - run.x - run.Width());
    if (nearest == nullptr || away < distance) {
      nearest = &run;
      distance = away;
    }
  }
  if (nearest == nullptr) return places_.Start(line, index);
  return nearest->begin + nearest->segment->Nearest(nearest->run, x - nearest->x);
}

double LineLayouts::Width(std::size_t key, StringView line) {
  Line& entry = LineFor(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  if (count == 1) return Segment(entry, key, line, 0).Width();
  return places_.StartX(key, line, count);
}

std::optional<double> LineLayouts::ForVisible(std::size_t key, StringView line, double left, double right,
                                              const Visit& visit) {
  Line& entry = LineFor(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  const std::size_t first = places_.SegmentAtX(key, line, left);
  std::size_t last = first;
  while (last + 1 < count && places_.StartX(key, line, last + 1) < right) ++last;
  for (const Placed& placed : LayOut(entry, key, line, first, last)) {
    if (placed.x + placed.Width() >= left && placed.x < right) {
      visit(*placed.segment, placed.run, placed.begin, placed.x);
    }
  }
  if (last + 1 < count) return std::nullopt;
  const double end = places_.StartX(key, line, last) + Segment(entry, key, line, last).Width();
  if (end < right) return end;
  return std::nullopt;
}

void LineLayouts::Invalidate(std::size_t position) {
  places_.Invalidate(position);
  for (auto it = lines_.begin(); it != lines_.end();) {
    if (it->first + it->second->size >= position) {
      it = lines_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace host::qt
