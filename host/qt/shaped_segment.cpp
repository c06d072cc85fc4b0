#include "host/qt/shaped_segment.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QTextLine>
#include <algorithm>

#include "host/qt/qt_string.h"
#include "host/textbox/text_navigation.h"

namespace host::qt {
namespace {

constexpr double kUnbounded = 1e7;  // no line of a segment is this wide
constexpr double kMarkRadius = 2;
constexpr double kTouching = 0.01;  // spans this close are one
constexpr double kOverhang = 64;    // how far a glyph may reach past its advance

bool HasRightToLeft(const QString& text) {
  return std::any_of(text.begin(), text.end(), [](QChar c) {
    const QChar::Direction direction = c.direction();
    return direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN ||
           (direction >= QChar::DirLRE && direction <= QChar::DirPDI);
  });
}

// Sorted, and touching or overlapping spans made one.
std::vector<std::pair<double, double>> Joined(std::vector<std::pair<double, double>> spans) {
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<double, double>> joined;
  for (const auto& span : spans) {
    if (!joined.empty() && span.first <= joined.back().second + kTouching) {
      joined.back().second = std::max(joined.back().second, span.second);
    } else {
      joined.push_back(span);
    }
  }
  return joined;
}

}  // namespace

ShapedSegment::ShapedSegment(StringView text, const TextStyle& style, double start_x, Levels levels)
    : text_(ToQString(text)) {
  std::vector<std::unique_ptr<QTextLayout>> shaped;
  runs_ = PlaceRuns(
      text, start_x,
      {.text = [&](const LineRun& run) {
         shaped.push_back(Shape(run, style));
         return shaped.back()->lineAt(0).horizontalAdvance();
       },
       .mark = [&](std::string_view mark) { return style.MarkWidth(mark); },
       .tab_width = style.tab_width},
      levels);
  auto next = shaped.begin();
  for (const PlacedRun& placed : runs_) {
    layouts_.push_back(placed.run.kind == Kind::kText ? std::move(*next++) : nullptr);
    width_ = placed.x + placed.width;
  }
}

ShapedSegment::~ShapedSegment() = default;

std::unique_ptr<QTextLayout> ShapedSegment::Shape(const LineRun& run, const TextStyle& style) const {
  auto layout = std::make_unique<QTextLayout>(
      text_.mid(static_cast<qsizetype>(run.begin), static_cast<qsizetype>(run.end - run.begin)), style.text_font,
      style.device);
  QTextOption option;
  // A run holds one level, so the direction it is shaped in is the whole
  // of its order.
  option.setTextDirection((run.level & 1) != 0 ? Qt::RightToLeft : Qt::LeftToRight);
  option.setWrapMode(QTextOption::NoWrap);
  layout->setTextOption(option);
  layout->setCacheEnabled(true);
  layout->beginLayout();
  QTextLine line = layout->createLine();
  line.setLineWidth(kUnbounded);
  layout->endLayout();
  return layout;
}

ShapedSegment::Piece ShapedSegment::PieceOf(std::size_t index) const {
  const PlacedRun& placed = runs_[index];
  return {placed.run, placed.width, layouts_[index].get()};
}

double ShapedSegment::X(std::size_t run, std::size_t offset) const {
  const Piece piece = PieceOf(run);
  if (piece.run.kind == Kind::kText) {
    const auto cursor = static_cast<int>(std::clamp(offset, piece.run.begin, piece.run.end) - piece.run.begin);
    return piece.layout->lineAt(0).cursorToX(cursor);
  }
  // A marked character or a tab reads in the direction of its level.
  const bool after = offset > piece.run.begin;
  return after != ((piece.run.level & 1) != 0) ? piece.width : 0;
}

std::size_t ShapedSegment::Nearest(std::size_t run, double x) const {
  const Piece piece = PieceOf(run);
  if (piece.run.kind == Kind::kText) {
    const int cursor = piece.layout->lineAt(0).xToCursor(x, QTextLine::CursorBetweenCharacters);
    return piece.run.begin + static_cast<std::size_t>(std::max(0, cursor));
  }
  const bool left_half = x < piece.width / 2;
  return left_half != ((piece.run.level & 1) != 0) ? piece.run.begin : piece.run.end;
}

void ShapedSegment::SpansOf(const Piece& piece, std::size_t from, std::size_t to,
                            std::vector<std::pair<double, double>>& spans) const {
  from = std::max(from, piece.run.begin);
  to = std::min(to, piece.run.end);
  if (from >= to) return;
  if (piece.run.kind != Kind::kText || (from == piece.run.begin && to == piece.run.end)) {
    spans.emplace_back(0, piece.width);
    return;
  }
  const QTextLayout& layout = *piece.layout;
  const auto first = static_cast<int>(from - piece.run.begin);
  const auto last = static_cast<int>(to - piece.run.begin);
  if (!HasRightToLeft(layout.text())) {
    const QTextLine line = layout.lineAt(0);
    spans.emplace_back(line.cursorToX(first), line.cursorToX(last));
    return;
  }
  // Bidi may put each cluster elsewhere: each is found on its own.
  for (int cluster = first; cluster < last;) {
    const int next = std::min(last, layout.nextCursorPosition(cluster));
    for (const QGlyphRun& run : layout.glyphRuns(cluster, next - cluster)) {
      const QRectF box = run.boundingRect();
      if (box.width() > 0) spans.emplace_back(box.left(), box.right());
    }
    cluster = std::max(next, cluster + 1);
  }
}

void ShapedSegment::Draw(const Paint& paint, std::size_t index) const {
  QPainter& painter = paint.painter;
  const Piece piece = PieceOf(index);
  const double left = paint.left;
  if (left > paint.visible_right || left + piece.width < paint.visible_left) return;
  std::vector<std::pair<double, double>> spans;
  SpansOf(piece, paint.selected_from, paint.selected_to, spans);
  spans = Joined(std::move(spans));
  QPainterPath selected;
  selected.setFillRule(Qt::WindingFill);
  for (const auto& [begin, end] : spans) {
    // Whole pixels, widened outwards, as the toolkit's selections are.
    selected.addRect(QRectF(left + begin, paint.top, end - begin, paint.style.line_height).toAlignedRect());
  }
  if (!spans.empty()) painter.fillPath(selected, paint.palette.highlight());
  if (piece.run.kind == Kind::kMark) {
    DrawMark(paint, piece, !spans.empty());
    return;
  }
  if (piece.run.kind != Kind::kText) return;
  // Rows keep the font's own baseline whatever fallback fonts a line uses.
  const QPointF origin(left, paint.top + paint.style.ascent - piece.layout->lineAt(0).ascent());
  if (spans.empty()) {
    painter.setPen(paint.palette.text().color());
    piece.layout->draw(&painter, origin);
    return;
  }
  // As the toolkit draws a selection: glyphs, or the parts of them, in the
  // highlight in its own colour, and the rest in the text colour.
  QPainterPath rest;
  rest.addRect(QRectF(left, paint.top, piece.width, paint.style.line_height).adjusted(-kOverhang, 0, kOverhang, 0));
  rest = rest.subtracted(selected);
  for (const auto& [clip, color] : {std::pair{selected, paint.palette.highlightedText().color()},
                                    std::pair{rest, paint.palette.text().color()}}) {
    painter.save();
    painter.setClipPath(clip, Qt::IntersectClip);
    painter.setPen(color);
    piece.layout->draw(&painter, origin);
    painter.restore();
  }
}

void ShapedSegment::DrawMark(const Paint& paint, const Piece& piece, bool selected) const {
  QPainter& painter = paint.painter;
  const double height = paint.style.line_height;
  const QRectF cell(paint.left, paint.top, piece.width, height);
  const QColor ink = selected ? paint.palette.highlightedText().color() : paint.palette.placeholderText().color();
  const QRectF box = cell.adjusted(1, height * 0.15, -1, -height * 0.15);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(ink, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(box, kMarkRadius, kMarkRadius);
  painter.setFont(paint.style.mark_font);
  const std::string_view mark = piece.run.mark;
  painter.drawText(box, Qt::AlignCenter, QString::fromLatin1(mark.data(), static_cast<qsizetype>(mark.size())));
  painter.restore();
}

}  // namespace host::qt
