#include "host/runtime/replace.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "host/runtime/find_unit.h"
#include "host/runtime/runtime_error.h"
#include "host/runtime/string_overwrite.h"
#include "host/runtime/text_storage.h"

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

constexpr std::size_t kLineUnits = kCacheLineBytes / sizeof(char16_t);

// The text is replaced a block at a time: 16 KB, which with its result
// stays in the first-level cache.
constexpr std::size_t kBlockUnits = 8192;
// The buffer a block's result goes through where it is not written in
// place, with room for a whole block with every unit made three, plus a
// held ragged line. Only the part a result takes is ever touched.
constexpr std::size_t kStageUnits = 3 * kBlockUnits + kLineUnits + kReplaceSlack;
using Stage = std::array<char16_t, kStageUnits>;

// Units of the text a block takes when each may become `widest`: the whole
// block for up to three. A block cut short to fit a wider result in the
// stage costs more per unit, in the kernels' ragged ends and the writing
// out (a brace step over 200 MB: 26 ms in blocks of 2 709 units, 25 in
// whole ones).
std::size_t BlockUnits(std::size_t widest) {
  return std::min(kBlockUnits, (kStageUnits - kLineUnits - kReplaceSlack) / widest);
}

// A result at least this large is written with stores that go around the
// cache. It is far larger than the cache, so its lines would only be read
// in to be overwritten and then evicted; below it the next step of a chain
// finds the result still in cache, and ordinary stores are quicker.
constexpr std::size_t kStreamBytes = std::size_t{48} << 20;

// How a handed-over input's pages behind the scan move under its result,
// where the result takes fresh memory: once the scan is `batch` bytes on,
// the pages it left at least `lag` bytes behind.
struct SpentPace {
  std::size_t batch;
  std::size_t lag;
};
// A result written through the cache gains from finding the pages just
// read still there.
constexpr SpentPace kDirectPace{.batch = std::size_t{1} << 20, .lag = 0};
// A result streamed around the cache takes pages whose lines have left it:
// such a store to a line still cached waits for the line to be put out
// first (1 MB over cached lines took 81 us, over others 48), and the scan
// has just read the pages under it. A 100 MB conversion after idle: 166 ms
// moving each megabyte as it was read, 158 with the pages 2 MiB behind.
// Moving them 2 MiB at a time halves the system calls, for a gain within
// the noise.
constexpr SpentPace kStreamedPace{.batch = std::size_t{2} << 20, .lag = std::size_t{2} << 20};
// Only a text at least this long is handed on so: a shorter one faults in
// fewer pages than moving them costs (1 MB took 25% longer). Such a text,
// and a result growing from it, has its storage from the large-text cache,
// the only storage that can hand its pages on.
constexpr std::size_t kSpentTextBytes = std::size_t{8} << 20;
static_assert(kSpentTextBytes >= kLargeTextBytes);

// The part of a handed-over text already read, moved under the result
// ahead of its writer: the result is written into pages the process
// already holds, and the two texts never take the memory of both. Inert
// for a text that stays.
class Spent {
 public:
  Spent() = default;
  // The scan is at `read` and the result's room `result_size` units.
  Spent(char16_t* text, const char16_t* read, char16_t* result, std::size_t result_size,
        SpentPace pace)
      : text_(text),
        result_(result),
        end_(result_size * sizeof(char16_t)),
        pace_(pace),
        moved_(static_cast<std::size_t>(read - text) * sizeof(char16_t)) {}

  // Everything before `read` is no longer needed, and the result is written
  // up to `written`.
  void Behind(const char16_t* read, const char16_t* written) noexcept {
    if (text_ == nullptr) return;
    const auto scanned = static_cast<std::size_t>(read - text_) * sizeof(char16_t);
    if (scanned < moved_ + pace_.lag + pace_.batch) return;
    const std::size_t done = scanned - pace_.lag;
    const auto frontier = static_cast<std::size_t>(written - result_) * sizeof(char16_t);
    const SpentMove move =
        MoveSpentPages(text_, moved_, done, result_, std::max(ahead_, frontier), end_);
    moved_ = move.spent;
    ahead_ = move.into;
  }

 private:
  char16_t* text_ = nullptr;
  char16_t* result_ = nullptr;
  std::size_t end_ = 0;    // bytes of the result's room
  SpentPace pace_{};
  std::size_t moved_ = 0;  // bytes of the text dealt with
  std::size_t ahead_ = 0;  // bytes of the result with pages moved in
};

// How far a writer below got: in the text, and in the result.
struct Progress {
  const char16_t* read;
  char16_t* written;
};

// Writes [first, last) with every `unit` replaced by `with` at `out`, as far
// as the room up to `out_end` allows. While there is room for the kernel's
// whole-register stores past a block's result, the kernel writes in place;
// near the end a block goes through the stage and is kept only if it fits.
Progress WriteDirect(const char16_t* first, const char16_t* last, char16_t unit, StringView with,
                     char16_t* out, char16_t* out_end, Spent& spent) {
  const std::size_t widest = std::max<std::size_t>(with.size(), 1);
  const std::size_t chunk = BlockUnits(widest);
  Stage stage;  // left uninitialised: every unit read from it is written first
  while (first != last) {
    const std::size_t take = std::min(chunk, static_cast<std::size_t>(last - first));
    const auto room = static_cast<std::size_t>(out_end - out);
    if (room >= take * widest + kReplaceSlack) {
      out = ReplaceUnitInto(first, first + take, unit, with.data(), with.size(), out);
    } else {
      const auto staged = static_cast<std::size_t>(
          ReplaceUnitInto(first, first + take, unit, with.data(), with.size(), stage.data()) -
          stage.data());
      if (staged > room) break;
      std::memcpy(out, stage.data(), staged * sizeof(char16_t));
      out += staged;
    }
    first += take;
    spent.Behind(first, out);
  }
  return {first, out};
}

// The same for a result larger than any cache, through the stage, with
// stores that go around the cache. Only whole 64-byte lines are written: a
// line written in part would be read in from memory first, the very cost
// streaming avoids, so the ragged end of each block waits in the stage for
// the next.
Progress WriteStreamed(const char16_t* first, const char16_t* last, char16_t unit, StringView with,
                       char16_t* out, char16_t* out_end, Spent& spent) {
  const std::size_t widest = std::max<std::size_t>(with.size(), 1);
  const std::size_t chunk = BlockUnits(widest);
  Stage stage;  // left uninitialised: every unit read from it is written first
  std::size_t held = 0;  // units at the stage's front that belong at `out`
  while (first != last) {
    const std::size_t take = std::min(chunk, static_cast<std::size_t>(last - first));
    const auto staged = static_cast<std::size_t>(
        ReplaceUnitInto(first, first + take, unit, with.data(), with.size(), stage.data() + held) -
        stage.data());
    if (staged > static_cast<std::size_t>(out_end - out)) break;
    const std::size_t ragged =
        reinterpret_cast<std::uintptr_t>(out + staged) % kCacheLineBytes / sizeof(char16_t);
    const std::size_t whole = staged - std::min(ragged, staged);
    const std::size_t next = std::min(chunk, static_cast<std::size_t>(last - first) - take);
    StreamUnits(stage.data(), whole, out, first + take, next);
    out += whole;
    held = staged - whole;
    std::memmove(stage.data(), stage.data() + whole, held * sizeof(char16_t));
    first += take;
    spent.Behind(first, out);
  }
  std::memcpy(out, stage.data(), held * sizeof(char16_t));
  FinishStreaming();
  return {first, out + held};
}

// Replaces every occurrence of a single unit into a new string; `match` is
// the first. The result is sized once, at its planned length, and written
// where it lies; should the plan fall short, the rest is counted exactly
// and the result grows once. `owned` is the text's storage where the
// caller has given it up and it is long enough to hand its pages on; its
// contents are then lost, failure or not. The result, never shorter, is a
// large text too, whose block says whether it is fresh.
String ReplacedCopy(StringView text, std::size_t match, char16_t unit, StringView with,
                    char16_t* owned = nullptr) {
  const char16_t* const end = text.data() + text.size();
  const std::size_t grow = with.size() > 1 ? with.size() - 1 : 0;
  // The length of the text from `from` on, with `matches` of them replaced.
  const auto length_with = [&](const char16_t* from, std::size_t matches) {
    const auto rest = static_cast<std::size_t>(end - from);
    if (grow != 0 && matches > (MaxLength() - rest) / grow) OutOfMemory();
    return rest + matches * grow;
  };
  const char16_t* const first_match = text.data() + match;
  const std::size_t widest = grow + 1;
  // A result that comes from the ordinary heap even with every unit
  // replaced is given that much room, which spares counting: the part
  // never written is never touched.
  const bool short_text = text.size() <= kLargeTextBytes / sizeof(char16_t) / widest;
  const std::size_t planned =
      match + (grow == 0 || short_text
                   ? (text.size() - match) * widest
                   : length_with(first_match, PlannedMatches(first_match, end, unit)));
  const bool streamed = planned * sizeof(char16_t) >= kStreamBytes;
  const auto write = streamed ? WriteStreamed : WriteDirect;
  const SpentPace pace = streamed ? kStreamedPace : kDirectPace;
  // The part before the first match is written as the rest is: with no
  // match in it, replacing is copying.
  const char16_t* read = text.data();
  std::size_t written = 0;
  auto fill = [&](char16_t* units, std::size_t size) {
    Spent spent = owned != nullptr && FreshLargeText(units) ? Spent(owned, read, units, size, pace)
                                                            : Spent();
    const Progress progress = write(read, end, unit, with, units + written, units + size, spent);
    read = progress.read;
    written = static_cast<std::size_t>(progress.written - units);
    return written;
  };
  String out;
  Overwrite(out, planned + kReplaceSlack, fill);
  if (read != end) {
    Overwrite(out, written + length_with(read, CountUnit(read, end, unit)) + kReplaceSlack, fill);
  }
  return out;
}

// The same over the text itself, for a replacement no longer than one unit:
// the result is never longer than the text, so it is written behind the
// scan. Each block goes through the stage, so that the kernel's stores
// never run ahead of what it has read.
void ReplaceInPlace(String& text, std::size_t match, char16_t unit, StringView with) {
  char16_t* out = text.data() + match;
  const char16_t* first = out;
  const char16_t* const end = text.data() + text.size();
  Stage stage;  // left uninitialised: every unit read from it is written first
  while (first != end) {
    const std::size_t take =
        std::min(kBlockUnits, static_cast<std::size_t>(end - first));
    const auto staged = static_cast<std::size_t>(
        ReplaceUnitInto(first, first + take, unit, with.data(), with.size(), stage.data()) -
        stage.data());
    std::memcpy(out, stage.data(), staged * sizeof(char16_t));
    out += staged;
    first += take;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

// Whether a call replaces every occurrence of one unit, with a replacement
// the block kernels take.
bool EveryUnit(StringView find, StringView with, std::int32_t count) {
  return find.size() == 1 && count == -1 && with.size() <= kLongestBlockReplacement;
}

// Runs `make`, reporting a failure to allocate as the runtime's error.
template <class Make>
String Guarded(Make make) {
  try {
    return make();
  } catch (const std::bad_alloc&) {
    OutOfMemory();
  } catch (const std::length_error&) {
    OutOfMemory();
  }
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
  return Guarded([&] {
    if (find.empty() || count == 0) return String(rest);
    if (EveryUnit(find, with, count)) {
      const std::size_t match = FindNext(rest, find, 0);
      if (match == StringView::npos) return String(rest);
      return ReplacedCopy(rest, match, find[0], with);
    }
    const std::size_t limit =
        count == -1 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(count);
    return ReplaceAll(rest, find, with, limit);
  });
}

String ReplaceOwned(String&& text, StringView find, StringView with, std::int32_t start,
                    std::int32_t count, Compare compare) {
  if (start != 1 || compare != Compare::kBinary || !EveryUnit(find, with, count)) {
    return Replace(StringView(text), find, with, start, count, compare);
  }
  return Guarded([&] {
    const std::size_t match = FindNext(text, find, 0);
    if (match == StringView::npos) return std::move(text);
    if (with.size() > 1) {
      const bool spent = text.size() * sizeof(char16_t) >= kSpentTextBytes;
      return ReplacedCopy(text, match, find[0], with, spent ? text.data() : nullptr);
    }
    ReplaceInPlace(text, match, find[0], with);
    return std::move(text);
  });
}

String StrCat(StringView left, StringView right) {
  return Guarded([&] {
    String out;
    out.reserve(left.size() + right.size());
    out.append(left);
    out.append(right);
    return out;
  });
}

}  // namespace host
