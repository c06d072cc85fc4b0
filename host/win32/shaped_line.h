#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

#include "host/runtime/string.h"
#include "host/textbox/control_marks.h"
#include "host/textbox/line_layout.h"
#include "host/win32/line_painter.h"
#include "host/win32/windows_api.h"

#include <usp10.h>

namespace host::win32 {

/// A stretch of a line laid out by the system's script processor, run by
/// run: text of one bidi level shaped by its font (with fallback fonts for
/// scripts it lacks), right to left at odd levels, control characters as
/// named boxes and tabs advancing to their stops. Where each run stands on
/// the line is the line's own business (bidi reordering). Offsets are in
/// units from the stretch's start.
class ShapedLine : public ShapedRuns {
 public:
  struct Fonts {
    HFONT text = nullptr;
    HFONT mark = nullptr;
    double tab_width = 8;
  };
  /// `start_x` is where the stretch starts in its line, for the tab stops;
  /// `levels` splits its text into runs of one bidi level.
  ShapedLine(HDC dc, const Fonts& fonts, StringView text, double start_x = 0, Levels levels = {});
  ShapedLine(const ShapedLine&) = delete;
  ShapedLine& operator=(const ShapedLine&) = delete;
  ~ShapedLine() override;

  const std::vector<PlacedRun>& Runs() const override { return runs_; }
  double Width() const override { return width_; }
  std::size_t Size() const { return size_; }
  double X(std::size_t run, std::size_t offset) const override;
  std::size_t Nearest(std::size_t run, double x) const override;
  /// Whether the caret may stand before `offset`: not inside a cluster.
  bool IsClusterBoundary(std::size_t offset) const;

  /// Draws `run` with its left edge at `left`; [selected_from, selected_to)
  /// of the stretch in the selection's colours.
  void Draw(HDC dc, std::size_t run, int left, int top, std::size_t selected_from, std::size_t selected_to,
            const LineStyle& style) const;

 private:
  using Kind = LineRun::Kind;
  struct Piece {
    const LineRun& run;
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
