#pragma once
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "host/runtime/string.h"

namespace host {

/// Where each line of a text starts. CR LF, and only CR LF, ends a line; a
/// lone CR or LF is an ordinary character of its line.
class LineIndex {
 public:
  /// The longest text whose line starts are kept in 32 bits.
  static constexpr std::size_t kNarrowLimit = std::numeric_limits<std::uint32_t>::max();

  /// `narrow_limit` is lowered only by tests, to reach the full-width starts
  /// with short texts.
  explicit LineIndex(std::size_t narrow_limit = kNarrowLimit) : narrow_limit_(narrow_limit) {}

  /// Indexes `text` from scratch in one pass over it.
  void Build(StringView text);

  /// Brings the index up to date after [position, position + removed) of the
  /// previous text was replaced by `inserted` units, giving `text`. If it
  /// throws (out of memory), the index is as it was.
  void Update(StringView text, std::size_t position, std::size_t removed, std::size_t inserted);

  std::size_t Count() const { return wide_.empty() ? narrow_.size() : wide_.size(); }
  std::size_t Start(std::size_t line) const { return wide_.empty() ? narrow_[line] : wide_[line]; }
  /// End of the line's own text, before its CR LF.
  std::size_t End(std::size_t line, std::size_t text_size) const {
    return line + 1 < Count() ? Start(line + 1) - 2 : text_size;
  }
  /// The line holding `position`; a position between CR and LF belongs to
  /// the line the pair ends.
  std::size_t LineOf(std::size_t position) const;
  /// The line with the most code units (the first of them).
  std::size_t LongestLine(std::size_t text_size) const;

 private:
  // A text of many short lines has an index of about half its own size at
  // full width; while the text is shorter than 2^32 units its starts are
  // kept in 32 bits instead. Exactly one of the two holds the starts: the
  // wide one once it is not empty.
  using Narrow = std::vector<std::uint32_t>;
  using Wide = std::vector<std::size_t>;

  template <class F>
  decltype(auto) Visit(F&& f) const {
    return wide_.empty() ? f(narrow_) : f(wide_);
  }

  bool NeedsWide(std::size_t text_size) const { return text_size > narrow_limit_; }

  std::size_t narrow_limit_;
  Narrow narrow_{0};
  Wide wide_;
};

}  // namespace host
