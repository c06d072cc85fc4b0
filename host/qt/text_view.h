#pragma once
#include <QAbstractScrollArea>
#include <QFont>
#include <QTimer>
#include <memory>
#include <optional>

#include "host/textbox/line_geometry.h"
#include "host/runtime/string.h"
#include "host/textbox/text_buffer.h"
#include "host/textbox/text_navigation.h"
#include "host/textbox/undo_stack.h"

class QMenu;

namespace host::qt {

/// The host's own multi-line text box. It keeps the text exactly as written,
/// CR LF being its only line break, and lays out and paints only the part in
/// view, so texts of many megabytes, and single lines of that size, stay
/// quick to show and to edit.
class TextView : public QAbstractScrollArea {
 public:
  explicit TextView(QWidget* parent = nullptr);
  ~TextView() override;

  /// Replaces the whole text as one undoable step; the caret goes to the start.
  void SetText(StringView text);
  const String& Text() const { return buffer_.Text(); }
  std::size_t LineCount() const { return buffer_.LineCount(); }

  std::size_t Caret() const { return caret_; }
  std::size_t Anchor() const { return anchor_; }
  TextSpan Selection() const;
  void SetSelection(std::size_t anchor, std::size_t caret);

  void SelectAll();
  void Cut();
  void Copy() const;
  void Paste();
  void DeleteSelection();
  void Undo();
  void Redo();
  bool CanUndo() const { return undo_.CanUndo(); }
  bool CanRedo() const { return undo_.CanRedo(); }

  /// Where the boundary before `position` is drawn: its top in viewport
  /// coordinates, at the scroll position of the moment.
  QPointF PointAt(std::size_t position) const;
  double LineHeight() const { return line_height_; }
  /// The caret position nearest to a point of the viewport.
  std::size_t PositionAt(QPoint point) const;
  /// Scrolls so that `position` is in view.
  void ShowPosition(std::size_t position);

  /// The context menu as shown on a right click; the caller owns it.
  QMenu* CreateContextMenu();

  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

 protected:
  bool event(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  friend class TextPainter;

  // Replaces a range; the caret goes behind the new text, or to `caret` if given.
  void Edit(std::size_t position, std::size_t length, String text, EditKind kind,
            std::optional<std::size_t> caret = std::nullopt);
  void ReplaceSelection(String text, EditKind kind);
  void AfterTextChange();
  bool HandleCommand(QKeyEvent* event);
  bool HandleMovement(QKeyEvent* event);
  void MoveCaret(std::size_t position, bool extend);
  std::size_t VerticalTarget(std::ptrdiff_t lines);
  double CaretX(std::size_t position);
  QRectF CaretRect() const;
  void EnsureCaretVisible();
  void UpdateScrollBars();
  void NoteLineWidth(double width);
  void UpdateMetrics();
  void RestartBlink();
  int VisibleLines() const;

  TextBuffer buffer_;
  UndoStack undo_;
  std::unique_ptr<LineGeometry> geometry_;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  double goal_x_ = -1;  // kept while moving up and down
  QString preedit_;
  QFont text_font_;
  QFont mark_font_;
  double line_height_ = 1;
  double ascent_ = 0;
  double average_advance_ = 1;
  double widest_ = 0;  // widest line seen so far, in pixels
  bool widths_stale_ = true;
  bool selecting_ = false;
  bool caret_shown_ = true;
  QTimer blink_;
  QTimer drag_scroll_;  // keeps selecting while the mouse is held outside
  QPoint drag_point_;
};

}  // namespace host::qt
