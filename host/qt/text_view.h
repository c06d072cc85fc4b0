#pragma once
#include <QAbstractScrollArea>
#include <QFont>
#include <QTimer>
#include <memory>

#include "host/qt/text_style.h"
#include "host/qt/text_view_accessible.h"
#include "host/runtime/string.h"
#include "host/textbox/line_layout.h"
#include "host/textbox/text_document.h"
#include "host/textbox/text_editor.h"

class QMenu;

namespace host::qt {

/// The host's own multi-line text box: a view over a TextDocument, which
/// keeps the text exactly as written, CR LF being its only line break. The
/// view maps keys, the mouse and the input method to the document's
/// commands, scrolls, and paints only the part in view, so texts of many
/// megabytes, and single lines of that size, stay quick to show and to edit.
class TextView : public QAbstractScrollArea, private TextDocumentObserver, private TextBoxSurface {
 public:
  /// Pixels between the viewport's left edge and the start of every line.
  static constexpr double kMargin = 3;

  explicit TextView(QWidget* parent = nullptr);
  ~TextView() override;

  TextDocument& Document() { return document_; }
  const TextDocument& Document() const { return document_; }

  /// Replaces the whole text as one undoable step; the caret goes to the start.
  void ReplaceAll(StringView text) { document_.ReplaceAll(text); }
  const String& Text() const { return document_.Text(); }
  std::size_t LineCount() const { return document_.LineCount(); }

  std::size_t Caret() const { return document_.Caret(); }
  std::size_t Anchor() const { return document_.Anchor(); }
  TextSpan Selection() const { return document_.Selection(); }
  void SetSelection(std::size_t anchor, std::size_t caret) { document_.SetSelection(anchor, caret); }

  TextEditor& Editor() { return editor_; }
  void SelectAll() { document_.SelectAll(); }
  void Cut() { editor_.Run(Command::kCut); }
  void Copy() { editor_.Run(Command::kCopy); }
  void Paste() { editor_.Run(Command::kPaste); }
  void DeleteSelection() { document_.DeleteSelection(); }
  void Undo() { document_.Undo(); }
  void Redo() { document_.Redo(); }
  bool CanUndo() const { return document_.CanUndo(); }
  bool CanRedo() const { return document_.CanRedo(); }

  /// Where the boundary before `position` is drawn: its top in viewport
  /// coordinates, at the scroll position of the moment.
  QPointF PointAt(std::size_t position) const;
  /// The caret position nearest to a point of the viewport.
  std::size_t PositionAt(QPoint point) const;
  /// Scrolls so that `position` is in view.
  void ShowPosition(std::size_t position);

  // What the painter draws with.
  const TextStyle& Style() const { return style_; }
  double LineHeight() const { return style_.line_height; }
  const QFont& TextFont() const { return style_.text_font; }
  /// The shaped layouts of the lines shown, kept between paints.
  LineLayout& Layouts() const { return *layouts_; }
  const QString& Preedit() const { return preedit_; }
  bool CaretShown() const { return caret_shown_; }
  /// Widens the horizontal range if a line painted is wider than any known.
  void NoteLineWidth(double width);

  /// The context menu as shown on a right click; the caller owns it.
  QMenu* CreateContextMenu();
  static QString MenuText(Command command);

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
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void TextChanged(std::size_t position) override;
  void SelectionChanged() override;
  void TextReplaced(std::size_t position, StringView removed, std::size_t inserted) override;
  void Press(const QMouseEvent& event, int clicks);

  // TextBoxSurface
  std::size_t PageLines() const override;
  void ScrollBy(std::ptrdiff_t lines, double pixels) override;
  std::size_t WheelLines() const override;
  double WheelPixels() const override;
  bool WriteClipboard(StringView text) override;
  std::optional<String> ReadClipboard(Clipboard which) override;
  void PasteRefused(std::size_t units) override;
  bool HasPrimary() const override;
  void OfferPrimary() override;
  /// Shows a message about the box without holding up the event loop.
  void Tell(const QString& message);

  QRectF CaretRect() const;
  void UpdateScrollBars();
  void UpdateMetrics();
  void RestartBlink();
  int VisibleLines() const;

  TextDocument document_;
  TextEditor editor_;
  QString preedit_;
  TextStyle style_;
  std::unique_ptr<LineLayout> layouts_;
  bool caret_shown_ = true;
  QTimer blink_;
  QTimer drag_scroll_;  // keeps selecting while the mouse is held outside
  QPoint drag_point_;
  TextViewNotifier notifier_{this};
};

}  // namespace host::qt
