#pragma once
#include <cstddef>
#include <memory>
#include <vector>

#include "host/runtime/string.h"
#include "host/win32/shaped_line.h"
#include "host/win32/windows_api.h"

namespace host::win32 {

/// The last few stretches shaped for measuring, so that the caret, a click
/// and an arrow key in the same stretch shape it once. An entry is found by
/// its text and fonts, so an edit never finds a stale one; a font that
/// changes under the same handle needs Clear(). The analyses keep the
/// measuring device context they were made with: they are never drawn.
class ShapedCache {
 public:
  static constexpr std::size_t kEntries = 4;

  const ShapedLine& Get(HDC dc, const ShapedLine::Fonts& fonts, StringView text, double start_x = 0);
  void Clear() { entries_.clear(); }

 private:
  struct Entry {
    String text;
    ShapedLine::Fonts fonts;
    double start_x = 0;
    std::unique_ptr<ShapedLine> shaped;
  };
  std::vector<Entry> entries_;  // the most recently used first
};

/// The grapheme cluster boundary after (`forward`) or before `offset` in
/// `line`, as the script processor finds clusters in the line, or in a
/// long line's segment holding the step.
std::size_t ClusterStep(ShapedCache& cache, HDC dc, const ShapedLine::Fonts& fonts, StringView line,
                        std::size_t offset, bool forward);

}  // namespace host::win32
