#include "host/textbox/line_index.h"

#include <algorithm>

#include "host/runtime/find_unit.h"

namespace host {
namespace {
constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';
}  // namespace

void LineIndex::Scan(StringView text, std::size_t from, std::size_t to,
                     std::vector<std::size_t>& out) const {
  const char16_t* const begin = text.data();
  const char16_t* at = begin + from;
  const char16_t* const last = begin + to;
  while ((at = FindUnit(at, last, kLf)) != last) {
    if (at != begin && at[-1] == kCr) out.push_back(static_cast<std::size_t>(at - begin) + 1);
    ++at;
  }
}

void LineIndex::Build(StringView text) {
  starts_.assign(1, 0);
  Scan(text, 0, text.size(), starts_);
  starts_.shrink_to_fit();
}

void LineIndex::Update(StringView text, std::size_t position, std::size_t removed,
                       std::size_t inserted) {
  // Breaks whose LF or CR was inside the replaced range, or whose pair the
  // edit split, are found again by scanning the new text around the edit;
  // every break further on only moves.
  std::vector<std::size_t> found;
  Scan(text, position, std::min(text.size(), position + inserted + 1), found);
  auto first = std::upper_bound(starts_.begin(), starts_.end(), position);
  auto last = std::upper_bound(first, starts_.end(), position + removed + 1);
  const auto kept = static_cast<std::size_t>(first - starts_.begin());
  const auto dropped = static_cast<std::size_t>(last - first);
  // Every allocation comes before the first change.
  starts_.reserve(starts_.size() - dropped + found.size());
  first = starts_.begin() + static_cast<std::ptrdiff_t>(kept);
  last = first + static_cast<std::ptrdiff_t>(dropped);
  const auto shift = static_cast<std::ptrdiff_t>(inserted) - static_cast<std::ptrdiff_t>(removed);
  for (auto it = last; it != starts_.end(); ++it) {
    *it = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(*it) + shift);
  }
  starts_.insert(starts_.erase(first, last), found.begin(), found.end());
}

std::size_t LineIndex::LineOf(std::size_t position) const {
  return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), position) -
                                  starts_.begin()) -
         1;
}

std::size_t LineIndex::LongestLine(std::size_t text_size) const {
  std::size_t longest = 0;
  std::size_t length = 0;
  for (std::size_t line = 0; line < starts_.size(); ++line) {
    const std::size_t here = End(line, text_size) - starts_[line];
    if (here > length) {
      longest = line;
      length = here;
    }
  }
  return longest;
}

}  // namespace host
