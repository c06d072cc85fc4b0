#include "host/textbox/segment_places.h"

namespace host {
SegmentPlaces::Line& SegmentPlaces::LineFor(std::size_t key, StringView line) {
  auto found = lines_.find(key);
  if (found != lines_.end() && found->second.size != line.size()) {
    lines_.erase(found);
    found = lines_.end();
  }
  if (found == lines_.end()) {
    if (lines_.size() >= kKeptLines) lines_.clear();
    found = lines_.emplace(key, Line{.size = line.size(), .corrections = {}}).first;
  }
  return found->second;
}

double SegmentPlaces::StartX(std::size_t key, StringView line, std::size_t index) {
  if (index == 0) return 0;
  double x = geometry_.X(key, line, Start(line, index));
  const Line& entry = LineFor(key, line);
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
  const double estimate = geometry_.X(key, line, Start(line, index + 1)) - geometry_.X(key, line, Start(line, index));
  LineFor(key, line).corrections[index] = width - estimate;
}

void SegmentPlaces::Invalidate(std::size_t position) {
  for (auto it = lines_.begin(); it != lines_.end();) {
    if (it->first + it->second.size >= position) {
      it = lines_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace host
