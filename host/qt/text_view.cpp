#include "host/qt/text_view.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "host/qt/clipboard_text.h"
#include "host/qt/grapheme_clusters.h"
#include "host/qt/line_segments.h"
#include "host/qt/qt_string.h"
#include "host/qt/selection_data.h"
#include "host/qt/shaped_segment.h"
#include "host/qt/text_painter.h"
#include "host/qt/text_view_accessible.h"
#include "host/textbox/control_marks.h"
#include "host/textbox/view_scroll.h"

namespace host::qt {
namespace {

constexpr int kHorizontalStep = 20;     // pixels per click on the scroll bar's arrow
constexpr int kDragScrollMs = 50;

// As Qt's own text boxes: pasted LF becomes the box's line break, copied
// text leaves with LF, and a triple click selects the line.
constexpr TextBoxConventions kConventions{
    .paste_makes_crlf = true,
    .copy_makes_lf = true,
    .click_series = 3,
    .word_takes_trailing_blanks = false,
    .menu_has_redo = true,
};

}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent), editor_(document_, *this, kConventions) {
  TextViewAccessible::Register();
  document_.SetObserver(this);
  document_.SetClusterBoundary([](StringView line, std::size_t offset, bool forward) {
    return forward ? NextCluster(line, offset) : PreviousCluster(line, offset);
  });
  // Through the layouts, read when asked: UpdateMetrics replaces them.
  document_.SetPlacement({
      .x = [this](std::size_t start, StringView line, std::size_t offset) { return layouts_->X(start, line, offset); },
      .nearest = [this](std::size_t start, StringView line, double x) { return layouts_->Nearest(start, line, x); },
  });
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  horizontalScrollBar()->setSingleStep(kHorizontalStep);
  blink_.callOnTimeout(this, [this] {
    caret_shown_ = !caret_shown_;
    viewport()->update(CaretRect().toAlignedRect());
  });
  drag_scroll_.setInterval(kDragScrollMs);
  drag_scroll_.callOnTimeout(this, [this] { editor_.Drag(PositionAt(drag_point_)); });
  UpdateMetrics();
}

TextView::~TextView() { document_.SetObserver(nullptr); }

void TextView::UpdateMetrics() {
  style_ = TextStyle::For(font(), viewport());
  const QFontMetricsF metrics(style_.text_font, viewport());
  // Widths of single characters: the estimate for what has not been shaped.
  auto measure = [metrics, style = style_](char32_t character) {
    const std::string_view mark = ControlMark(character);
    if (!mark.empty()) return style.MarkWidth(mark);
    return metrics.horizontalAdvance(QString::fromUcs4(&character, 1));
  };
  document_.SetMeasure(measure, style_.tab_width);
  layouts_ = std::make_unique<LineLayout>(document_.Geometry(), kScriptCuts,
                                          [this](StringView text, double start_x, Levels levels) {
                                            return std::make_unique<ShapedSegment>(text, style_, start_x, levels);
                                          },
                                          kConventions);
  UpdateScrollBars();
  viewport()->update();
}

void TextView::TextChanged(std::size_t position) {
  editor_.TextChanged();
  layouts_->Invalidate(position);
  UpdateScrollBars();
  ShowPosition(document_.Caret());
  RestartBlink();
  viewport()->update();
  updateMicroFocus();
  notifier_.CaretMoved();
}

void TextView::TextReplaced(std::size_t position, StringView removed, std::size_t inserted) {
  notifier_.Replaced(position, removed, inserted);
}

void TextView::SelectionChanged() {
  editor_.SelectionChanged();
  ShowPosition(document_.Caret());
  RestartBlink();
  viewport()->update();
  notifier_.CaretMoved();
}

bool TextView::WriteClipboard(StringView text) {
  QApplication::clipboard()->setMimeData(ClipboardData(text));
  return true;
}

std::optional<String> TextView::ReadClipboard(Clipboard which) {
  Pasted pasted = PastedText(which == Clipboard::kPrimary ? QClipboard::Selection : QClipboard::Clipboard);
  if (!pasted.answered) {
    Tell(tr("The program that holds the clipboard did not answer in time, so nothing was pasted."));
  }
  return std::move(pasted.text);
}

void TextView::PasteRefused(std::size_t units) {
  const QString size = units == 0 ? tr("The text") : tr("The text of %L1 characters").arg(static_cast<qulonglong>(units));
  Tell(tr("%1 is too large for the memory free, so nothing was pasted.").arg(size));
}

bool TextView::HasPrimary() const { return QApplication::clipboard()->supportsSelection(); }

void TextView::OfferPrimary() {
  QApplication::clipboard()->setMimeData(new SelectionData(this), QClipboard::Selection);
}

void TextView::Tell(const QString& message) {
  QApplication::beep();
  auto* box = new QMessageBox(QMessageBox::Warning, window()->windowTitle(), message, QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);  // the text stays in reach while it is read
  box->show();
}

std::size_t TextView::PageLines() const { return static_cast<std::size_t>(VisibleLines()); }

void TextView::ScrollBy(std::ptrdiff_t lines, double pixels) {
  QScrollBar* vertical = verticalScrollBar();
  const auto line = std::clamp<std::ptrdiff_t>(vertical->value() + lines, 0, vertical->maximum());
  vertical->setValue(static_cast<int>(line));
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setValue(static_cast<int>(std::clamp(horizontal->value() + std::round(pixels), 0.0,
                                                   static_cast<double>(horizontal->maximum()))));
}

std::size_t TextView::WheelLines() const { return static_cast<std::size_t>(std::max(1, QApplication::wheelScrollLines())); }

double TextView::WheelPixels() const { return static_cast<double>(kHorizontalStep) * static_cast<double>(WheelLines()); }

int TextView::VisibleLines() const {
  return std::max(1, static_cast<int>(viewport()->height() / style_.line_height));
}

void TextView::UpdateScrollBars() {
  const int visible = VisibleLines();
  const auto lines = static_cast<qint64>(document_.LineCount());
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::clamp<qint64>(lines - visible, 0, std::numeric_limits<int>::max())));
  vertical->setPageStep(visible);
  vertical->setSingleStep(1);
  QScrollBar* horizontal = horizontalScrollBar();
  const double content = document_.WidestLine() + 2 * kMargin + 1;
  const double range = std::min(content - viewport()->width(), static_cast<double>(std::numeric_limits<int>::max()));
  horizontal->setRange(0, static_cast<int>(std::max(0.0, std::ceil(range))));
  horizontal->setPageStep(std::max(1, viewport()->width()));
}

void TextView::NoteLineWidth(double width) {
  if (!document_.NoteLineWidth(width)) return;
  QMetaObject::invokeMethod(this, [this] { UpdateScrollBars(); }, Qt::QueuedConnection);
}

QPointF TextView::PointAt(std::size_t position) const {
  position = std::min(position, document_.Size());
  const double row = static_cast<double>(document_.LineOf(position)) - verticalScrollBar()->value();
  const double x = document_.X(position) + kMargin - horizontalScrollBar()->value();
  return QPointF(x, row * style_.line_height);
}

QRectF TextView::CaretRect() const {
  const QPointF at = PointAt(document_.Caret());
  return QRectF(at.x() - 1, at.y(), 3, style_.line_height);
}

void TextView::ShowPosition(std::size_t position) {
  position = std::min(position, document_.Size());
  const double x = document_.X(position);
  NoteLineWidth(x);
  if (x + 2 * kMargin > horizontalScrollBar()->maximum() + viewport()->width()) UpdateScrollBars();
  QScrollBar* vertical = verticalScrollBar();
  QScrollBar* horizontal = horizontalScrollBar();
  const ViewPlace place = ScrollToShow(
      {.top_line = static_cast<std::size_t>(vertical->value()), .left = static_cast<double>(horizontal->value())},
      document_.LineOf(position), x,
      {.lines = static_cast<std::size_t>(VisibleLines()), .width = static_cast<double>(viewport()->width()), .margin = kMargin});
  vertical->setValue(static_cast<int>(std::min<std::size_t>(place.top_line, std::numeric_limits<int>::max())));
  horizontal->setValue(static_cast<int>(place.left));
  updateMicroFocus();
}

std::size_t TextView::PositionAt(QPoint point) const {
  const auto row = static_cast<qint64>(std::floor(point.y() / style_.line_height));
  const auto line = static_cast<std::size_t>(std::clamp<qint64>(
      verticalScrollBar()->value() + row, 0, static_cast<qint64>(document_.LineCount()) - 1));
  return document_.PositionAt(line, point.x() + horizontalScrollBar()->value() - kMargin);
}

void TextView::RestartBlink() {
  caret_shown_ = true;
  const int flash = QApplication::cursorFlashTime();
  if (hasFocus() && flash > 0) {
    blink_.start(flash / 2);
  } else {
    blink_.stop();
  }
}

bool TextView::viewportEvent(QEvent* event) {
  try {
    return QAbstractScrollArea::viewportEvent(event);
  } catch (const std::bad_alloc&) {
    QApplication::beep();
    return true;
  }
}

void TextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlink();
  viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  editor_.Release();
  drag_scroll_.stop();
  blink_.stop();
  viewport()->update();
}

void TextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMetrics();
  if (event->type() == QEvent::PaletteChange) viewport()->update();
}

void TextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void TextView::scrollContentsBy(int, int) { viewport()->update(); }

void TextView::paintEvent(QPaintEvent* event) {
  TextPainter painter(*this);
  painter.Paint(event->rect());
}

}  // namespace host::qt
