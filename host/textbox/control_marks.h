#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "host/runtime/string.h"

namespace host {

/// The short name a text box shows, in a small box one cell wide, for a
/// character that has no picture of its own: controls (a lone CR or LF
/// among them), the line and paragraph separators, and unpaired surrogates.
/// Empty for every character that is drawn as it is; TAB advances to the
/// next tab stop instead.
std::string_view ControlMark(char32_t character);

/// A stretch of a line as a text box draws it: text of one bidi level
/// shaped as one, or a single TAB or marked character.
struct LineRun {
  enum class Kind { kText, kMark, kTab };
  Kind kind = Kind::kText;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view mark;   // the name a marked character shows
  std::uint8_t level = 0;  // odd: shaped right to left
};

/// The bidi level of each unit of a stretch (bidi_levels.h); empty when
/// all are 0.
using Levels = std::span<const std::uint8_t>;

/// The runs of `text` in order; a surrogate pair is never split.
std::vector<LineRun> LineRuns(StringView text, Levels levels = {});

/// How far a TAB standing at `x` advances: to the next multiple of
/// `tab_width`, a whole tab when `x` is on a stop.
double TabAdvance(double x, double tab_width);

/// A run placed across its stretch of line.
struct PlacedRun {
  LineRun run;
  double x = 0;  // from the stretch's left edge
  double width = 0;
};

/// How wide the runs a surface shapes and draws are.
struct RunMeasures {
  /// Shapes a text run of the stretch and gives its width; called for each
  /// text run in order, so the surface may keep what it shaped.
  std::function<double(const LineRun& run)> text;
  std::function<double(std::string_view mark)> mark;
  double tab_width = 8;
  /// Whether the surface draws at whole pixels: tabs then end on one.
  bool whole_pixels = false;
};

/// The runs of `text` placed left to right in reading order, tabs
/// advancing to the stops of the line, which `text` enters at `start_x`.
std::vector<PlacedRun> PlaceRuns(StringView text, double start_x, const RunMeasures& measures, Levels levels = {});

/// The run holding `offset`, the last one for the stretch's end; the first
/// if there is none.
std::size_t RunHolding(const std::vector<PlacedRun>& runs, std::size_t offset);

}  // namespace host
