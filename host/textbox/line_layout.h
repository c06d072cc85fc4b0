#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "host/runtime/string.h"
#include "host/textbox/control_marks.h"
#include "host/textbox/line_cache.h"
#include "host/textbox/line_geometry.h"
#include "host/textbox/segment_places.h"
#include "host/textbox/text_box_surface.h"

namespace host {

/// A stretch of a line as a surface shaped it: its runs in reading order
/// (control_marks.h), each text run shaped in the direction of its level.
class ShapedRuns {
 public:
  virtual ~ShapedRuns() = default;
  virtual const std::vector<PlacedRun>& Runs() const = 0;
  virtual double Width() const = 0;
  /// Where the caret stands before `offset` (units from the stretch's
  /// start), in pixels from the left edge of `run`.
  virtual double X(std::size_t run, std::size_t offset) const = 0;
  /// The cluster boundary in `run` nearest to `x` from its left edge.
  virtual std::size_t Nearest(std::size_t run, double x) const = 0;
};

/// How a surface shapes a stretch of a line that enters it at `start_x`.
using ShapeRuns = std::function<std::unique_ptr<ShapedRuns>(StringView text, double start_x, Levels levels)>;

/// A run where it stands once its line is in visual order.
struct ShownRun {
  const ShapedRuns& shaped;
  std::size_t run;
  std::size_t segment;
  std::size_t begin;  // where the segment starts in the line
  double x;           // the run's left edge
  const PlacedRun& Placed() const { return shaped.Runs()[run]; }
};

/// The lines of a text box laid out: each line cut into segments
/// (line_cuts.h) placed by SegmentPlaces, only the segments asked for
/// shaped by the surface and kept until their text changes, and the runs
/// of every segment in view put in the visual order of the Unicode
/// Bidirectional Algorithm across the segments a right-to-left run spans.
/// A line is identified by its start in the text (`key`) and checked
/// against its size on every use.
class LineLayout {
 public:
  /// `conventions` says whether segments start on whole pixels.
  LineLayout(LineGeometry& geometry, CutRules rules, ShapeRuns shape, const TextBoxConventions& conventions);
  ~LineLayout();

  /// The caret x of `offset` in the line.
  double X(std::size_t key, StringView line, std::size_t offset);
  /// The cluster boundary nearest to `x`.
  std::size_t Nearest(std::size_t key, StringView line, double x);
  /// The line's width: exact for a line shaped whole, else the estimate
  /// with the corrections known.
  double Width(std::size_t key, StringView line);

  struct View {
    std::vector<ShownRun> runs;  // those that meet the range asked for
    std::optional<double> end;   // the x of the line's end, if in the range
  };
  /// The runs that meet [left, right).
  View Visible(std::size_t key, StringView line, double left, double right);

  /// Where segment `index` starts, its x, and its levels: what a surface
  /// that shapes it again to draw needs.
  std::size_t Start(std::size_t key, StringView line, std::size_t index) { return places_.Start(key, line, index); }
  double StartX(std::size_t key, StringView line, std::size_t index);
  std::vector<std::uint8_t> LevelsOf(std::size_t key, StringView line, std::size_t index) {
    return places_.LevelsOf(key, line, index);
  }

  /// Drops what an edit at `position` may have made stale.
  void Invalidate(std::size_t position);

 private:
  struct Segment {
    std::size_t end = 0;
    double x = 0;
    std::unique_ptr<ShapedRuns> shaped;
  };
  struct Line {
    std::unordered_map<std::size_t, Segment> segments;
  };
  const ShapedRuns& Shaped(Line& entry, std::size_t key, StringView line, std::size_t index);
  // The runs of segments [first, last], and of every segment a run of
  // theirs reaches, where they stand once reordered.
  std::vector<ShownRun> LayOut(Line& entry, std::size_t key, StringView line, std::size_t first, std::size_t last);

  SegmentPlaces places_;
  ShapeRuns shape_;
  const TextBoxConventions& conventions_;
  LineCache<Line> lines_;
};

}  // namespace host
