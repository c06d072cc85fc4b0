#include "host/win32/shaped_cache.h"

#include <algorithm>
#include <utility>

#include "host/textbox/line_cuts.h"

namespace host::win32 {

const ShapedLine& ShapedCache::Get(HDC dc, const ShapedLine::Fonts& fonts, StringView text, double start_x) {
  const auto found = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) {
    return entry.fonts.text == fonts.text && entry.fonts.mark == fonts.mark &&
           entry.fonts.tab_width == fonts.tab_width && entry.start_x == start_x && entry.text == text;
  });
  if (found != entries_.end()) {
    std::rotate(entries_.begin(), found, found + 1);
    return *entries_.front().shaped;
  }
  Entry entry{String(text), fonts, start_x, std::make_unique<ShapedLine>(dc, fonts, text, start_x)};
  if (entries_.size() >= kEntries) entries_.pop_back();
  entries_.insert(entries_.begin(), std::move(entry));
  return *entries_.front().shaped;
}

std::size_t ClusterStep(ShapedCache& cache, HDC dc, const ShapedLine::Fonts& fonts, StringView line,
                        std::size_t offset, bool forward) {
  std::size_t from = 0;
  std::size_t to = line.size();
  if (CutSegmentCount(line.size()) > 1) {
    // The segment the step stays in, as painted; stepping back from its
    // start goes into the one before.
    std::size_t index = CutSegmentOf(line, offset);
    if (!forward && index > 0 && offset == CutSegmentStart(line, index)) --index;
    from = CutSegmentStart(line, index);
    to = CutSegmentStart(line, index + 1);
  }
  const ShapedLine& shaped = cache.Get(dc, fonts, line.substr(from, to - from));
  std::size_t at = offset - from;
  const std::size_t end = to - from;
  if (forward) {
    do ++at;
    while (at < end && !shaped.IsClusterBoundary(at));
  } else {
    do --at;
    while (at > 0 && !shaped.IsClusterBoundary(at));
  }
  return from + at;
}

}  // namespace host::win32
