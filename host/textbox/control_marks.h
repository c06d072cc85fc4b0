#pragma once
#include <cstddef>
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

/// A stretch of a line as a text box draws it: text shaped as one, or a
/// single TAB or marked character.
struct LineRun {
  enum class Kind { kText, kMark, kTab };
  Kind kind = Kind::kText;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::string_view mark;  // the name a marked character shows
};

/// The runs of `text` in order; a surrogate pair is never split.
std::vector<LineRun> LineRuns(StringView text);

/// How far a TAB standing at `x` advances: to the next multiple of
/// `tab_width`, a whole tab when `x` is on a stop.
double TabAdvance(double x, double tab_width);

}  // namespace host
