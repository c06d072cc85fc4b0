#pragma once
#include <cstddef>
#include <deque>
#include <optional>

#include "host/runtime/string.h"
#include "host/textbox/text_buffer.h"

namespace host {

/// How an edit came about; typing and runs of Backspace or Delete are
/// undone a word or a run at a time.
enum class EditKind { kTyping, kBackspace, kDelete, kOther };

/// What an undo or redo step changed: the units now at [position, position + length).
struct EditRange {
  std::size_t position = 0;
  std::size_t length = 0;
  StringView removed{};  // the units taken out, until the stacks change again
};

/// Undo and redo of a TextBuffer's edits. A step keeps only the units that
/// are not in the buffer, so a whole-text replacement costs one copy of the
/// text that was replaced, not two.
class UndoStack {
 public:
  /// Units kept at least, however small the text; beyond this the oldest
  /// steps go once the kept units outgrow the text itself.
  static constexpr std::size_t kFloorUnits = std::size_t{8} << 20;

  /// Records that `removed` at `position` was replaced by the buffer's
  /// [position, position + inserted_length), merging it into the last step
  /// where `kind` allows. If it throws (out of memory), the history is gone
  /// and the edit stays.
  void Record(const TextBuffer& buffer, EditKind kind, std::size_t position, String removed,
              std::size_t inserted_length);

  /// Ends the current group: the next edit starts a step of its own.
  void Close() { open_ = false; }
  void Clear();

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::optional<EditRange> Undo(TextBuffer& buffer);
  std::optional<EditRange> Redo(TextBuffer& buffer);

 private:
  struct Step {
    EditKind kind;
    std::size_t position;
    std::size_t length;  // units of this step now in the buffer
    String text;         // units the step puts back
  };

  std::optional<EditRange> Swap(std::deque<Step>& from, std::deque<Step>& to,
                                TextBuffer& buffer);
  bool Merge(const TextBuffer& buffer, EditKind kind, std::size_t position, String& removed,
             std::size_t inserted_length);
  void Trim(std::size_t text_size);

  std::deque<Step> undo_;
  std::deque<Step> redo_;
  std::size_t kept_units_ = 0;
  bool open_ = false;
};

}  // namespace host
