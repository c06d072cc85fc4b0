#include "host/qt/text_painter.h"

#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "host/textbox/control_marks.h"
#include "host/qt/text_view.h"

namespace host::qt {
namespace {

// Runs are kept short so that the shaper's positions and the cell model's
// never drift apart by more than a rounding error.
constexpr qsizetype kMaxRunUnits = 32;
constexpr double kMarkRadius = 2;

}  // namespace

TextPainter::TextPainter(TextView& view)
    : view_(view), document_(view.Document()), painter_(view.viewport()) {
  painter_.setFont(view_.TextFont());
  selection_ = document_.Selection();
  left_ = TextView::kMargin - view_.horizontalScrollBar()->value();
}

void TextPainter::Paint(const QRect& area) {
  const double height = view_.LineHeight();
  const auto first_row = static_cast<std::size_t>(std::max(0.0, std::floor(area.top() / height)));
  const auto last_row = static_cast<std::size_t>(std::max(0.0, std::floor(area.bottom() / height)));
  const auto scrolled = static_cast<std::size_t>(view_.verticalScrollBar()->value());
  for (std::size_t row = first_row; row <= last_row; ++row) {
    const std::size_t line = scrolled + row;
    if (line >= document_.LineCount()) break;
    PaintLine(line, static_cast<double>(row) * height);
  }
}

void TextPainter::PaintLine(std::size_t line, double top) {
  const std::size_t start = document_.LineStart(line);
  const StringView text = document_.Line(line);
  const double height = view_.LineHeight();
  const double visible_left = -left_;
  const double visible_right = visible_left + view_.viewport()->width();
  LineGeometry& geometry = document_.Geometry();
  const QPalette& palette = view_.palette();

  const std::size_t selected_from = std::clamp(selection_.begin, start, start + text.size()) - start;
  const std::size_t selected_to = std::clamp(selection_.end, start, start + text.size()) - start;

  LineGeometry::Hit at = geometry.Before(start, text, visible_left);
  run_.clear();
  while (at.offset < text.size() && at.x <= visible_right) {
    const LineGeometry::Hit next = geometry.Step(text, at);
    const char32_t character = CodePointAt(text, at.offset).value;
    const bool selected = at.offset >= selected_from && at.offset < selected_to;
    const std::string_view mark = ControlMark(character);
    if (!run_.isEmpty() && (selected != run_selected_ || !mark.empty() || character == U'\t' ||
                            run_.size() >= kMaxRunUnits)) {
      FlushRun(top);
    }
    if (!mark.empty()) {
      PaintMark(QString::fromLatin1(mark.data(), static_cast<qsizetype>(mark.size())), at.x,
                next.x - at.x, top, selected);
    } else if (character == U'\t') {
      if (selected) painter_.fillRect(QRectF(left_ + at.x, top, next.x - at.x, height), palette.highlight());
    } else {
      if (run_.isEmpty()) {
        run_x_ = at.x;
        run_selected_ = selected;
      }
      run_.append(QStringView(text.data() + at.offset, static_cast<qsizetype>(next.offset - at.offset)));
      run_end_ = next.x;
    }
    at = next;
  }
  if (!run_.isEmpty()) FlushRun(top);

  if (text.size() <= LineGeometry::kChunkUnits) view_.NoteLineWidth(geometry.X(start, text, text.size()));
  if (at.offset == text.size()) {
    // A selected line break shows as a sliver of selection behind the line.
    const bool has_break = line + 1 < document_.LineCount();
    if (has_break && selection_.begin <= start + text.size() && selection_.end >= start + text.size() + 2) {
      painter_.fillRect(QRectF(left_ + at.x, top, view_.AverageAdvance() / 2, height), palette.highlight());
    }
  }

  const std::size_t caret = document_.Caret();
  if (caret >= start && caret <= start + text.size() && document_.LineOf(caret) == line && view_.hasFocus()) {
    const double x = left_ + geometry.X(start, text, caret - start);
    const QString& preedit = view_.Preedit();
    if (!preedit.isEmpty()) {
      const double width = painter_.fontMetrics().horizontalAdvance(preedit);
      painter_.fillRect(QRectF(x, top, width, height), palette.base());
      QFont underlined = view_.TextFont();
      underlined.setUnderline(true);
      painter_.setFont(underlined);
      painter_.setPen(palette.text().color());
      painter_.drawText(QPointF(x, top + view_.Ascent()), preedit);
      painter_.setFont(view_.TextFont());
    }
    if (view_.CaretShown()) painter_.fillRect(QRectF(x, top, 1, height), palette.text());
  }
}

void TextPainter::FlushRun(double top) {
  const QPalette& palette = view_.palette();
  if (run_selected_) {
    painter_.fillRect(QRectF(left_ + run_x_, top, run_end_ - run_x_, view_.LineHeight()), palette.highlight());
  }
  painter_.setPen(run_selected_ ? palette.highlightedText().color() : palette.text().color());
  painter_.drawText(QPointF(left_ + run_x_, top + view_.Ascent()), run_);
  run_.clear();
}

void TextPainter::PaintMark(const QString& name, double x, double width, double top, bool selected) {
  const QPalette& palette = view_.palette();
  const double height = view_.LineHeight();
  const QRectF cell(left_ + x, top, width, height);
  if (selected) painter_.fillRect(cell, palette.highlight());
  const QColor ink = selected ? palette.highlightedText().color() : palette.placeholderText().color();
  const QRectF box = cell.adjusted(1, height * 0.15, -1, -height * 0.15);
  painter_.save();
  painter_.setRenderHint(QPainter::Antialiasing);
  painter_.setPen(QPen(ink, 1));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRoundedRect(box, kMarkRadius, kMarkRadius);
  painter_.setFont(view_.MarkFont());
  painter_.drawText(box, Qt::AlignCenter, name);
  painter_.restore();
}

}  // namespace host::qt
