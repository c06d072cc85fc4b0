#include "host/win32/long_line.h"

#include <algorithm>
#include <cmath>

namespace host::win32 {

LongLine::LongLine(ShapedCache& cache, HDC dc, const ShapedLine::Fonts& fonts, SegmentPlaces& places,
                   std::size_t key, StringView line)
    : cache_(cache), dc_(dc), fonts_(fonts), places_(places), key_(key), line_(line) {}

LongLine::Segment LongLine::SegmentAt(std::size_t index) {
  // Whole pixels: the segment's own offsets are whole, so every position in
  // it rounds the same way wherever the line is scrolled.
  return {.index = index,
          .begin = places_.Start(line_, index),
          .end = places_.Start(line_, index + 1),
          .x = std::round(places_.StartX(key_, line_, index))};
}

const ShapedLine& LongLine::Measured(const Segment& segment) {
  const ShapedLine& shaped = cache_.Get(dc_, fonts_, Text(segment), segment.x);
  places_.NoteWidth(key_, line_, segment.index, shaped.Width());
  return shaped;
}

double LongLine::X(std::size_t offset) {
  offset = std::min(offset, line_.size());
  const Segment segment = SegmentAt(places_.SegmentOf(line_, offset));
  return segment.x + Measured(segment).X(offset - segment.begin);
}

std::size_t LongLine::Nearest(double x) {
  const Segment segment = SegmentAt(places_.SegmentAtX(key_, line_, x));
  return segment.begin + Measured(segment).Nearest(static_cast<int>(std::lround(x - segment.x)));
}

LineGeometry::Hit LongLine::Paint(HDC dc, const LineSegment& view, const LineStyle& style) {
  const std::size_t count = CutSegmentCount(line_.size());
  std::size_t index = places_.SegmentAtX(key_, line_, view.visible_left);
  // The segment before is shaped too: its width places the ones in view.
  if (index > 0) --index;
  LineGeometry::Hit end;
  for (; index < count; ++index) {
    const Segment segment = SegmentAt(index);
    if (segment.x >= view.visible_right) break;
    // Placed by its measured width, as the caret is; drawn as shaped in `dc`.
    const int width = Measured(segment).Width();
    end = {segment.end, segment.x + width};
    if (end.x < view.visible_left) continue;
    const ShapedLine shaped(dc, fonts_, Text(segment), segment.x);
    const auto left = static_cast<int>(std::lround(view.origin + segment.x));
    shaped.Draw(dc, left, view.top, std::clamp(view.selected_from, segment.begin, segment.end) - segment.begin,
                std::clamp(view.selected_to, segment.begin, segment.end) - segment.begin, style);
  }
  return end;
}

}  // namespace host::win32
