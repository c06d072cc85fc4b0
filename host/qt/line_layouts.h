#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

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
/// SegmentPlaces puts it. Runs of right-to-left text are then put in
/// visual order across the segments they span.
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

  using Visit = std::function<void(const ShapedSegment& segment, std::size_t run, std::size_t begin, double x)>;
  /// Calls `visit` for each run that meets [left, right), with the start of
  /// its segment in the line and the x of its left edge, and returns the x
  /// of the line's end if it lies before `right`.
  std::optional<double> ForVisible(std::size_t key, StringView line, double left, double right, const Visit& visit);

  /// Drops what an edit at `position` may have made stale.
  void Invalidate(std::size_t position);

 private:
  struct Line;
  struct Placed {
    const ShapedSegment* segment;
    std::size_t run;
    std::size_t begin;  // the segment's start in the line
    double x;           // the run's left edge
    double Width() const { return segment->Runs()[run].width; }
  };
  Line& LineFor(std::size_t key, StringView line);
  // The runs of segments [first, last], and of every segment a run of
  // theirs reaches, where they stand once reordered.
  std::vector<Placed> LayOut(Line& entry, std::size_t key, StringView line, std::size_t first, std::size_t last);
  const ShapedSegment& Segment(Line& entry, std::size_t key, StringView line, std::size_t index);

  const TextStyle& style_;
  SegmentPlaces places_;
  std::unordered_map<std::size_t, std::unique_ptr<Line>> lines_;
};

}  // namespace host::qt
