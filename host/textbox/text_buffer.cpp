#include "host/textbox/text_buffer.h"

#include <algorithm>
#include <utility>

namespace host {

StringView TextBuffer::Line(std::size_t line) const {
  const std::size_t start = LineStart(line);
  return StringView(text_).substr(start, LineEnd(line) - start);
}

String TextBuffer::Replace(std::size_t position, std::size_t length, String&& inserted) {
  position = std::min(position, text_.size());
  length = std::min(length, text_.size() - position);
  if (position == 0 && length == text_.size()) {
    // The whole text: hand the old storage over instead of copying it.
    LineIndex lines;
    lines.Build(inserted);
    String removed = std::exchange(text_, std::move(inserted));
    lines_ = std::move(lines);
    return removed;
  }
  String removed(text_, position, length);
  text_.replace(position, length, inserted);
  try {
    lines_.Update(text_, position, length, inserted.size());
  } catch (...) {
    // Putting the old units back fits in the storage the text has already.
    text_.replace(position, inserted.size(), removed);
    throw;
  }
  return removed;
}

}  // namespace host
