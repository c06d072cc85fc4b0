#include "host/qt/text_view_accessible.h"

#include <algorithm>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"

namespace host::qt {
namespace {

QAccessibleInterface* Create(const QString&, QObject* object) {
  auto* view = dynamic_cast<TextView*>(object);
  return view != nullptr ? new TextViewAccessible(view) : nullptr;
}

}  // namespace

TextViewAccessible::TextViewAccessible(TextView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

// Qt forgets its factories with each application object and keeps each
// factory only once, so every view registers it again.
void TextViewAccessible::Register() { QAccessible::installFactory(&Create); }

TextView& TextViewAccessible::View() const { return *static_cast<TextView*>(widget()); }

void* TextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString TextViewAccessible::text(QAccessible::Text kind) const {
  if (kind == QAccessible::Value) return ToQString(View().Text());
  return QAccessibleWidget::text(kind);
}

QAccessible::State TextViewAccessible::state() const {
  QAccessible::State state = QAccessibleWidget::state();
  state.editable = true;
  state.multiLine = true;
  state.selectableText = true;
  return state;
}

void TextViewAccessible::selection(int index, int* start, int* end) const {
  const TextSpan span = View().Selection();
  *start = *end = 0;
  if (index != 0 || span.begin == span.end) return;
  *start = static_cast<int>(span.begin);
  *end = static_cast<int>(span.end);
}

int TextViewAccessible::selectionCount() const {
  const TextSpan span = View().Selection();
  return span.begin == span.end ? 0 : 1;
}

void TextViewAccessible::addSelection(int start, int end) { setSelection(0, start, end); }

void TextViewAccessible::removeSelection(int index) {
  if (index == 0) View().SetSelection(View().Caret(), View().Caret());
}

void TextViewAccessible::setSelection(int index, int start, int end) {
  if (index != 0) return;
  const auto size = static_cast<int>(View().Text().size());
  View().SetSelection(static_cast<std::size_t>(std::clamp(start, 0, size)),
                      static_cast<std::size_t>(std::clamp(end, 0, size)));
}

int TextViewAccessible::cursorPosition() const { return static_cast<int>(View().Caret()); }

void TextViewAccessible::setCursorPosition(int position) { setSelection(0, position, position); }

QString TextViewAccessible::text(int start, int end) const {
  const StringView text = View().Text();
  const auto size = static_cast<int>(text.size());
  start = std::clamp(start, 0, size);
  end = std::clamp(end, start, size);
  return ToQString(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

int TextViewAccessible::characterCount() const { return static_cast<int>(View().Text().size()); }

QRect TextViewAccessible::characterRect(int offset) const {
  TextView& view = View();
  const auto position = static_cast<std::size_t>(std::max(0, offset));
  const QPointF begin = view.PointAt(position);
  const QPointF end = view.PointAt(std::min(view.Text().size(), position + 1));
  const double width = end.y() == begin.y() ? std::max(1.0, end.x() - begin.x()) : 1.0;
  const QRectF cell(begin.x(), begin.y(), width, view.LineHeight());
  return QRect(view.viewport()->mapToGlobal(cell.topLeft().toPoint()), cell.size().toSize());
}

int TextViewAccessible::offsetAtPoint(const QPoint& point) const {
  TextView& view = View();
  return static_cast<int>(view.PositionAt(view.viewport()->mapFromGlobal(point)));
}

void TextViewAccessible::scrollToSubstring(int start, int end) {
  View().ShowPosition(static_cast<std::size_t>(std::max(0, end)));
  View().ShowPosition(static_cast<std::size_t>(std::max(0, start)));
}

QString TextViewAccessible::attributes(int offset, int* start, int* end) const {
  *start = *end = offset;
  return {};
}

}  // namespace host::qt
