#include "host/qt/line_layouts.h"

#include <algorithm>

#include "host/qt/line_segments.h"

namespace host::qt {
namespace {

// Of one long line, the shaped segments of several screens are kept.
constexpr std::size_t kMaxSegmentsPerLine = 64;

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
    if (!slot && entry.segments.size() > kMaxSegmentsPerLine) {
      entry.segments.clear();
      return Segment(entry, key, line, index);
    }
    slot = std::make_unique<ShapedSegment>(text, style_, x);
    places_.NoteWidth(key, line, index, slot->Width());
  }
  return *slot;
}

double LineLayouts::X(std::size_t key, StringView line, std::size_t offset) {
  Line& entry = LineFor(key, line);
  offset = std::min(offset, line.size());
  const std::size_t index = places_.SegmentOf(line, offset);
  const ShapedSegment& segment = Segment(entry, key, line, index);
  return places_.StartX(key, line, index) + segment.X(offset - places_.Start(line, index));
}

std::size_t LineLayouts::Nearest(std::size_t key, StringView line, double x) {
  Line& entry = LineFor(key, line);
  const std::size_t index = places_.SegmentAtX(key, line, x);
  const ShapedSegment& segment = Segment(entry, key, line, index);
  return places_.Start(line, index) + segment.Nearest(x - places_.StartX(key, line, index));
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
  std::size_t index = places_.SegmentAtX(key, line, left);
  double x = places_.StartX(key, line, index);
  for (; index < count && x < right; ++index) {
    const ShapedSegment& segment = Segment(entry, key, line, index);
    if (x + segment.Width() >= left) visit(segment, places_.Start(line, index), x);
    x += segment.Width();
  }
  if (index == count && x < right) return x;
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
