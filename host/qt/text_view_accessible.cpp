#include "host/qt/text_view_accessible.h"

#include <QTextBoundaryFinder>
#include <algorithm>

#include "host/qt/qt_string.h"
#include "host/qt/text_view.h"
#include "host/textbox/reader_units.h"
#include "host/textbox/text_boundaries.h"

namespace host::qt {
namespace {

// The most units an edit's event carries: enough to speak what was typed or
// pasted, little enough that a paste of megabytes costs no reader a wait.
constexpr std::size_t kEventTextCap = 4096;
// How far a sentence is looked for on either side of an offset.
constexpr std::size_t kSentenceReach = 4096;

QAccessibleInterface* Create(const QString&, QObject* object) {
  auto* view = dynamic_cast<TextView*>(object);
  return view != nullptr ? new TextViewAccessible(view) : nullptr;
}

// The sentence around `at` in `line`, found as stock text boxes find it but
// within reach of `at`.
TextSpan SentenceAt(StringView line, std::size_t at) {
  const std::size_t begin = at > kSentenceReach ? SnapToBoundary(line, at - kSentenceReach) : 0;
  const std::size_t end = SnapToBoundary(line, std::min(line.size(), at + kSentenceReach));
  const QString window = QString::fromRawData(reinterpret_cast<const QChar*>(line.data() + begin),
                                              static_cast<qsizetype>(end - begin));
  QTextBoundaryFinder finder(QTextBoundaryFinder::Sentence, window);
  const auto offset = static_cast<qsizetype>(at - begin);
  finder.setPosition(offset);
  qsizetype previous = offset;
  if (!finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)) previous = finder.toPreviousBoundary();
  const qsizetype next = finder.toNextBoundary();
  TextSpan span{begin, end};
  if (next >= 0) span.end = begin + static_cast<std::size_t>(next);
  if (previous >= 0) span.begin = begin + static_cast<std::size_t>(previous);
  return span;
}

}  // namespace

TextViewAccessible::TextViewAccessible(TextView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

// Qt forgets its factories with each application object and keeps each
// factory only once, so every view registers it again.
void TextViewAccessible::Register() { QAccessible::installFactory(&Create); }

TextView& TextViewAccessible::View() const { return *static_cast<TextView*>(widget()); }

void* TextViewAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString TextViewAccessible::text(QAccessible::Text kind) const {
  if (kind == QAccessible::Value) {
    return ToQString(ReaderValue(View().Text()));
  }
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
  end = std::clamp(end, start, static_cast<int>(std::min(text.size(), static_cast<std::size_t>(start) + kReaderTextCap)));
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

void TextViewAccessible::replaceText(int start, int end, const QString& text) {
  const auto size = static_cast<int>(View().Text().size());
  start = std::clamp(start, 0, size);
  end = std::clamp(end, start, size);
  View().Document().Replace({static_cast<std::size_t>(start), static_cast<std::size_t>(end)}, ToString(text),
                            EditKind::kOther);
}

TextSpan TextViewAccessible::SpanAt(int offset, QAccessible::TextBoundaryType boundary) const {
  const TextDocument& document = View().Document();
  const std::size_t size = document.Size();
  if (boundary == QAccessible::NoBoundary) return {0, std::min(size, kReaderTextCap)};
  const std::size_t position = std::min(static_cast<std::size_t>(std::max(offset, 0)), size);
  const std::size_t line = document.LineOf(position);
  const std::size_t line_start = document.LineStart(line);
  const std::size_t line_end = document.LineEnd(line);
  const StringView text = document.Line(line);
  // A position inside a line break or a pair counts as the boundary before it.
  const std::size_t at = SnapToBoundary(text, std::min(position, line_end) - line_start);
  TextSpan span{0, text.size()};
  switch (boundary) {
    case QAccessible::CharBoundary:
      // The engine's character: a cluster, or a line break after a line's last.
      return {line_start + at, ReaderUnits(document, ReaderUnit::kCharacter).Next(line_start + at)};
    case QAccessible::WordBoundary:
      span = ReaderWordAt(text, at);
      break;
    case QAccessible::SentenceBoundary:
      span = SentenceAt(text, at);
      break;
    default:  // a line, also as a paragraph: CR LF ends both
      break;
  }
  return {line_start + span.begin, line_start + span.end};
}

QString TextViewAccessible::Answer(TextSpan span, int* start, int* end) const {
  *start = static_cast<int>(span.begin);
  *end = static_cast<int>(span.end);
  return text(*start, *end);
}

// Before and after step from the span at the offset as stock text boxes do:
// before the first span of the text there is none, so that one is answered.
QString TextViewAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                             int* end) const {
  const TextSpan span = SpanAt(offset, boundary);
  return Answer(SpanAt(span.begin > 0 ? static_cast<int>(span.begin) - 1 : offset, boundary), start, end);
}

QString TextViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                         int* end) const {
  return Answer(SpanAt(offset, boundary), start, end);
}

QString TextViewAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                                            int* end) const {
  return Answer(SpanAt(static_cast<int>(SpanAt(offset, boundary).end), boundary), start, end);
}

void TextViewNotifier::Replaced(std::size_t position, StringView removed, std::size_t inserted) {
  if (!QAccessible::isActive() || (removed.empty() && inserted == 0)) return;
  const auto at = static_cast<int>(position);
  const QString old_text = ToQString(removed.substr(0, kEventTextCap));
  const QString new_text = ToQString(view_->Text().substr(position, std::min(inserted, kEventTextCap)));
  if (removed.empty()) {
    QAccessibleTextInsertEvent event(view_, at, new_text);
    QAccessible::updateAccessibility(&event);
  } else if (inserted == 0) {
    QAccessibleTextRemoveEvent event(view_, at, old_text);
    QAccessible::updateAccessibility(&event);
  } else {
    QAccessibleTextUpdateEvent event(view_, at, old_text, new_text);
    QAccessible::updateAccessibility(&event);
  }
}

void TextViewNotifier::CaretMoved() {
  if (!QAccessible::isActive()) return;
  QAccessibleTextCursorEvent moved(view_, static_cast<int>(view_->Caret()));
  QAccessible::updateAccessibility(&moved);
  const TextSpan selection = view_->Selection();
  if (selection.begin == selection_.begin && selection.end == selection_.end) return;
  selection_ = selection;
  QAccessibleTextSelectionEvent selected(view_, static_cast<int>(selection.begin), static_cast<int>(selection.end));
  QAccessible::updateAccessibility(&selected);
}

}  // namespace host::qt
