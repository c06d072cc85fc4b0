#pragma once
#include <cstddef>

namespace host {

/// Where a text box's view stands: its first line and how far it is
/// scrolled across, in pixels.
struct ViewPlace {
  std::size_t top_line = 0;
  double left = 0;
};

/// What a view shows: whole lines, a width, and the margin kept before and
/// after the text.
struct ViewExtent {
  std::size_t lines = 1;
  double width = 0;
  double margin = 0;
};

/// Where `now` scrolls to so that a caret on `line` at `x` is in view. Down
/// and up only as far as it must; across a quarter of the view past the
/// caret, so that typing on does not scroll at every key, and back to the
/// line's start wherever the caret can be seen from there.
ViewPlace ScrollToShow(ViewPlace now, std::size_t line, double x, ViewExtent view);

}  // namespace host
