#pragma once
#include <cstddef>
#include <vector>

#include "host/runtime/string.h"

namespace host {

/// Where each line of a text starts. CR LF, and only CR LF, ends a line; a
/// lone CR or LF is an ordinary character of its line.
class LineIndex {
 public:
  LineIndex() = default;

  /// Indexes `text` from scratch in one pass over it.
  void Build(StringView text);

  /// Brings the index up to date after [position, position + removed) of the
  /// previous text was replaced by `inserted` units, giving `text`. If it
  /// throws (out of memory), the index is as it was.
  void Update(StringView text, std::size_t position, std::size_t removed, std::size_t inserted);

  std::size_t Count() const { return starts_.size(); }
  std::size_t Start(std::size_t line) const { return starts_[line]; }
  /// End of the line's own text, before its CR LF.
  std::size_t End(std::size_t line, std::size_t text_size) const {
    return line + 1 < starts_.size() ? starts_[line + 1] - 2 : text_size;
  }
  /// The line holding `position`; a position between CR and LF belongs to
  /// the line the pair ends.
  std::size_t LineOf(std::size_t position) const;
  /// The line with the most code units (the first of them).
  std::size_t LongestLine(std::size_t text_size) const;

 private:
  // Appends the start behind every CR LF whose LF lies in [from, to).
  void Scan(StringView text, std::size_t from, std::size_t to, std::vector<std::size_t>& out) const;

  std::vector<std::size_t> starts_{0};
};

}  // namespace host
