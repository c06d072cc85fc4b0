// What keys, the mouse and the input method do in a TextView: each maps to
// a command of its document.
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>
#include <new>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/textbox/line_breaks.h"

namespace host::qt {
namespace {

constexpr std::size_t kSurroundingUnits = 512;  // text an input method sees on each side

bool IsTypedText(const QString& text) {
  if (text.isEmpty()) return false;
  return std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7F; });
}

// Keys the box handles itself with Control held, which the window must not
// take as its shortcuts.
bool IsOwnControlKey(int key) {
  switch (key) {
    case Qt::Key_A:
    case Qt::Key_C:
    case Qt::Key_X:
    case Qt::Key_V:
    case Qt::Key_Z:
    case Qt::Key_Y:
    case Qt::Key_Insert:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}

}  // namespace

bool TextView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    if ((!control && IsTypedText(key->text())) || (control && IsOwnControlKey(key->key()))) {
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

bool TextView::HandleMovement(QKeyEvent* event) {
  const bool extend = event->modifiers() & Qt::ShiftModifier;
  const bool control = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Left:
      document_.Move(control ? Motion::kWordLeft : Motion::kLeft, extend);
      return true;
    case Qt::Key_Right:
      document_.Move(control ? Motion::kWordRight : Motion::kRight, extend);
      return true;
    case Qt::Key_Home:
      document_.Move(control ? Motion::kTextStart : Motion::kLineStart, extend);
      return true;
    case Qt::Key_End:
      document_.Move(control ? Motion::kTextEnd : Motion::kLineEnd, extend);
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (control) return false;
      document_.MoveLines(event->key() == Qt::Key_Down ? 1 : -1, extend);
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      const int page = event->key() == Qt::Key_PageDown ? VisibleLines() : -VisibleLines();
      verticalScrollBar()->setValue(verticalScrollBar()->value() + page);
      document_.MoveLines(page, extend);
      return true;
    }
    default:
      return false;
  }
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

bool TextView::HandleEdit(QKeyEvent* event) {
  const bool control = event->modifiers() & Qt::ControlModifier;
  switch (event->key()) {
    case Qt::Key_Backspace:
      document_.DeleteBackward(control);
      return true;
    case Qt::Key_Delete:
      document_.DeleteForward(control);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      document_.InsertLineBreak();
      return true;
    default:
      break;
  }
  const bool alt_gr = control && (event->modifiers() & Qt::AltModifier);
  if ((!control || alt_gr) && IsTypedText(event->text())) {
    document_.Type(ToString(event->text()));
    return true;
  }
  return false;
}

void TextView::keyPressEvent(QKeyEvent* event) {
  if (HandleCommand(event) || HandleMovement(event) || HandleEdit(event)) return;
  event->ignore();
}

void TextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  selecting_ = true;
  document_.MoveTo(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) return;
  drag_point_ = event->position().toPoint();
  document_.MoveTo(PositionAt(drag_point_), true);
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
  document_.SelectWordAt(PositionAt(event->position().toPoint()));
}

QMenu* TextView::CreateContextMenu() {
  auto* menu = new QMenu(this);
  const bool selected = document_.HasSelection();
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
  add(tr("Select &All"), document_.Size() != 0, [this] { SelectAll(); });
  return menu;
}

void TextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void TextView::inputMethodEvent(QInputMethodEvent* event) {
  if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
    TextSpan replaced = document_.Selection();
    const std::size_t caret = document_.Caret();
    if (event->replacementLength() > 0 && !document_.HasSelection()) {
      // The input method replaces text next to the caret, counted in units.
      const auto start = static_cast<std::ptrdiff_t>(caret) + event->replacementStart();
      const auto from = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(start, 0, static_cast<std::ptrdiff_t>(document_.Size())));
      replaced = {from, std::min(document_.Size(), from + static_cast<std::size_t>(event->replacementLength()))};
    }
    document_.Replace(replaced, ToCrLf(ToString(event->commitString())), EditKind::kTyping);
  }
  preedit_ = event->preeditString();
  viewport()->update();
  event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const {
  const StringView text = document_.Text();
  const std::size_t caret = document_.Caret();
  const std::size_t line = document_.LineOf(caret);
  // Only a window around the caret: a line may be megabytes long.
  const std::size_t from = SnapToBoundary(text, std::max(document_.LineStart(line), caret > kSurroundingUnits ? caret - kSurroundingUnits : 0));
  const std::size_t to = SnapToBoundary(text, std::min(document_.LineEnd(line), caret + kSurroundingUnits));
  switch (query) {
    case Qt::ImEnabled:
      return true;
    case Qt::ImCursorRectangle:
      return CaretRect().translated(viewport()->pos());
    case Qt::ImFont:
      return style_.text_font;
    case Qt::ImCursorPosition:
      return static_cast<int>(caret - from);
    case Qt::ImAnchorPosition:
      return static_cast<int>(std::clamp(document_.Anchor(), from, to) - from);
    case Qt::ImSurroundingText:
      return ToQString(text.substr(from, to - from));
    case Qt::ImCurrentSelection: {
      const TextSpan selection = document_.Selection();
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

}  // namespace host::qt
