#pragma once
#include <cstddef>

#include "host/runtime/string.h"
#include "host/textbox/line_geometry.h"
#include "host/textbox/segment_places.h"
#include "host/win32/line_painter.h"
#include "host/win32/shaped_cache.h"
#include "host/win32/shaped_line.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// A line longer than ShapedLine::kMaxUnits, shaped a segment at a time and
/// only where asked: the segments in view for painting, the one holding an
/// offset for the caret. Each segment stands where `places` puts it, at
/// the whole pixel there, and tells it its shaped width. Measuring shapes
/// through `cache` in `dc`; painting shapes afresh in the device context
/// drawn on.
class LongLine {
 public:
  LongLine(ShapedCache& cache, HDC dc, const ShapedLine::Fonts& fonts, SegmentPlaces& places, std::size_t key,
           StringView line);

  /// Where the caret stands before `offset`.
  double X(std::size_t offset);
  /// The cluster boundary nearest to `x`.
  std::size_t Nearest(double x);
  /// Draws the segments that meet the part of `view` in sight; returns the
  /// end of the last one drawn and its x (the line's end if it ends in view).
  LineGeometry::Hit Paint(HDC dc, const LineSegment& view, const LineStyle& style);

 private:
  struct Segment {
    std::size_t index = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    double x = 0;
  };
  Segment SegmentAt(std::size_t index);
  StringView Text(const Segment& segment) const { return line_.substr(segment.begin, segment.end - segment.begin); }
  const ShapedLine& Measured(const Segment& segment);

  ShapedCache& cache_;
  HDC dc_;
  ShapedLine::Fonts fonts_;
  SegmentPlaces& places_;
  std::size_t key_;
  StringView line_;
};

}  // namespace host::win32
