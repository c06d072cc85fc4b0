#include "host/textbox/line_index.h"

#include <algorithm>

#include "host/runtime/find_unit.h"

namespace host {
namespace {
constexpr char16_t kLf = u'\n';

// Appends the start behind every CR LF whose LF lies in [from, to).
template <class Starts>
void Scan(StringView text, std::size_t from, std::size_t to, Starts& out) {
  constexpr std::size_t kBatch = 512;
  std::size_t found[kBatch];
  const char16_t* at = text.data() + from;
  const char16_t* const last = text.data() + to;
  while (at != last) {
    const LineStarts batch = FindLineStarts(text.data(), at, last, found, kBatch);
    for (std::size_t i = 0; i < batch.count; ++i) {
      out.push_back(static_cast<typename Starts::value_type>(found[i]));
    }
    at = batch.stop;
  }
}

template <class Starts>
Starts Index(StringView text) {
  Starts starts;
  // Room for every LF, counted ahead: the index is made at its size, with
  // no copies while it grows.
  starts.reserve(1 + CountUnit(text.data(), text.data() + text.size(), kLf));
  starts.push_back(0);
  Scan(text, 0, text.size(), starts);
  return starts;
}

template <class Starts>
void UpdateStarts(Starts& starts, StringView text, std::size_t position, std::size_t removed,
                  std::size_t inserted) {
  // Breaks whose LF or CR was inside the replaced range, or whose pair the
  // edit split, are found again by scanning the new text around the edit;
  // every break further on only moves.
  Starts found;
  Scan(text, position, std::min(text.size(), position + inserted + 1), found);
  auto first = std::upper_bound(starts.begin(), starts.end(), position);
  auto last = std::upper_bound(first, starts.end(), position + removed + 1);
  const auto kept = static_cast<std::size_t>(first - starts.begin());
  const auto dropped = static_cast<std::size_t>(last - first);
  // Every allocation comes before the first change.
  starts.reserve(starts.size() - dropped + found.size());
  first = starts.begin() + static_cast<std::ptrdiff_t>(kept);
  last = first + static_cast<std::ptrdiff_t>(dropped);
  // Unsigned arithmetic wraps, so adding the difference moves a start either way.
  const auto shift = static_cast<typename Starts::value_type>(inserted - removed);
  for (auto it = last; it != starts.end(); ++it) *it += shift;
  starts.insert(starts.erase(first, last), found.begin(), found.end());
}

}  // namespace

void LineIndex::Build(StringView text) {
  if (NeedsWide(text.size())) {
    wide_ = Index<Wide>(text);
    narrow_ = Narrow();
  } else {
    narrow_ = Index<Narrow>(text);
    wide_ = Wide();
  }
}

void LineIndex::Update(StringView text, std::size_t position, std::size_t removed,
                       std::size_t inserted) {
  if (!wide_.empty()) {
    UpdateStarts(wide_, text, position, removed, inserted);
  } else if (!NeedsWide(text.size())) {
    UpdateStarts(narrow_, text, position, removed, inserted);
  } else {
    // The text has outgrown 32-bit starts: widen them, then update.
    Wide wide(narrow_.begin(), narrow_.end());
    UpdateStarts(wide, text, position, removed, inserted);
    wide_ = std::move(wide);
    narrow_ = Narrow();
  }
}

std::size_t LineIndex::LineOf(std::size_t position) const {
  return Visit([position](const auto& starts) -> std::size_t {
    return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), position) -
                                    starts.begin()) -
           1;
  });
}

std::size_t LineIndex::LongestLine(std::size_t text_size) const {
  return Visit([text_size](const auto& starts) -> std::size_t {
    std::size_t longest = 0;
    std::size_t length = 0;
    for (std::size_t line = 0; line < starts.size(); ++line) {
      const std::size_t end = line + 1 < starts.size() ? starts[line + 1] - 2 : text_size;
      if (end - starts[line] > length) {
        longest = line;
        length = end - starts[line];
      }
    }
    return longest;
  });
}

}  // namespace host
