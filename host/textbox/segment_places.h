#pragma once
#include <cstddef>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/runtime/string.h"
#include "host/textbox/control_marks.h"
#include "host/textbox/line_cache.h"
#include "host/textbox/line_cuts.h"
#include "host/textbox/line_geometry.h"

namespace host {

/// Where the segments of long lines stand across them (line_cuts.h). A
/// segment's x is the character-by-character estimate of `geometry` at its
/// start, corrected by the shaped widths of every segment before it that
/// has been measured: segments shaped side by side neither gap nor overlap,
/// positions once shown stay put, and the estimate covers what has not been
/// shaped. A line is identified by its start in the text (`key`) and
/// checked against its size on every use.
///
/// Bidi levels are resolved over stretches of kLevelSegments segments, so
/// a right-to-left run is ordered across the segments of its stretch
/// while a line of any length costs only the stretches in view.
class SegmentPlaces {
 public:
  static constexpr std::size_t kLevelSegments = 16;

  SegmentPlaces(LineGeometry& geometry, CutRules rules) : geometry_(geometry), rules_(rules) {}

  /// Where segment `index` starts in the line, and its x there.
  std::size_t Start(std::size_t key, StringView line, std::size_t index);
  double StartX(std::size_t key, StringView line, std::size_t index);
  /// The segment under `x`: the last that starts at or before it.
  std::size_t SegmentAtX(std::size_t key, StringView line, double x);
  /// The segment holding the unit at `offset`.
  std::size_t SegmentOf(StringView line, std::size_t offset) const { return CutSegmentOf(line, offset, rules_); }
  /// Takes the shaped width of segment `index` in place of its estimate.
  void NoteWidth(std::size_t key, StringView line, std::size_t index, double width);
  /// The bidi levels of the units of segment `index` that its surface must
  /// be told: those of runs above the paragraph's level that cross its
  /// ends. The others are 0, as a run wholly inside the segment is put in
  /// order by the surface's own shaping, as it would be in a short line.
  /// Empty when all are 0.
  std::vector<std::uint8_t> LevelsOf(std::size_t key, StringView line, std::size_t index);
  /// The segments [first, last] widened until no run of text above the
  /// paragraph's level crosses their ends: the segments to shape before
  /// any of them can be put in visual order.
  std::pair<std::size_t, std::size_t> Reach(std::size_t key, StringView line, std::size_t first, std::size_t last);
  /// Drops what an edit at `position` may have made stale.
  void Invalidate(std::size_t position);

 private:
  struct Line {
    std::map<std::size_t, double> corrections;  // shaped less estimated width, by segment
    std::map<std::size_t, std::vector<std::uint8_t>> levels;  // by stretch, empty when all are 0
    std::unordered_map<std::size_t, std::size_t> starts;      // by segment: cuts weigh several characters
  };
  // Whether text above the paragraph's level stands on both sides of the
  // start of segment `index`, within one stretch.
  bool Crosses(std::size_t key, StringView line, std::size_t index);
  const std::vector<std::uint8_t>& StretchLevels(std::size_t key, StringView line, std::size_t stretch);

  LineGeometry& geometry_;
  CutRules rules_;
  LineCache<Line> lines_;
};

}  // namespace host
