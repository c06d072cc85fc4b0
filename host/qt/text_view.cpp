#include "host/qt/text_view.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

#include "host/textbox/control_marks.h"
#include "host/textbox/line_breaks.h"
#include "host/qt/clipboard_text.h"
#include "host/qt/qt_string.h"
#include "host/qt/text_painter.h"
#include "host/qt/text_view_accessible.h"

namespace host::qt {
namespace {

constexpr double kTabCells = 8;             // tab stops, in average character widths
constexpr double kMarkFontScale = 0.7;      // control marks are drawn smaller than the text
constexpr double kMarkPadding = 4;          // pixels around a mark's name
constexpr int kHorizontalStep = 20;         // pixels per click on the scroll bar's arrow
constexpr std::size_t kSurroundingUnits = 512;  // text an input method sees on each side
constexpr int kDragScrollMs = 50;

bool IsTypedText(const QString& text) {
  if (text.isEmpty()) return false;
  return std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

}  // namespace

TextView::TextView(QWidget* parent) : QAbstractScrollArea(parent) {
  TextViewAccessible::Register();
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
  drag_scroll_.callOnTimeout(this, [this] { MoveCaret(PositionAt(drag_point_), true); });
  UpdateMetrics();
}

TextView::~TextView() = default;

void TextView::UpdateMetrics() {
  text_font_ = font();
  // Kerning off: each character then advances by its own width wherever it
  // stands, which is what lets a long line be laid out from any point.
  text_font_.setKerning(false);
  mark_font_ = text_font_;
  mark_font_.setPointSizeF(text_font_.pointSizeF() * kMarkFontScale);
  const QFontMetricsF text_metrics(text_font_, viewport());
  const QFontMetricsF mark_metrics(mark_font_, viewport());
  line_height_ = std::max(1.0, std::ceil(text_metrics.lineSpacing()));
  ascent_ = text_metrics.ascent();
  average_advance_ = std::max(1.0, text_metrics.averageCharWidth());
  auto measure = [text_metrics, mark_metrics](char32_t character) {
    const std::string_view mark = ControlMark(character);
    if (!mark.empty()) {
      return mark_metrics.horizontalAdvance(QString::fromLatin1(mark.data(), static_cast<qsizetype>(mark.size()))) +
             kMarkPadding;
    }
    return text_metrics.horizontalAdvance(QString::fromUcs4(&character, 1));
  };
  geometry_ = std::make_unique<LineGeometry>(measure, kTabCells * average_advance_);
  widest_ = 0;
  widths_stale_ = true;
  UpdateScrollBars();
  viewport()->update();
}

TextSpan TextView::Selection() const {
  return {std::min(caret_, anchor_), std::max(caret_, anchor_)};
}

void TextView::SetSelection(std::size_t anchor, std::size_t caret) {
  anchor_ = SnapToBoundary(buffer_.Text(), anchor);
  caret_ = SnapToBoundary(buffer_.Text(), caret);
  goal_x_ = -1;
  undo_.Close();
  EnsureCaretVisible();
  RestartBlink();
  viewport()->update();
}

void TextView::SetText(StringView text) {
  Edit(0, buffer_.Size(), String(text), EditKind::kOther, 0);
}

void TextView::Edit(std::size_t position, std::size_t length, String text, EditKind kind,
                    std::optional<std::size_t> caret) {
  const std::size_t inserted = text.size();
  String removed = buffer_.Replace(position, length, std::move(text));
  geometry_->Invalidate(position);
  caret_ = anchor_ = caret.value_or(position + inserted);
  try {
    undo_.Record(buffer_, kind, position, std::move(removed), inserted);
  } catch (const std::bad_alloc&) {
    // The edit stands without its undo history, which the stack has dropped.
  }
  AfterTextChange();
}

void TextView::AfterTextChange() {
  goal_x_ = -1;
  widths_stale_ = true;
  UpdateScrollBars();
  EnsureCaretVisible();
  RestartBlink();
  viewport()->update();
  updateMicroFocus();
}

void TextView::ReplaceSelection(String text, EditKind kind) {
  const TextSpan selection = Selection();
  if (selection.begin == selection.end && text.empty()) return;
  Edit(selection.begin, selection.end - selection.begin, std::move(text), kind);
}

void TextView::SelectAll() { SetSelection(0, buffer_.Size()); }

void TextView::Copy() const {
  const TextSpan selection = Selection();
  if (selection.begin == selection.end) return;
  const StringView chosen = StringView(buffer_.Text()).substr(selection.begin, selection.end - selection.begin);
  QApplication::clipboard()->setMimeData(ClipboardData(CrLfToLf(chosen)));
}

void TextView::Cut() {
  Copy();
  DeleteSelection();
}

void TextView::Paste() {
  const String pasted = ClipboardText(QApplication::clipboard()->mimeData());
  if (pasted.empty()) return;
  undo_.Close();
  ReplaceSelection(ToCrLf(pasted), EditKind::kOther);
}

void TextView::DeleteSelection() { ReplaceSelection(String(), EditKind::kOther); }

void TextView::Undo() {
  if (const auto range = undo_.Undo(buffer_)) {
    geometry_->Invalidate(range->position);
    anchor_ = range->position;
    caret_ = range->position + range->length;
    AfterTextChange();
  }
}

void TextView::Redo() {
  if (const auto range = undo_.Redo(buffer_)) {
    geometry_->Invalidate(range->position);
    caret_ = anchor_ = range->position + range->length;
    AfterTextChange();
  }
}

int TextView::VisibleLines() const {
  return std::max(1, static_cast<int>(viewport()->height() / line_height_));
}

void TextView::UpdateScrollBars() {
  const int visible = VisibleLines();
  const auto lines = static_cast<qint64>(buffer_.LineCount());
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, static_cast<int>(std::clamp<qint64>(lines - visible, 0, std::numeric_limits<int>::max())));
  vertical->setPageStep(visible);
  vertical->setSingleStep(1);
  if (widths_stale_) {
    // The line of most units stands for the widest; lines painted later
    // widen the range if they are wider still.
    const std::size_t longest = buffer_.Lines().LongestLine(buffer_.Size());
    const std::size_t start = buffer_.LineStart(longest);
    const StringView line = buffer_.Line(longest);
    widest_ = geometry_->X(start, line, line.size());
    widths_stale_ = false;
  }
  QScrollBar* horizontal = horizontalScrollBar();
  const double content = widest_ + 2 * TextPainter::kMargin + 1;
  const double range = std::min(content - viewport()->width(), static_cast<double>(std::numeric_limits<int>::max()));
  horizontal->setRange(0, static_cast<int>(std::max(0.0, std::ceil(range))));
  horizontal->setPageStep(std::max(1, viewport()->width()));
}

void TextView::NoteLineWidth(double width) {
  if (width <= widest_) return;
  widest_ = width;
  QMetaObject::invokeMethod(this, [this] { UpdateScrollBars(); }, Qt::QueuedConnection);
}

double TextView::CaretX(std::size_t position) {
  const std::size_t line = buffer_.Lines().LineOf(position);
  const std::size_t start = buffer_.LineStart(line);
  return geometry_->X(start, buffer_.Line(line), position - start);
}

QPointF TextView::PointAt(std::size_t position) const {
  position = std::min(position, buffer_.Size());
  const std::size_t line = buffer_.Lines().LineOf(position);
  const double row = static_cast<double>(line) - verticalScrollBar()->value();
  const std::size_t start = buffer_.LineStart(line);
  const double x = geometry_->X(start, buffer_.Line(line), position - start) + TextPainter::kMargin -
                   horizontalScrollBar()->value();
  return QPointF(x, row * line_height_);
}

QRectF TextView::CaretRect() const {
  const QPointF at = PointAt(caret_);
  return QRectF(at.x() - 1, at.y(), 3, line_height_);
}

void TextView::EnsureCaretVisible() { ShowPosition(caret_); }

void TextView::ShowPosition(std::size_t position) {
  position = std::min(position, buffer_.Size());
  const auto line = static_cast<qint64>(buffer_.Lines().LineOf(position));
  QScrollBar* vertical = verticalScrollBar();
  const int visible = VisibleLines();
  if (line < vertical->value()) vertical->setValue(static_cast<int>(line));
  if (line >= vertical->value() + visible) vertical->setValue(static_cast<int>(line - visible + 1));

  const double x = CaretX(position);
  NoteLineWidth(x);
  if (x + 2 * TextPainter::kMargin > horizontalScrollBar()->maximum() + viewport()->width()) UpdateScrollBars();
  QScrollBar* horizontal = horizontalScrollBar();
  const double width = viewport()->width();
  const double left = horizontal->value();
  if (x < left) {
    horizontal->setValue(static_cast<int>(std::max(0.0, x - width / 4)));
  } else if (x + 2 * TextPainter::kMargin > left + width) {
    horizontal->setValue(static_cast<int>(std::ceil(x + 2 * TextPainter::kMargin - width * 3 / 4)));
  }
  updateMicroFocus();
}

std::size_t TextView::PositionAt(QPoint point) const {
  const auto row = static_cast<qint64>(std::floor(point.y() / line_height_));
  const auto line = static_cast<std::size_t>(std::clamp<qint64>(
      verticalScrollBar()->value() + row, 0, static_cast<qint64>(buffer_.LineCount()) - 1));
  const std::size_t start = buffer_.LineStart(line);
  const double x = point.x() + horizontalScrollBar()->value() - TextPainter::kMargin;
  return start + geometry_->Nearest(start, buffer_.Line(line), x);
}

void TextView::MoveCaret(std::size_t position, bool extend) {
  caret_ = SnapToBoundary(buffer_.Text(), position);
  if (!extend) anchor_ = caret_;
  undo_.Close();
  EnsureCaretVisible();
  RestartBlink();
  viewport()->update();
  if (QAccessible::isActive()) {
    QAccessibleTextCursorEvent moved(this, static_cast<int>(caret_));
    QAccessible::updateAccessibility(&moved);
  }
}

std::size_t TextView::VerticalTarget(std::ptrdiff_t lines) {
  const std::size_t line = buffer_.Lines().LineOf(caret_);
  if (goal_x_ < 0) goal_x_ = CaretX(caret_);
  const auto last = static_cast<std::ptrdiff_t>(buffer_.LineCount()) - 1;
  const auto target = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(line) + lines, 0, last));
  const std::size_t start = buffer_.LineStart(target);
  return start + geometry_->Nearest(start, buffer_.Line(target), goal_x_);
}

bool TextView::HandleMovement(QKeyEvent* event) {
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const StringView text = buffer_.Text();
  const TextSpan selection = Selection();
  const std::size_t line = buffer_.Lines().LineOf(caret_);
  std::size_t target = caret_;
  bool vertical = false;
  switch (event->key()) {
    case Qt::Key_Left:
      if (control) {
        target = PreviousWordStart(text, caret_);
      } else if (!extend && selection.begin != selection.end) {
        target = selection.begin;
      } else {
        target = PreviousBoundary(text, caret_);
      }
      break;
    case Qt::Key_Right:
      if (control) {
        target = NextWordStart(text, caret_);
      } else if (!extend && selection.begin != selection.end) {
        target = selection.end;
      } else {
        target = NextBoundary(text, caret_);
      }
      break;
    case Qt::Key_Home:
      target = control ? 0 : buffer_.LineStart(line);
      break;
    case Qt::Key_End:
      target = control ? buffer_.Size() : buffer_.LineEnd(line);
      break;
    case Qt::Key_Up:
      if (control) return false;
      target = VerticalTarget(-1);
      vertical = true;
      break;
    case Qt::Key_Down:
      if (control) return false;
      target = VerticalTarget(1);
      vertical = true;
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const int page = VisibleLines();
      const bool down = event->key() == Qt::Key_PageDown;
      target = VerticalTarget(down ? page : -page);
      verticalScrollBar()->setValue(verticalScrollBar()->value() + (down ? page : -page));
      vertical = true;
      break;
    }
    default:
      return false;
  }
  MoveCaret(target, extend);
  if (!vertical) goal_x_ = -1;
  return true;
}

bool TextView::HandleCommand(QKeyEvent* event) {
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  const bool control = modifiers == Qt::ControlModifier;
  const bool shift = modifiers == Qt::ShiftModifier;
  const bool control_shift = modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
  const int key = event->key();
  if (control && key == Qt::Key_A) {
    SelectAll();
  } else if ((control && key == Qt::Key_C) || (control && key == Qt::Key_Insert)) {
    Copy();
  } else if ((control && key == Qt::Key_X) || (shift && key == Qt::Key_Delete)) {
    Cut();
  } else if ((control && key == Qt::Key_V) || (shift && key == Qt::Key_Insert)) {
    Paste();
  } else if (control && key == Qt::Key_Z) {
    Undo();
  } else if ((control && key == Qt::Key_Y) || (control_shift && key == Qt::Key_Z)) {
    Redo();
  } else {
    return false;
  }
  return true;
}

void TextView::keyPressEvent(QKeyEvent* event) {
  if (HandleCommand(event) || HandleMovement(event)) return;
  const bool control = event->modifiers() & Qt::ControlModifier;
  const StringView text = buffer_.Text();
  const TextSpan selection = Selection();
  switch (event->key()) {
    case Qt::Key_Backspace:
      if (selection.begin != selection.end) {
        DeleteSelection();
      } else if (caret_ > 0) {
        const std::size_t from = control ? PreviousWordStart(text, caret_) : PreviousBoundary(text, caret_);
        Edit(from, caret_ - from, String(), EditKind::kBackspace);
      }
      return;
    case Qt::Key_Delete:
      if (selection.begin != selection.end) {
        DeleteSelection();
      } else if (caret_ < text.size()) {
        const std::size_t to = control ? NextWordStart(text, caret_) : NextBoundary(text, caret_);
        Edit(caret_, to - caret_, String(), EditKind::kDelete);
      }
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ReplaceSelection(u"\r\n", EditKind::kTyping);
      return;
    default:
      break;
  }
  const bool alt_gr = (event->modifiers() & Qt::ControlModifier) && (event->modifiers() & Qt::AltModifier);
  if ((!control || alt_gr) && IsTypedText(event->text())) {
    ReplaceSelection(ToString(event->text()), EditKind::kTyping);
    return;
  }
  event->ignore();
}

bool TextView::event(QEvent* event) {
  // Keys the box handles itself are not to be taken as shortcuts of the window.
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    if ((!control && IsTypedText(key->text())) ||
        (control && (key->key() == Qt::Key_A || key->key() == Qt::Key_C || key->key() == Qt::Key_X ||
                     key->key() == Qt::Key_V || key->key() == Qt::Key_Z || key->key() == Qt::Key_Y ||
                     key->key() == Qt::Key_Insert || key->key() == Qt::Key_Left ||
                     key->key() == Qt::Key_Right || key->key() == Qt::Key_Home || key->key() == Qt::Key_End))) {
      event->accept();
      return true;
    }
  }
  // No exception may cross Qt's event loop; an edit that runs out of memory
  // leaves the text as it was.
  try {
    return QAbstractScrollArea::event(event);
  } catch (const std::bad_alloc&) {
    QApplication::beep();
    return true;
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

void TextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting_ = true;
  MoveCaret(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
  drag_point_ = event->position().toPoint();
  MoveCaret(PositionAt(drag_point_), true);
  // Each tick moves the caret as far again past the edge, and the view follows it.
  if (viewport()->rect().contains(drag_point_)) {
    drag_scroll_.stop();
  } else if (!drag_scroll_.isActive()) {
    drag_scroll_.start();
  }
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting_ = false;
  drag_scroll_.stop();
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const TextSpan word = WordAt(buffer_.Text(), PositionAt(event->position().toPoint()));
  SetSelection(word.begin, word.end);
}

QMenu* TextView::CreateContextMenu() {
  auto* menu = new QMenu(this);
  const bool selected = caret_ != anchor_;
  auto add = [menu](const QString& text, bool enabled, auto action) {
    QAction* item = menu->addAction(text, action);
    item->setEnabled(enabled);
  };
  add(tr("&Undo"), CanUndo(), [this] { Undo(); });
  add(tr("&Redo"), CanRedo(), [this] { Redo(); });
  menu->addSeparator();
  add(tr("Cu&t"), selected, [this] { Cut(); });
  add(tr("&Copy"), selected, [this] { Copy(); });
  add(tr("&Paste"), !QApplication::clipboard()->text().isEmpty(), [this] { Paste(); });
  add(tr("&Delete"), selected, [this] { DeleteSelection(); });
  menu->addSeparator();
  add(tr("Select &All"), !buffer_.Text().empty(), [this] { SelectAll(); });
  return menu;
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
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

void TextView::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlink();
  viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  selecting_ = false;
  drag_scroll_.stop();
  blink_.stop();
  viewport()->update();
}

void TextView::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
    if (event->replacementLength() > 0 && caret_ == anchor_) {
      // The input method replaces text next to the caret, counted in units.
      const auto start = static_cast<std::ptrdiff_t>(caret_) + event->replacementStart();
      const std::size_t from = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(start, 0, static_cast<std::ptrdiff_t>(buffer_.Size())));
      anchor_ = SnapToBoundary(buffer_.Text(), from);
      caret_ = SnapToBoundary(buffer_.Text(), std::min(buffer_.Size(), from + static_cast<std::size_t>(event->replacementLength())));
    }
    ReplaceSelection(ToCrLf(ToString(event->commitString())), EditKind::kTyping);
  }
  preedit_ = event->preeditString();
  viewport()->update();
  event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
  const StringView text = buffer_.Text();
  const std::size_t line = buffer_.Lines().LineOf(caret_);
  // Only a window around the caret: a line may be megabytes long.
  const std::size_t from = SnapToBoundary(text, std::max(buffer_.LineStart(line), caret_ > kSurroundingUnits ? caret_ - kSurroundingUnits : 0));
  const std::size_t to = SnapToBoundary(text, std::min(buffer_.LineEnd(line), caret_ + kSurroundingUnits));
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
      return CaretRect().translated(viewport()->pos());
    case Qt::ImFont:
      return text_font_;
    case Qt::ImCursorPosition:
      return static_cast<int>(caret_ - from);
    case Qt::ImAnchorPosition:
      return static_cast<int>(std::clamp(anchor_, from, to) - from);
    case Qt::ImSurroundingText:
      return ToQString(text.substr(from, to - from));
    case Qt::ImCurrentSelection: {
      const TextSpan selection = Selection();
      const std::size_t begin = std::clamp(selection.begin, from, to);
      const std::size_t end = std::clamp(selection.end, from, to);
      return ToQString(text.substr(begin, end - begin));
    }
    case Qt::ImHints:
      return static_cast<int>(Qt::ImhMultiLine);
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
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
