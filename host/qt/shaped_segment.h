#pragma once
#include <QPalette>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <string_view>
#include <vector>

#include "host/qt/text_style.h"
#include "host/runtime/string.h"
#include "host/textbox/control_marks.h"
#include "host/textbox/line_layout.h"

class QPainter;

namespace host::qt {

/// One stretch of a line laid out for drawing, run by run: text of one
/// bidi level shaped by the font (joined, combined, right to left at odd
/// levels), control characters as small named boxes and tabs advancing to
/// the next stop. Where each run stands on the line is the line's own
/// business (bidi reordering). Offsets are in units from the segment's
/// start.
class ShapedSegment : public ShapedRuns {
 public:
  /// `start_x` is where the segment starts in its line, for the tab stops;
  /// `levels` splits its text into runs of one bidi level.
  ShapedSegment(StringView text, const TextStyle& style, double start_x, Levels levels);
  ShapedSegment(const ShapedSegment&) = delete;
  ShapedSegment& operator=(const ShapedSegment&) = delete;
  ~ShapedSegment() override;

  std::size_t Size() const { return static_cast<std::size_t>(text_.size()); }
  double Width() const override { return width_; }
  const std::vector<PlacedRun>& Runs() const override { return runs_; }
  double X(std::size_t run, std::size_t offset) const override;
  std::size_t Nearest(std::size_t run, double x) const override;

  struct Paint {
    QPainter& painter;
    const TextStyle& style;
    const QPalette& palette;
    double left;  // viewport x of the run's left edge
    double top;   // viewport y of the row
    double visible_left;
    double visible_right;
    std::size_t selected_from;  // clipped to the segment by the caller
    std::size_t selected_to;
  };
  void Draw(const Paint& paint, std::size_t run) const;

 private:
  using Kind = LineRun::Kind;
  struct Piece {
    const LineRun& run;
    double width;
    const QTextLayout* layout;  // text runs only
  };

  Piece PieceOf(std::size_t index) const;
  std::unique_ptr<QTextLayout> Shape(const LineRun& run, const TextStyle& style) const;
  void SpansOf(const Piece& piece, std::size_t from, std::size_t to,
               std::vector<std::pair<double, double>>& spans) const;
  void DrawMark(const Paint& paint, const Piece& piece, bool selected) const;

  QString text_;
  double width_ = 0;
  std::vector<PlacedRun> runs_;
  std::vector<std::unique_ptr<QTextLayout>> layouts_;  // one for each run, for text runs only
};

}  // namespace host::qt
