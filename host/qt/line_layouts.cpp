#include "host/qt/line_layouts.h"

#include <algorithm>

#include "host/qt/line_segments.h"

namespace host::qt {
namespace {

// Bounds on what is kept: a screenful of lines many times over, and of one
// long line the segments of several screens.
constexpr std::size_t kMaxLines = 512;
constexpr std::size_t kMaxSegmentsPerLine = 64;

}  // namespace

struct LineLayouts::Line {
  std::size_t size = 0;
  std::unordered_map<std::size_t, std::unique_ptr<ShapedSegment>> segments;
  // Shaped width less estimated width, by segment, for every segment shown.
  std::map<std::size_t, double> corrections;
};

LineLayouts::LineLayouts(const TextStyle& style, LineGeometry& geometry) : style_(style), geometry_(geometry) {}

LineLayouts::~LineLayouts() = default;

LineLayouts::Line& LineLayouts::LineFor(std::size_t key, StringView line) {
  auto found = lines_.find(key);
  if (found != lines_.end() && found->second->size != line.size()) {
    lines_.erase(found);
    found = lines_.end();
  }
  if (found == lines_.end()) {
    if (lines_.size() >= kMaxLines) lines_.clear();
    found = lines_.emplace(key, std::make_unique<Line>()).first;
    found->second->size = line.size();
  }
  return *found->second;
}

double LineLayouts::StartX(Line& entry, std::size_t key, StringView line, std::size_t index) {
  if (index == 0) return 0;
  double x = geometry_.X(key, line, CutSegmentStart(line, index, kScriptCuts));
  for (auto it = entry.corrections.begin(); it != entry.corrections.end() && it->first < index; ++it) {
    x += it->second;
  }
  return x;
}

const ShapedSegment& LineLayouts::Segment(Line& entry, std::size_t key, StringView line, std::size_t index) {
  const std::size_t begin = CutSegmentStart(line, index, kScriptCuts);
  const std::size_t end = CutSegmentStart(line, index + 1, kScriptCuts);
  const StringView text = line.substr(begin, end - begin);
  const double x = StartX(entry, key, line, index);
  auto& slot = entry.segments[index];
  if (!slot || !slot->Holds(text, x)) {
    if (!slot && entry.segments.size() > kMaxSegmentsPerLine) {
      entry.segments.clear();
      return Segment(entry, key, line, index);
    }
    slot = std::make_unique<ShapedSegment>(text, style_, x);
    if (CutSegmentCount(line.size()) > 1) {
      const double estimate = geometry_.X(key, line, end) - geometry_.X(key, line, begin);
      entry.corrections[index] = slot->Width() - estimate;
    }
  }
  return *slot;
}

std::size_t LineLayouts::SegmentAtX(Line& entry, std::size_t key, StringView line, double x) {
  const std::size_t count = CutSegmentCount(line.size());
  if (count == 1) return 0;
  // The estimate finds the neighbourhood; the corrections the segment.
  std::size_t index = CutSegmentOf(line, geometry_.Before(key, line, x).offset, kScriptCuts);
  while (index > 0 && StartX(entry, key, line, index) > x) --index;
  while (index + 1 < count && StartX(entry, key, line, index + 1) <= x) ++index;
  return index;
}

double LineLayouts::X(std::size_t key, StringView line, std::size_t offset) {
  Line& entry = LineFor(key, line);
  offset = std::min(offset, line.size());
  const std::size_t index = CutSegmentOf(line, offset, kScriptCuts);
  const ShapedSegment& segment = Segment(entry, key, line, index);
  return StartX(entry, key, line, index) + segment.X(offset - CutSegmentStart(line, index, kScriptCuts));
}

std::size_t LineLayouts::Nearest(std::size_t key, StringView line, double x) {
  Line& entry = LineFor(key, line);
  const std::size_t index = SegmentAtX(entry, key, line, x);
  const ShapedSegment& segment = Segment(entry, key, line, index);
  return CutSegmentStart(line, index, kScriptCuts) + segment.Nearest(x - StartX(entry, key, line, index));
}

double LineLayouts::Width(std::size_t key, StringView line) {
  Line& entry = LineFor(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  if (count == 1) return Segment(entry, key, line, 0).Width();
  return StartX(entry, key, line, count);
}

std::optional<double> LineLayouts::ForVisible(std::size_t key, StringView line, double left, double right,
                                              const Visit& visit) {
  Line& entry = LineFor(key, line);
  const std::size_t count = CutSegmentCount(line.size());
  std::size_t index = SegmentAtX(entry, key, line, left);
  double x = StartX(entry, key, line, index);
  for (; index < count && x < right; ++index) {
    const ShapedSegment& segment = Segment(entry, key, line, index);
    if (x + segment.Width() >= left) visit(segment, CutSegmentStart(line, index, kScriptCuts), x);
    x += segment.Width();
  }
  if (index == count && x < right) return x;
  return std::nullopt;
}

void LineLayouts::Invalidate(std::size_t position) {
  for (auto it = lines_.begin(); it != lines_.end();) {
    if (it->first + it->second->size >= position) {
      it = lines_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace host::qt
