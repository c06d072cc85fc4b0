#include "host/win32/long_line.h"

#include <algorithm>
#include <cmath>

#include "host/textbox/line_cuts.h"

namespace host::win32 {

LongLine::LongLine(ShapedCache& cache, HDC dc, const ShapedLine::Fonts& fonts, LineGeometry& geometry,
                   std::size_t key, StringView line)
    : cache_(cache),
      dc_(dc), fonts_(fonts), geometry_(geometry), key_(key), line_(line) {}

LongLine::Segment LongLine::SegmentAt(std::size_t index) {
  Segment segment{.begin = CutSegmentStart(line_, index), .end = CutSegmentStart(line_, index + 1)};
  // Whole pixels: the segment's own offsets are whole, so every position in
  // it rounds the same way wherever the line is scrolled.
  segment.x = std::round(geometry_.X(key_, line_, segment.begin));
  return segment;
}

double LongLine::X(std::size_t offset) {
  offset = std::min(offset, line_.size());
  const Segment segment = SegmentAt(CutSegmentOf(line_, offset));
  return segment.x + cache_.Get(dc_, fonts_, Text(segment)).X(offset - segment.begin);
}

std::size_t LongLine::Nearest(double x) {
  // The estimate's boundary at `x` lies in the segment whose start is the
  // last one at or before `x`.
  const Segment segment = SegmentAt(CutSegmentOf(line_, geometry_.Before(key_, line_, x).offset));
  const ShapedLine& shaped = cache_.Get(dc_, fonts_, Text(segment));
  return segment.begin + shaped.Nearest(static_cast<int>(std::lround(x - segment.x)));
}

LineGeometry::Hit LongLine::Paint(HDC dc, const LineSegment& view, const LineStyle& style) {
  const std::size_t count = CutSegmentCount(line_.size());
  std::size_t index = CutSegmentOf(line_, geometry_.Before(key_, line_, view.visible_left).offset);
  // Shaped wider than estimated, the segment before may reach into view.
  if (index > 0) --index;
  LineGeometry::Hit end;
  for (; index < count; ++index) {
    const Segment segment = SegmentAt(index);
    if (segment.x >= view.visible_right) break;
    const ShapedLine shaped(dc, fonts_, Text(segment));
    end = {segment.end, segment.x + shaped.Width()};
    if (end.x < view.visible_left) continue;
    const auto left = static_cast<int>(std::lround(view.origin + segment.x));
    shaped.Draw(dc, left, view.top, std::clamp(view.selected_from, segment.begin, segment.end) - segment.begin,
                std::clamp(view.selected_to, segment.begin, segment.end) - segment.begin, style);
  }
  return end;
}

}  // namespace host::win32
