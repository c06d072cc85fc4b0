#include "host/textbox/view_scroll.h"

#include <algorithm>
#include <cmath>

namespace host {

ViewPlace ScrollToShow(ViewPlace now, std::size_t line, double x, ViewExtent view) {
  const std::size_t lines = std::max<std::size_t>(1, view.lines);
  if (line < now.top_line) now.top_line = line;
  if (line >= now.top_line + lines) now.top_line = line - lines + 1;
  const double reach = x + 2 * view.margin;
  if (x < now.left) {
    now.left = reach <= view.width ? 0 : std::max(0.0, x - view.width / 4);
  } else if (reach > now.left + view.width) {
    now.left = std::ceil(reach - view.width * 3 / 4);
  }
  return now;
}

}  // namespace host
