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
#include <QStyleHints>
#include <QKeySequence>
#include <QWheelEvent>
#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "host/qt/clipboard_text.h"
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

std::optional<Key> KeyOf(int key) {
  switch (key) {
    case Qt::Key_Left: return Key::kLeft;
    case Qt::Key_Right: return Key::kRight;
    case Qt::Key_Up: return Key::kUp;
    case Qt::Key_Down: return Key::kDown;
    case Qt::Key_Home: return Key::kHome;
    case Qt::Key_End: return Key::kEnd;
    case Qt::Key_PageUp: return Key::kPageUp;
    case Qt::Key_PageDown: return Key::kPageDown;
    case Qt::Key_Backspace: return Key::kBackspace;
    case Qt::Key_Delete: return Key::kDelete;
    case Qt::Key_Insert: return Key::kInsert;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::kEnter;
    case Qt::Key_A: return Key::kA;
    case Qt::Key_C: return Key::kC;
    case Qt::Key_V: return Key::kV;
    case Qt::Key_X: return Key::kX;
    case Qt::Key_Y: return Key::kY;
    case Qt::Key_Z: return Key::kZ;
    default: return std::nullopt;
  }
}

KeyModifiers ModifiersOf(Qt::KeyboardModifiers modifiers) {
  return {.control = modifiers.testFlag(Qt::ControlModifier),
          .shift = modifiers.testFlag(Qt::ShiftModifier),
          .alt = modifiers.testFlag(Qt::AltModifier)};
}

// The command a key event stands for in the box.
KeyCommand CommandOf(const QKeyEvent& event) {
  const std::optional<Key> key = KeyOf(event.key());
  return key ? CommandForKey(*key, ModifiersOf(event.modifiers())) : KeyCommand{};
}

}  // namespace

bool TextView::event(QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // Keys the box takes, and text typed, are not the window's shortcuts.
    auto* key = static_cast<QKeyEvent*>(event);
    const bool control = key->modifiers() & Qt::ControlModifier;
    if ((!control && IsTypedText(key->text())) || (control && CommandOf(*key).command != Command::kNone)) {
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

void TextView::keyPressEvent(QKeyEvent* event) {
  const KeyCommand command = CommandOf(*event);
  if (command.command != Command::kNone) return editor_.Run(command.command, command.extend);
  const bool control = event->modifiers() & Qt::ControlModifier;
  const bool alt_gr = control && (event->modifiers() & Qt::AltModifier);
  if ((!control || alt_gr) && IsTypedText(event->text())) return document_.Type(ToString(event->text()));
  event->ignore();
}

// Qt tells a double click in place of its second press, but no triple
// click: other presses are counted by time and place.
void TextView::Press(const QMouseEvent& event, int clicks) {
  const QPoint point = event.position().toPoint();
  editor_.Press({.position = PositionAt(point),
                 .time_ms = static_cast<std::int64_t>(event.timestamp()),
                 .x = point.x(),
                 .y = point.y(),
                 .extend = event.modifiers().testFlag(Qt::ShiftModifier),
                 .clicks = clicks},
                {.interval_ms = QApplication::doubleClickInterval(), .distance = QApplication::startDragDistance()});
}

void TextView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Press(*event, 0);
  if (event->button() == Qt::MiddleButton) editor_.PastePrimaryAt(PositionAt(event->position().toPoint()));
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) Press(*event, 2);
}

void TextView::mouseMoveEvent(QMouseEvent* event) {
  if (!editor_.Dragging() || !(event->buttons() & Qt::LeftButton)) return;
  drag_point_ = event->position().toPoint();
  editor_.Drag(PositionAt(drag_point_));
  // Each tick moves the caret as far again past the edge, and the view follows it.
  if (viewport()->rect().contains(drag_point_)) {
    drag_scroll_.stop();
  } else if (!drag_scroll_.isActive()) {
    drag_scroll_.start();
  }
}

void TextView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  editor_.Release();
  drag_scroll_.stop();
}

void TextView::wheelEvent(QWheelEvent* event) {
  const QPoint turn = event->angleDelta();
  editor_.Wheel(turn.x(), turn.y(), event->modifiers().testFlag(Qt::ShiftModifier));
  event->accept();
}

QMenu* TextView::CreateContextMenu() {
  auto* menu = new QMenu(this);
  for (const MenuEntry& entry : editor_.ContextMenu(ClipboardMayHaveText())) {
    if (entry.command == Command::kNone) {
      menu->addSeparator();
      continue;
    }
    QAction* item = menu->addAction(MenuText(entry.command), [this, command = entry.command] { editor_.Run(command); });
    item->setEnabled(entry.enabled);
  }
  return menu;
}

// The texts and shortcut hints of the toolkit's own text boxes, so that the
// toolkit's translations give them in the user's language.
QString TextView::MenuText(Command command) {
  auto text = [](const char* source, std::optional<QKeySequence::StandardKey> key) {
    QString shown = QCoreApplication::translate("QWidgetTextControl", source);
    if (key && QGuiApplication::styleHints()->showShortcutsInContextMenus()) {
      shown += QLatin1Char('\t') + QKeySequence(*key).toString(QKeySequence::NativeText);
    }
    return shown;
  };
  switch (command) {
    case Command::kUndo: return text("&Undo", QKeySequence::Undo);
    case Command::kRedo: return text("&Redo", QKeySequence::Redo);
    case Command::kCut: return text("Cu&t", QKeySequence::Cut);
    case Command::kCopy: return text("&Copy", QKeySequence::Copy);
    case Command::kPaste: return text("&Paste", QKeySequence::Paste);
    case Command::kDeleteSelection: return text("Delete", std::nullopt);
    case Command::kSelectAll: return text("Select All", QKeySequence::SelectAll);
    default: return {};
  }
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
