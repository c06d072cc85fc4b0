#include "host/qt/text_painter.h"

#include <QPaintEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "host/qt/shaped_segment.h"
#include "host/qt/text_view.h"

namespace host::qt {

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
  const TextStyle& style = view_.Style();
  // As the toolkit's own boxes: a box without the focus shows its selection
  // in the inactive colours.
  QPalette palette = view_.palette();
  palette.setCurrentColorGroup(view_.hasFocus() ? QPalette::Active : QPalette::Inactive);
  const double visible_left = -left_;
  const double visible_right = visible_left + view_.viewport()->width();
  LineLayout& layouts = view_.Layouts();
  const LineLayout::View view = layouts.Visible(start, text, visible_left, visible_right);
  for (const ShownRun& shown : view.runs) {
    // The layouts' runs are this surface's own shaped segments.
    const auto& segment = static_cast<const ShapedSegment&>(shown.shaped);
    const std::size_t begin = start + shown.begin;
    const std::size_t from = std::clamp(selection_.begin, begin, begin + segment.Size());
    const std::size_t to = std::clamp(selection_.end, begin, begin + segment.Size());
    segment.Draw({.painter = painter_,
                  .style = style,
                  .palette = palette,
                  .left = left_ + shown.x,
                  .top = top,
                  .visible_left = 0,
                  .visible_right = static_cast<double>(view_.viewport()->width()),
                  .selected_from = from - begin,
                  .selected_to = to - begin},
                 shown.run);
  }
  view_.NoteLineWidth(layouts.Width(start, text));
  if (view.end) {
    // A selected line break shows as a sliver of selection behind the line.
    const bool has_break = line + 1 < document_.LineCount();
    if (has_break && selection_.begin <= start + text.size() && selection_.end >= start + text.size() + 2) {
      painter_.fillRect(QRectF(left_ + *view.end, top, style.average_advance / 2, style.line_height), palette.highlight());
    }
  }

  const std::size_t caret = document_.Caret();
  if (caret >= start && caret <= start + text.size() && document_.LineOf(caret) == line && view_.hasFocus()) {
    PaintCaret(left_ + layouts.X(start, text, caret - start), top);
  }
}

void TextPainter::PaintCaret(double x, double top) {
  const TextStyle& style = view_.Style();
  const QPalette& palette = view_.palette();
  const QString& preedit = view_.Preedit();
  if (!preedit.isEmpty()) {
    const double width = painter_.fontMetrics().horizontalAdvance(preedit);
    painter_.fillRect(QRectF(x, top, width, style.line_height), palette.base());
    QFont underlined = style.text_font;
    underlined.setUnderline(true);
    painter_.setFont(underlined);
    painter_.setPen(palette.text().color());
    painter_.drawText(QPointF(x, top + style.ascent), preedit);
    painter_.setFont(style.text_font);
  }
  if (view_.CaretShown()) painter_.fillRect(QRectF(x, top, 1, style.line_height), palette.text());
}

}  // namespace host::qt
