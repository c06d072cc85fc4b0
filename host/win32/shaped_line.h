#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

#include "host/runtime/string.h"
#include "host/textbox/control_marks.h"
#include "host/win32/line_painter.h"
#include "host/win32/windows_api.h"

#include <usp10.h>

namespace host::win32 {

/// A line, or a stretch of one, laid out by the system's script processor:
/// text shaped by its font (with fallback fonts for scripts it lacks),
/// right-to-left runs in visual order within a left-to-right paragraph,
/// control characters as named boxes and tabs advancing to their stops.
/// Offsets are in units from the stretch's start, x in pixels from its
/// left edge.
class ShapedLine {
 public:
  /// Lines up to this long are shaped whole; longer ones a segment at a
  /// time (long_line.h).
  static constexpr std::size_t kMaxUnits = 1024;

  struct Fonts {
    HFONT text = nullptr;
    HFONT mark = nullptr;
    double tab_width = 8;
  };
  /// `start_x` is where the stretch starts in its line, for the tab stops.
  ShapedLine(HDC dc, const Fonts& fonts, StringView text, double start_x = 0);
  ShapedLine(const ShapedLine&) = delete;
  ShapedLine& operator=(const ShapedLine&) = delete;
  ~ShapedLine();

  int Width() const { return width_; }
  /// Where the caret stands before `offset`.
  int X(std::size_t offset) const;
  /// The cluster boundary nearest to `x`.
  std::size_t Nearest(int x) const;
  /// Whether the caret may stand before `offset`: not inside a cluster.
  bool IsClusterBoundary(std::size_t offset) const;

  /// Draws the stretch with its left edge at `left`; [selected_from,
  /// selected_to) in the selection's colours.
  void Draw(HDC dc, int left, int top, std::size_t selected_from, std::size_t selected_to,
            const LineStyle& style) const;

 private:
  using Kind = LineRun::Kind;
  struct Piece {
    const LineRun& run;
    int x;
    int width;
    SCRIPT_STRING_ANALYSIS analysis;  // text runs shaped
  };

  Piece PieceOf(std::size_t index) const;
  static int Shape(HDC dc, const Fonts& fonts, StringView text, const LineRun& run, SCRIPT_STRING_ANALYSIS& analysis);

  std::vector<PlacedRun> runs_;
  std::vector<SCRIPT_STRING_ANALYSIS> analyses_;  // one for each run; freed with the line
  std::size_t size_ = 0;
  int width_ = 0;
};

}  // namespace host::win32
