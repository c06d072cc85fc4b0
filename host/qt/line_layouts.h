#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>

#include "host/qt/shaped_segment.h"
#include "host/qt/text_style.h"
#include "host/runtime/string.h"
#include "host/textbox/line_geometry.h"
#include "host/textbox/segment_places.h"

namespace host::qt {

/// The shaped layouts of the lines a text box has shown, kept until their
/// text changes. A line is identified by its start in the text (`key`) and
/// checked against its text on every use.
///
/// A short line is one segment at x 0. A long line is cut into segments,
/// and only the segments asked for are shaped, each placed where
/// SegmentPlaces puts it.
class LineLayouts {
 public:
  LineLayouts(const TextStyle& style, LineGeometry& geometry);
  ~LineLayouts();

  /// The caret x of `offset` in the line.
  double X(std::size_t key, StringView line, std::size_t offset);
  /// The cluster boundary nearest to `x`.
  std::size_t Nearest(std::size_t key, StringView line, double x);
  /// The line's width: exact for a line shaped whole, else the estimate
  /// with the corrections known.
  double Width(std::size_t key, StringView line);

  using Visit = std::function<void(const ShapedSegment& segment, std::size_t begin, double x)>;
  /// Calls `visit` for each segment that meets [left, right), left to right,
  /// and returns the x of the line's end if it lies before `right`.
  std::optional<double> ForVisible(std::size_t key, StringView line, double left, double right, const Visit& visit);

  /// Drops what an edit at `position` may have made stale.
  void Invalidate(std::size_t position);

 private:
  struct Line;
  Line& LineFor(std::size_t key, StringView line);
  const ShapedSegment& Segment(Line& entry, std::size_t key, StringView line, std::size_t index);

  const TextStyle& style_;
  SegmentPlaces places_;
  std::unordered_map<std::size_t, std::unique_ptr<Line>> lines_;
};

}  // namespace host::qt
