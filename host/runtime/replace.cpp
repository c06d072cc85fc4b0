#include "host/runtime/replace.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <new>

#include "host/runtime/find_unit.h"
#include "host/runtime/runtime_error.h"

namespace host {
namespace {

[[noreturn]] void InvalidCall(const char* why) {
  throw RuntimeError(ErrorNumber::kInvalidProcedureCall, std::string("Invalid procedure call: ") + why);
}

[[noreturn]] void OutOfMemory() { throw RuntimeError(ErrorNumber::kOutOfMemory, "Out of memory"); }

// Longest result worth trying to allocate; beyond it the length itself
// would overflow.
std::size_t MaxLength() { return String().max_size() / 2; }

// Replacements longer than this go through the general path: the block
// kernels would need a buffer too large to stay in cache.
constexpr std::size_t kLongestBlockReplacement = 64;

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

// Matches of `unit` in [first, last) to plan a result's length by: exact for
// a short text; for a long one, counted in spread samples and scaled up with
// a margin, since a whole counting pass over text that no longer fits in
// cache costs as much as the replacement itself.
std::size_t PlannedMatches(const char16_t* first, const char16_t* last, char16_t unit) {
  constexpr std::size_t kSamples = 16;
  constexpr std::size_t kSampleUnits = 4096;
  const auto size = static_cast<std::size_t>(last - first);
  if (size <= 16 * kSamples * kSampleUnits) return CountUnit(first, last, unit);
  std::size_t sampled = 0;
  for (std::size_t i = 0; i < kSamples; ++i) {
    const char16_t* at = first + i * (size / kSamples);
    sampled += CountUnit(at, at + kSampleUnits, unit);
  }
  const double scaled = static_cast<double>(sampled) * static_cast<double>(size) /
                        static_cast<double>(kSamples * kSampleUnits);
  return std::min(size, static_cast<std::size_t>(scaled * 1.125) + kSampleUnits);
}

// Replaces every occurrence of a single unit. The result is allocated once,
// at its planned length, and filled a block at a time through a buffer that
// stays in the first-level cache; should the plan fall short, the rest is
// counted exactly and the result grows once. A text that cannot grow is not
// searched ahead: one pass copies it, finding and replacing on the way.
String ReplaceEveryUnit(StringView text, char16_t unit, StringView with) {
  constexpr std::size_t kBufferUnits = 32768;
  const char16_t* first = text.data();
  const char16_t* const end = first + text.size();
  const std::size_t grow = with.size() > 1 ? with.size() - 1 : 0;
  // The length of the text from `from` on, with `matches` of them replaced.
  const auto length_with = [&](const char16_t* from, std::size_t matches) {
    const auto rest = static_cast<std::size_t>(end - from);
    if (grow != 0 && matches > (MaxLength() - rest) / grow) OutOfMemory();
    return rest + matches * grow;
  };
  if (grow != 0) {
    first = FindUnit(first, end, unit);
    if (first == end) return String(text);
  }
  String out;
  out.reserve(text.size() + (grow == 0 ? 0 : length_with(first, PlannedMatches(first, end, unit)) -
                                                  static_cast<std::size_t>(end - first)));
  out.append(text.data(), static_cast<std::size_t>(first - text.data()));
  const std::size_t chunk = (kBufferUnits - kReplaceSlack) / std::max<std::size_t>(with.size(), 1);
  // Left uninitialised: clearing it would cost a pass of its own on every
  // call, which for a short text is most of the work.
  const auto buffer = std::make_unique_for_overwrite<char16_t[]>(kBufferUnits);
  while (first != end) {
    const char16_t* last = first + std::min(chunk, static_cast<std::size_t>(end - first));
    const char16_t* written =
        ReplaceUnitInto(first, last, unit, with.data(), with.size(), buffer.get());
    const auto units = static_cast<std::size_t>(written - buffer.get());
    if (out.capacity() - out.size() < units) {
      out.reserve(out.size() + units + length_with(last, CountUnit(last, end, unit)));
    }
    out.append(buffer.get(), units);
    first = last;
  }
  return out;
}

String ReplaceAll(StringView text, StringView find, StringView with, std::size_t limit) {
  const std::size_t matches = CountMatches(text, find, limit);
  if (matches == 0) return String(text);
  const std::size_t grow = with.size() >= find.size() ? with.size() - find.size() : 0;
  if (grow != 0 && matches > (MaxLength() - text.size()) / grow) OutOfMemory();
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
    if (find.size() == 1 && count == -1 && with.size() <= kLongestBlockReplacement) {
      return ReplaceEveryUnit(rest, find[0], with);
    }
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
