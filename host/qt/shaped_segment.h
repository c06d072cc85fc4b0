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

class QPainter;

namespace host::qt {

/// One stretch of a line laid out for drawing: its text shaped by the font
/// (joined, combined, right-to-left runs in visual order within a
/// left-to-right paragraph), control characters as small named boxes and
/// tabs advancing to the next stop. Offsets are in units from the
/// segment's start, x in pixels from its left edge.
class ShapedSegment {
 public:
  /// `start_x` is where the segment starts in its line, for the tab stops.
  ShapedSegment(StringView text, const TextStyle& style, double start_x);
  ShapedSegment(const ShapedSegment&) = delete;
  ShapedSegment& operator=(const ShapedSegment&) = delete;
  ~ShapedSegment();

  /// Whether this is the layout of `text` starting at `start_x`.
  bool Holds(StringView text, double start_x) const;
  std::size_t Size() const { return static_cast<std::size_t>(text_.size()); }
  double Width() const { return width_; }

  /// Where the caret stands before `offset`.
  double X(std::size_t offset) const;
  /// The cluster boundary nearest to `x`.
  std::size_t Nearest(double x) const;
  /// The x ranges that show the units [from, to), left to right, touching
  /// ones joined: one for left-to-right text, more where bidi splits it.
  std::vector<std::pair<double, double>> Spans(std::size_t from, std::size_t to) const;

  struct Paint {
    QPainter& painter;
    const TextStyle& style;
    const QPalette& palette;
    double left;  // viewport x of the segment's start
    double top;   // viewport y of the row
    double visible_left;
    double visible_right;
    std::size_t selected_from;  // clipped to the segment by the caller
    std::size_t selected_to;
  };
  void Draw(const Paint& paint) const;

 private:
  using Kind = LineRun::Kind;
  struct Piece {
    const LineRun& run;
    double x;
    double width;
    const QTextLayout* layout;  // text runs only
  };

  Piece PieceOf(std::size_t index) const;
  std::unique_ptr<QTextLayout> Shape(std::size_t begin, std::size_t end, const TextStyle& style) const;
  void SpansOf(const Piece& piece, std::size_t from, std::size_t to,
               std::vector<std::pair<double, double>>& spans) const;
  void DrawMark(const Paint& paint, const Piece& piece, bool selected) const;

  QString text_;
  double start_x_;
  double width_ = 0;
  std::vector<PlacedRun> runs_;
  std::vector<std::unique_ptr<QTextLayout>> layouts_;  // one for each run, for text runs only
};

}  // namespace host::qt
