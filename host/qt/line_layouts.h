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

namespace host::qt {

/// The shaped layouts of the lines a text box has shown, kept until their
/// text changes. A line is identified by its start in the text (`key`) and
/// checked against its text on every use.
///
/// A short line is one segment at x 0. A long line is cut into segments
/// (see line_segments.h), and only the segments asked for are shaped: a
/// segment's x is the character-by-character estimate of `geometry` at its
/// start, corrected by what shaping has found for every segment before it
/// that has been shown. Positions once shown stay put; the estimate covers
/// what has not been.
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
  double StartX(Line& entry, std::size_t key, StringView line, std::size_t index);
  std::size_t SegmentAtX(Line& entry, std::size_t key, StringView line, double x);

  const TextStyle& style_;
  LineGeometry& geometry_;
  std::unordered_map<std::size_t, std::unique_ptr<Line>> lines_;
};

}  // namespace host::qt
