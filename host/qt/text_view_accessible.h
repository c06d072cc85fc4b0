#pragma once
#include <QAccessibleWidget>

#include "host/runtime/string.h"
#include "host/textbox/text_navigation.h"

namespace host::qt {

class TextView;

/// What assistive technology reads of a TextView: its text, caret and
/// selection, and where each character is drawn.
class TextViewAccessible final : public QAccessibleWidget,
                                 public QAccessibleTextInterface,
                                 public QAccessibleEditableTextInterface {
 public:
  explicit TextViewAccessible(TextView* view);

  /// Makes Qt create one of these for every TextView.
  static void Register();

  void* interface_cast(QAccessible::InterfaceType type) override;
  QString text(QAccessible::Text kind) const override;
  QAccessible::State state() const override;

  void selection(int index, int* start, int* end) const override;
  int selectionCount() const override;
  void addSelection(int start, int end) override;
  void removeSelection(int index) override;
  void setSelection(int index, int start, int end) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int start, int end) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int start, int end) override;
  QString attributes(int offset, int* start, int* end) const override;
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                           int* end) const override;
  QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override;
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start, int* end) const override;

  // Edits asked for by assistive technology, each one undoable step.
  void deleteText(int start, int end) override { replaceText(start, end, QString()); }
  void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
  void replaceText(int start, int end, const QString& text) override;

 private:
  TextView& View() const;
  /// The character, word, sentence, line or paragraph at `offset`, found in
  /// its line near the offset, never by reading the whole text.
  TextSpan SpanAt(int offset, QAccessible::TextBoundaryType boundary) const;
  QString Answer(TextSpan span, int* start, int* end) const;
};

/// Tells assistive technology what happens in a TextView: one event for
/// each edit, however large, and the caret's and the selection's moves.
class TextViewNotifier {
 public:
  explicit TextViewNotifier(TextView* view) : view_(view) {}

  void Replaced(std::size_t position, StringView removed, std::size_t inserted);
  void CaretMoved();

 private:
  TextView* view_;
  TextSpan selection_;  // the selection last told of
};

}  // namespace host::qt
