#include "host/textbox/text_document.h"

#include <algorithm>
#include <new>
#include <utility>

namespace host {
namespace {

constexpr double kDefaultTabCells = 8;

}  // namespace

TextDocument::TextDocument()
    : geometry_(std::make_unique<LineGeometry>([](char32_t) { return 1.0; }, kDefaultTabCells)) {}

void TextDocument::SetMeasure(LineGeometry::Measure measure, double tab_width) {
  geometry_ = std::make_unique<LineGeometry>(std::move(measure), tab_width);
  widest_ = 0;
  widest_stale_ = true;
}

TextSpan TextDocument::Selection() const {
  return {std::min(caret_, anchor_), std::max(caret_, anchor_)};
}

String TextDocument::SelectedText() const {
  const TextSpan selection = Selection();
  return String(Text(), selection.begin, selection.end - selection.begin);
}

void TextDocument::SetSelection(std::size_t anchor, std::size_t caret) {
  anchor_ = SnapToBoundary(Text(), anchor);
  caret_ = SnapToBoundary(Text(), caret);
  AfterSelectionChange();
}

void TextDocument::SelectWordAt(std::size_t position) {
  const TextSpan word = WordAt(Text(), position);
  SetSelection(word.begin, word.end);
}

void TextDocument::MoveTo(std::size_t position, bool extend) {
  caret_ = SnapToBoundary(Text(), position);
  if (!extend) anchor_ = caret_;
  AfterSelectionChange();
}

std::size_t TextDocument::ClusterStep(std::size_t position, bool forward) const {
  const StringView text = Text();
  if (!cluster_boundary_) return forward ? NextBoundary(text, position) : PreviousBoundary(text, position);
  // A line break is a step of its own; within a line the view's boundaries
  // count, as long as they move the right way and land on a code point.
  if (forward ? IsLineBreakAt(text, position) : position >= 2 && IsLineBreakAt(text, position - 2)) {
    return forward ? position + 2 : position - 2;
  }
  const std::size_t line = LineOf(position);
  const std::size_t start = LineStart(line);
  const StringView units = Line(line);
  const std::size_t offset = position - start;
  if (forward ? offset >= units.size() : offset == 0) return position;
  const std::size_t answer = cluster_boundary_(units, offset, forward);
  const bool sound = forward ? answer > offset && answer <= units.size() : answer < offset;
  if (!sound) return forward ? NextBoundary(text, position) : PreviousBoundary(text, position);
  const std::size_t snapped = SnapToBoundary(units, answer);
  if (snapped == offset) return NextBoundary(text, position);  // a boundary inside the first pair
  return start + snapped;
}

void TextDocument::Move(Motion motion, bool extend) {
  const StringView text = Text();
  const TextSpan selection = Selection();
  const bool collapse = !extend && selection.begin != selection.end;
  std::size_t target = caret_;
  switch (motion) {
    case Motion::kLeft:
      target = collapse ? selection.begin : ClusterStep(caret_, false);
      break;
    case Motion::kRight:
      target = collapse ? selection.end : ClusterStep(caret_, true);
      break;
    case Motion::kWordLeft:
      target = PreviousWordStart(text, caret_);
      break;
    case Motion::kWordRight:
      target = NextWordStart(text, caret_);
      break;
    case Motion::kLineStart:
      target = LineStart(LineOf(caret_));
      break;
    case Motion::kLineEnd:
      target = LineEnd(LineOf(caret_));
      break;
    case Motion::kTextStart:
      target = 0;
      break;
    case Motion::kTextEnd:
      target = Size();
      break;
  }
  MoveTo(target, extend);
}

void TextDocument::MoveLines(std::ptrdiff_t lines, bool extend) {
  const double goal = goal_x_ < 0 ? X(caret_) : goal_x_;
  const auto last = static_cast<std::ptrdiff_t>(LineCount()) - 1;
  const auto line = static_cast<std::ptrdiff_t>(LineOf(caret_));
  const auto target = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(line + lines, 0, last));
  MoveTo(PositionAt(target, goal), extend);
  goal_x_ = goal;
}

void TextDocument::Type(StringView text) {
  if (!text.empty()) ReplaceSelection(String(text), EditKind::kTyping);
}

void TextDocument::DeleteBackward(bool word) {
  if (HasSelection()) return DeleteSelection();
  if (caret_ == 0) return;
  // By code point, not by cluster: Backspace takes back one mark at a time.
  const std::size_t from = word ? PreviousWordStart(Text(), caret_) : PreviousBoundary(Text(), caret_);
  Edit(from, caret_ - from, String(), EditKind::kBackspace, from);
}

void TextDocument::DeleteForward(bool word) {
  if (HasSelection()) return DeleteSelection();
  if (caret_ >= Size()) return;
  const std::size_t to = word ? NextWordStart(Text(), caret_) : ClusterStep(caret_, true);
  Edit(caret_, to - caret_, String(), EditKind::kDelete, caret_);
}

void TextDocument::Paste(String text) {
  if (text.empty()) return;
  undo_.Close();
  ReplaceSelection(std::move(text), EditKind::kOther);
}

void TextDocument::ReplaceAll(StringView text) { Edit(0, Size(), String(text), EditKind::kOther, 0); }

void TextDocument::ResetText(String text) {
  undo_.Clear();
  const std::size_t inserted = text.size();
  caret_ = anchor_ = 0;
  {
    // The old text goes at once, once its listener has heard of it.
    const String removed = buffer_.Replace(0, Size(), std::move(text));
    if (observer_ != nullptr) observer_->TextReplaced(0, removed, inserted);
  }
  AfterTextChange(0);
}

void TextDocument::Replace(TextSpan span, String text, EditKind kind) {
  const std::size_t begin = SnapToBoundary(Text(), std::min(span.begin, span.end));
  const std::size_t end = SnapToBoundary(Text(), std::max(span.begin, span.end));
  if (begin == end && text.empty()) return;
  const std::size_t caret = begin + text.size();
  Edit(begin, end - begin, std::move(text), kind, caret);
}

void TextDocument::ReplaceSelection(String text, EditKind kind) { Replace(Selection(), std::move(text), kind); }

void TextDocument::Edit(std::size_t position, std::size_t length, String text, EditKind kind,
                        std::size_t caret) {
  const std::size_t inserted = text.size();
  String removed = buffer_.Replace(position, length, std::move(text));
  // The new text may pair up with its neighbours (a CR before an LF, a high
  // half before a low one): the caret goes behind what was inserted, or
  // back to where the removed text began.
  caret_ = anchor_ = inserted != 0 ? SnapForward(Text(), caret) : SnapToBoundary(Text(), caret);
  if (observer_ != nullptr) observer_->TextReplaced(position, removed, inserted);
  try {
    undo_.Record(buffer_, kind, position, std::move(removed), inserted);
  } catch (const std::bad_alloc&) {
    // The edit stands without its undo history, which the stack has dropped.
  }
  AfterTextChange(position);
}

void TextDocument::Undo() {
  if (const auto range = undo_.Undo(buffer_)) {
    anchor_ = SnapToBoundary(Text(), range->position);
    caret_ = range->length == 0 ? anchor_ : SnapForward(Text(), range->position + range->length);
    if (observer_ != nullptr) observer_->TextReplaced(range->position, range->removed, range->length);
    AfterTextChange(range->position);
  }
}

void TextDocument::Redo() {
  if (const auto range = undo_.Redo(buffer_)) {
    caret_ = anchor_ = SnapForward(Text(), range->position + range->length);
    if (observer_ != nullptr) observer_->TextReplaced(range->position, range->removed, range->length);
    AfterTextChange(range->position);
  }
}

void TextDocument::AfterTextChange(std::size_t position) {
  geometry_->Invalidate(position);
  goal_x_ = -1;
  widest_stale_ = true;
  if (observer_ != nullptr) observer_->TextChanged(position);
}

void TextDocument::AfterSelectionChange() {
  goal_x_ = -1;
  undo_.Close();
  if (observer_ != nullptr) observer_->SelectionChanged();
}

double TextDocument::X(std::size_t position) const {
  position = std::min(position, Size());
  const std::size_t line = LineOf(position);
  const std::size_t start = LineStart(line);
  if (placement_.x) return placement_.x(start, Line(line), position - start);
  return geometry_->X(start, Line(line), position - start);
}

std::size_t TextDocument::PositionAt(std::size_t line, double x) const {
  line = std::min(line, LineCount() - 1);
  const std::size_t start = LineStart(line);
  const StringView units = Line(line);
  if (placement_.nearest) {
    return start + SnapToBoundary(units, std::min(placement_.nearest(start, units, x), units.size()));
  }
  return start + geometry_->Nearest(start, units, x);
}

double TextDocument::WidestLine() {
  if (widest_stale_) {
    const std::size_t longest = buffer_.Lines().LongestLine(Size());
    const StringView line = Line(longest);
    widest_ = geometry_->X(LineStart(longest), line, line.size());
    widest_stale_ = false;
  }
  return widest_;
}

bool TextDocument::NoteLineWidth(double width) {
  if (width <= widest_) return false;
  widest_ = width;
  return true;
}

}  // namespace host
