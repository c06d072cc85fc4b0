#include "host/runtime/replace.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "host/runtime/find_unit.h"
#include "host/runtime/runtime_error.h"

namespace host {
namespace {

[[noreturn]] void InvalidCall(const char* why) {
  throw RuntimeError(ErrorNumber::kInvalidProcedureCall, std::string("Invalid procedure call: ") + why);
}

[[noreturn]] void OutOfMemory() { throw RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory"); }

// Position of the next occurrence of `find` at or after `from`, or npos.
std::size_t FindNext(StringView text, StringView find, std::size_t from) {
  if (find.size() == 1) {
    const char16_t* at = FindUnit(text.data() + from, text.data() + text.size(), find[0]);
    return at == text.data() + text.size() ? StringView::npos
                                           : static_cast<std::size_t>(at - text.data());
  }
  return text.find(find, from);
}

std::size_t CountMatches(StringView text, StringView find, std::size_t limit) {
  if (find.size() == 1 && limit == std::numeric_limits<std::size_t>::max()) {
    return CountUnit(text.data(), text.data() + text.size(), find[0]);
  }
  std::size_t matches = 0;
  for (std::size_t at = FindNext(text, find, 0); at != StringView::npos && matches < limit;
       at = FindNext(text, find, at + find.size())) {
    ++matches;
  }
  return matches;
}

// Replaces every occurrence of a single unit, a block of input at a time
// through a buffer that stays in cache: no second scan, no per-match calls.
String ReplaceEveryUnit(StringView text, char16_t unit, StringView with) {
  constexpr std::size_t kChunk = 4096;
  const char16_t* const end = text.data() + text.size();
  // Up to the first occurrence the text is copied as it is.
  const char16_t* first = FindUnit(text.data(), end, unit);
  if (first == end) return String(text);
  const std::size_t widest = std::max<std::size_t>(with.size(), 1);
  std::vector<char16_t> buffer(kChunk * widest + 8);
  String out;
  out.reserve(text.size() + text.size() / 8);
  out.append(text.data(), static_cast<std::size_t>(first - text.data()));
  while (first != end) {
    const char16_t* last = first + std::min<std::size_t>(kChunk, static_cast<std::size_t>(end - first));
    const char16_t* written =
        ReplaceUnitInto(first, last, unit, with.data(), with.size(), buffer.data());
    out.append(buffer.data(), static_cast<std::size_t>(written - buffer.data()));
    first = last;
  }
  return out;
}

String ReplaceAll(StringView text, StringView find, StringView with, std::size_t limit) {
  const std::size_t matches = CountMatches(text, find, limit);
  if (matches == 0) return String(text);
  const std::size_t grow = with.size() >= find.size() ? with.size() - find.size() : 0;
  if (grow != 0 && matches > (std::numeric_limits<std::size_t>::max() / 2 - text.size()) / grow) {
    OutOfMemory();
  }
  String out;
  out.reserve(text.size() - matches * find.size() + matches * with.size());
  std::size_t from = 0;
  for (std::size_t done = 0; done < matches; ++done) {
    const std::size_t at = FindNext(text, find, from);
    out.append(text.data() + from, at - from);
    out.append(with);
    from = at + find.size();
  }
  out.append(text.data() + from, text.size() - from);
  return out;
}

}  // namespace

String Replace(StringView text, StringView find, StringView with, std::int32_t start,
               std::int32_t count, Compare compare) {
  if (start < 1) InvalidCall("start must be 1 or more");
  if (count < -1) InvalidCall("count must be -1 or more");
  if (compare != Compare::kBinary) InvalidCall("only binary comparison is supported");
  const std::size_t first = static_cast<std::size_t>(start) - 1;
  if (first >= text.size()) return String();
  const StringView rest = text.substr(first);
  try {
    if (find.empty() || count == 0) return String(rest);
    const std::size_t limit =
        count == -1 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(count);
    if (find.size() == 1 && count == -1) return ReplaceEveryUnit(rest, find[0], with);
    return ReplaceAll(rest, find, with, limit);
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  } catch (const std::length_error&) {
    OutOfMemory();
  }
}

String StrCat(StringView left, StringView right) {
  try {
    String out;
    out.reserve(left.size() + right.size());
    out.append(left);
    out.append(right);
    return out;
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  } catch (const std::length_error&) {
    OutOfMemory();
  }
}

}  // namespace host
