#pragma once
#include <cstddef>
#include <functional>
#include <memory>

#include "host/runtime/string.h"
#include "host/textbox/line_geometry.h"
#include "host/textbox/text_buffer.h"
#include "host/textbox/text_navigation.h"
#include "host/textbox/undo_stack.h"

namespace host {

/// What a view of a TextDocument hears of its changes.
class TextDocumentObserver {
 public:
  virtual ~TextDocumentObserver() = default;
  /// The text changed at `position` and after (an edit, an undo, a redo);
  /// caret and selection have their new places.
  virtual void TextChanged(std::size_t position) = 0;
  /// The caret or the selection moved and the text did not change.
  virtual void SelectionChanged() = 0;
  /// Just before TextChanged: `removed`, which was at `position`, gave way to
  /// the `inserted` units now there. For listeners that tell what was edited.
  virtual void TextReplaced(std::size_t /*position*/, StringView /*removed*/, std::size_t /*inserted*/) {}
};

/// Where a caret movement goes.
enum class Motion {
  kLeft,           // one character back; with a selection and no extending, to its start
  kRight,          // one character on; with a selection and no extending, to its end
  kWordLeft,       // to the start of this or the previous word
  kWordRight,      // to the start of the next word
  kLineStart,
  kLineEnd,
  kTextStart,
  kTextEnd,
};

/// The text of a text box with everything done to it apart from showing it:
/// the text and its lines, the caret and the selection, the editing
/// commands and their undo history, and where each position lies across its
/// line. A view maps its input to these commands and paints what they leave;
/// it supplies how wide each character is drawn and, if it knows them, the
/// boundaries of the characters a reader sees (grapheme clusters).
///
/// Positions are in UTF-16 code units. The caret never rests between the CR
/// and LF of a line break, nor between the halves of a surrogate pair. An
/// edit that runs out of memory throws std::bad_alloc and leaves the text,
/// the caret and the selection as they were.
class TextDocument {
 public:
  /// The boundary after (`forward`) or before `offset` in `line`, a line's
  /// text without its break. A view that knows the characters a reader sees
  /// answers with theirs; the answer is checked and kept to a code point
  /// boundary inside the line.
  using ClusterBoundary = std::function<std::size_t(StringView line, std::size_t offset, bool forward)>;

  /// Where a view draws the positions of a line, if it knows better than
  /// the widths of single characters (text shaped by a font): the x of
  /// `offset` in `line`, whose start in the text is `start`, and the
  /// position nearest to `x`. Up and Down keep to these x.
  struct Placement {
    std::function<double(std::size_t start, StringView line, std::size_t offset)> x;
    std::function<std::size_t(std::size_t start, StringView line, double x)> nearest;
  };

  TextDocument();

  void SetObserver(TextDocumentObserver* observer) { observer_ = observer; }
  /// How wide each character is drawn; until set, every character is one
  /// unit wide.
  void SetMeasure(LineGeometry::Measure measure, double tab_width);
  /// Left and Right (and Delete) step by these boundaries; by code points
  /// when none is set.
  void SetClusterBoundary(ClusterBoundary boundary) { cluster_boundary_ = std::move(boundary); }
  /// X and PositionAt answer by `placement`; by the measure when it is empty.
  void SetPlacement(Placement placement) { placement_ = std::move(placement); }

  // The text and its lines.
  const String& Text() const { return buffer_.Text(); }
  std::size_t Size() const { return buffer_.Size(); }
  std::size_t LineCount() const { return buffer_.LineCount(); }
  std::size_t LineOf(std::size_t position) const { return buffer_.Lines().LineOf(position); }
  std::size_t LineStart(std::size_t line) const { return buffer_.LineStart(line); }
  std::size_t LineEnd(std::size_t line) const { return buffer_.LineEnd(line); }
  StringView Line(std::size_t line) const { return buffer_.Line(line); }

  // Caret and selection.
  std::size_t Caret() const { return caret_; }
  std::size_t Anchor() const { return anchor_; }
  TextSpan Selection() const;
  bool HasSelection() const { return caret_ != anchor_; }
  String SelectedText() const;
  void SetSelection(std::size_t anchor, std::size_t caret);
  void SelectAll() { SetSelection(0, Size()); }
  /// Selects the word, blank run or punctuation run at `position`.
  void SelectWordAt(std::size_t position);
  /// Moves the caret to `position`; `extend` keeps the anchor where it is.
  void MoveTo(std::size_t position, bool extend);
  void Move(Motion motion, bool extend);
  /// Moves `lines` lines down (up if negative), keeping to the x the caret
  /// had before the first of a series of such moves.
  void MoveLines(std::ptrdiff_t lines, bool extend);

  // Editing. Each replaces the selection, if there is one.
  void Type(StringView text);
  void InsertLineBreak() { Type(u"\r\n"); }
  /// Backspace: the character before the caret, or the word part before it.
  void DeleteBackward(bool word);
  /// Delete: the character after the caret, or up to the next word.
  void DeleteForward(bool word);
  void DeleteSelection() { ReplaceSelection(String(), EditKind::kOther); }
  /// Inserts `text` as it is, as one undo step.
  void Paste(String text);
  /// Replaces the whole text as one undo step; the caret goes to the start.
  void ReplaceAll(StringView text);
  /// Replaces the whole text as a write from the program does: like a
  /// platform text box, the box forgets its undo history, so the text
  /// replaced is not kept. The caret goes to the start.
  void ResetText(String text);
  /// Replaces `span` (kept to boundaries) and puts the caret behind the new text.
  void Replace(TextSpan span, String text, EditKind kind);
  void ReplaceSelection(String text, EditKind kind);
  /// Ends the current undo group: the next edit is a step of its own.
  void CloseUndoGroup() { undo_.Close(); }

  bool CanUndo() const { return undo_.CanUndo(); }
  bool CanRedo() const { return undo_.CanRedo(); }
  /// The undone text comes back selected.
  void Undo();
  /// The caret goes behind the text put back.
  void Redo();

  // Where positions lie across their lines. Measuring keeps marks for the
  // next measure, which changes no answer: these are const.
  LineGeometry& Geometry() const { return *geometry_; }
  /// The x of `position` from the start of its line.
  double X(std::size_t position) const;
  /// The caret position in `line` nearest to `x`.
  std::size_t PositionAt(std::size_t line, double x) const;
  /// The widest line known: the line of most units, measured after each
  /// change, or a wider one reported since.
  double WidestLine();
  /// Notes the width of a line measured while painting; true if it is wider
  /// than any known.
  bool NoteLineWidth(double width);

  /// The caret position one grapheme cluster on from `position`, or back;
  /// a line break is one step.
  std::size_t ClusterStep(std::size_t position, bool forward) const;

 private:
  void Edit(std::size_t position, std::size_t length, String text, EditKind kind, std::size_t caret);
  void AfterTextChange(std::size_t position);
  void AfterSelectionChange();

  TextBuffer buffer_;
  UndoStack undo_;
  std::unique_ptr<LineGeometry> geometry_;
  ClusterBoundary cluster_boundary_;
  Placement placement_;
  TextDocumentObserver* observer_ = nullptr;
  std::size_t caret_ = 0;
  std::size_t anchor_ = 0;
  double goal_x_ = -1;  // kept through a series of moves up and down
  double widest_ = 0;
  bool widest_stale_ = true;
};

}  // namespace host
