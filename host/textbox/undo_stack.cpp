#include "host/textbox/undo_stack.h"

#include <algorithm>
#include <utility>

#include "host/textbox/code_points.h"

namespace host {
void UndoStack::Record(const TextBuffer& buffer, EditKind kind, std::size_t position,
                       String removed, std::size_t inserted_length) {
  for (const Step& step : redo_) kept_units_ -= step.text.size();
  redo_.clear();
  try {
    if (open_ && Merge(buffer, kind, position, removed, inserted_length)) return;
    undo_.push_back(Step{kind, position, inserted_length, std::move(removed)});
  } catch (...) {
    // The edit is done but cannot be recorded; the steps before it would no
    // longer fit the text.
    Clear();
    throw;
  }
  kept_units_ += undo_.back().text.size();
  open_ = kind != EditKind::kOther;
  Trim(buffer.Size());
}

bool UndoStack::Merge(const TextBuffer& buffer, EditKind kind, std::size_t position,
                      String& removed, std::size_t inserted_length) {
  Step& last = undo_.back();
  if (last.kind != kind) return false;
  switch (kind) {
    case EditKind::kTyping: {
      if (!removed.empty() || position != last.position + last.length || inserted_length == 0) {
        return false;
      }
      // A word starts a new step: the blanks typed after a word stay with it.
      const String& text = buffer.Text();
      if (last.length > 0 && IsBlank(text[position - 1]) && !IsBlank(text[position])) return false;
      last.length += inserted_length;
      return true;
    }
    case EditKind::kBackspace:
      if (inserted_length != 0 || last.length != 0 || position + removed.size() != last.position) {
        return false;
      }
      kept_units_ += removed.size();
      last.text.insert(0, removed);
      last.position = position;
      return true;
    case EditKind::kDelete:
      if (inserted_length != 0 || last.length != 0 || position != last.position) return false;
      kept_units_ += removed.size();
      last.text += removed;
      return true;
    case EditKind::kOther:
      return false;
  }
  return false;
}

void UndoStack::Trim(std::size_t text_size) {
  const std::size_t cap = std::max(kFloorUnits, text_size);
  while (kept_units_ > cap && undo_.size() > 1) {
    kept_units_ -= undo_.front().text.size();
    undo_.pop_front();
  }
}

void UndoStack::Clear() {
  undo_.clear();
  redo_.clear();
  kept_units_ = 0;
  open_ = false;
}

std::optional<EditRange> UndoStack::Swap(std::deque<Step>& from, std::deque<Step>& to,
                                         TextBuffer& buffer) {
  if (from.empty()) return std::nullopt;
  Step& step = from.back();
  const std::size_t position = step.position;
  const std::size_t length = step.text.size();
  // A failing Replace leaves the buffer and the step as they were.
  String taken = buffer.Replace(position, step.length, std::move(step.text));
  kept_units_ = kept_units_ - length + taken.size();
  from.pop_back();
  try {
    to.push_back(Step{EditKind::kOther, position, length, std::move(taken)});
  } catch (...) {
    // The steps left would no longer fit the text.
    Clear();
    return EditRange{position, length};
  }
  return EditRange{position, length, to.back().text};
}

std::optional<EditRange> UndoStack::Undo(TextBuffer& buffer) {
  open_ = false;
  return Swap(undo_, redo_, buffer);
}

std::optional<EditRange> UndoStack::Redo(TextBuffer& buffer) {
  open_ = false;
  return Swap(redo_, undo_, buffer);
}

}  // namespace host
