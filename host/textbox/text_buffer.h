#pragma once
#include <cstddef>

#include "host/textbox/line_index.h"
#include "host/runtime/string.h"

namespace host {

/// The text of a text box, kept exactly as written (UTF-16 code units), with
/// an index of its lines kept current through every edit.
class TextBuffer {
 public:
  const String& Text() const { return text_; }
  std::size_t Size() const { return text_.size(); }
  const LineIndex& Lines() const { return lines_; }

  std::size_t LineCount() const { return lines_.Count(); }
  std::size_t LineStart(std::size_t line) const { return lines_.Start(line); }
  std::size_t LineEnd(std::size_t line) const { return lines_.End(line, text_.size()); }
  StringView Line(std::size_t line) const;

  /// Replaces [position, position + length) by `inserted` and returns the
  /// units taken out. The range is clipped to the text. If it throws (out of
  /// memory), text, index and `inserted` are as they were.
  String Replace(std::size_t position, std::size_t length, String&& inserted);

 private:
  String text_;
  LineIndex lines_;
};

}  // namespace host
