#pragma once
#include <cstddef>
#include <unordered_map>

#include "host/runtime/string.h"

namespace host {

/// What is kept of each line of a text box, found by the line's start in
/// the text (its key) and given up when the line is no longer the size it
/// was kept for. At most kKeptLines lines are kept: a screenful many times
/// over.
template <class Entry>
class LineCache {
 public:
  static constexpr std::size_t kKeptLines = 512;

  Entry& For(std::size_t key, StringView line) {
    auto found = lines_.find(key);
    if (found != lines_.end() && found->second.size != line.size()) {
      lines_.erase(found);
      found = lines_.end();
    }
    if (found == lines_.end()) {
      if (lines_.size() >= kKeptLines) lines_.clear();
      found = lines_.emplace(key, Kept{line.size(), Entry{}}).first;
    }
    return found->second.entry;
  }

  /// Drops what an edit at `position` may have made stale: lines are known
  /// by their starts, so every line that ends at or after the edit may have
  /// changed or moved.
  void Invalidate(std::size_t position) {
    std::erase_if(lines_, [&](const auto& line) { return line.first + line.second.size >= position; });
  }

 private:
  struct Kept {
    std::size_t size;
    Entry entry;
  };
  std::unordered_map<std::size_t, Kept> lines_;
};

}  // namespace host
