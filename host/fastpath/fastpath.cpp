#include "host/fastpath/fastpath.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>

#include "host/fastpath/kernels.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace host::fast {
namespace {

// A text is replaced in its own storage a block at a time, whose result
// stays in a 16 KB buffer in the first-level cache before it is copied to
// its place, so that the kernel's whole-register stores never reach text
// not yet read. A result no longer than the text (`size` 0: not known) is
// written from the front, behind the scan; a longer one, `size` units, from
// the back, ahead of a scan going backwards, into room the storage already
// has. Either way every unit is read before its place is written. Returns
// the result's length.
constexpr std::size_t kStageUnits = 8192;

std::size_t ReplaceInPlace(char16_t* units, std::size_t length, std::size_t size, char16_t unit,
                           std::u16string_view with) {
  const std::size_t block = kStageUnits / std::max<std::size_t>(with.size(), 1);
  std::array<char16_t, kStageUnits + kReplaceSlack> stage;  // only what is written is read
  const auto staged = [&](std::size_t read, std::size_t take) {
    const char16_t* const end = Kernels().replace_unit_into(
        units + read, units + read + take, unit, with.data(), with.size(), stage.data());
    return static_cast<std::size_t>(end - stage.data());
  };
  if (size == 0) {
    char16_t* out = units;
    for (std::size_t read = 0, take; read != length; read += take) {
      take = std::min(block, length - read);
      out = std::copy_n(stage.data(), staged(read, take), out);
    }
    return static_cast<std::size_t>(out - units);
  }
  for (std::size_t read = length, end = size, take; read != 0; read -= take) {
    take = std::min(block, read);
    const std::size_t count = staged(read - take, take);
    std::copy_n(stage.data(), count, units + (end -= count));
  }
  return size;
}

// A text given up to a step that writes a new string hands its pages on to
// the result as the scan leaves them behind, a batch at a time: the result
// is written into pages the process already holds, rather than each fresh
// page costing the system a fault, and the two texts never take the memory
// of both. Only whole pages within each text's own units move; what the
// text held there reads as zero after. Shorter texts fault in fewer pages
// than moving them costs.
constexpr std::size_t kSpentTextBytes = std::size_t{8} << 20;
constexpr std::size_t kSpentBatchUnits = std::size_t{1} << 19;

class SpentPages {
 public:
  SpentPages(const char16_t* text, std::size_t length, char16_t* result, std::size_t size)
      : from_(Address(text)), to_(Address(result)), to_end_(Address(result + size)),
        enabled_(Move(length)) {}

  // Whether a text of `length` units hands its pages on: on Linux, from 8 MB.
  static bool Move([[maybe_unused]] std::size_t length) {
#if defined(__linux__) && defined(MREMAP_DONTUNMAP)
    return length * sizeof(char16_t) >= kSpentTextBytes;
#else
    return false;
#endif
  }

  // The text before `read` is no longer needed; the result is written up
  // to `written`.
  void Behind([[maybe_unused]] const char16_t* read,
              [[maybe_unused]] const char16_t* written) noexcept {
#if defined(__linux__) && defined(MREMAP_DONTUNMAP)
    if (!enabled_) return;
    const std::uintptr_t page = Page();
    const std::uintptr_t first = (from_ + page - 1) / page * page;
    const std::uintptr_t last = Address(read) / page * page;
    const std::uintptr_t at = (std::max(to_, Address(written)) + page - 1) / page * page;
    const std::uintptr_t room_end = to_end_ / page * page;
    if (first >= last || at >= room_end) return;
    const std::size_t bytes = std::min(last - first, room_end - at);
    constexpr int kMove = MREMAP_MAYMOVE | MREMAP_FIXED | MREMAP_DONTUNMAP;
    if (mremap(reinterpret_cast<void*>(first), bytes, bytes, kMove, reinterpret_cast<void*>(at)) ==
        MAP_FAILED) {
      enabled_ = false;  // an older system, or no room for more mappings: the pages stay
      return;
    }
    from_ = first + bytes;
    to_ = at + bytes;
#endif
  }

 private:
  static std::uintptr_t Address(const void* at) { return reinterpret_cast<std::uintptr_t>(at); }
#if defined(__linux__)
  static std::uintptr_t Page() {
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    return page;
  }
#endif

  std::uintptr_t from_;    // the text is dealt with up to here
  std::uintptr_t to_;      // the result has pages moved in up to here
  std::uintptr_t to_end_;
  bool enabled_;
};

// The length of `text` with every `unit` from `match` on replaced by the
// `with` units, more than one.
std::size_t GrownLength(std::u16string_view text, std::size_t match, char16_t unit,
                        std::size_t with) {
  const std::size_t matches =
      Kernels().count_unit(text.data() + match, text.data() + text.size(), unit);
  if (matches > (std::u16string().max_size() / 2 - text.size()) / (with - 1)) {
    throw std::length_error("the replaced text is too long");
  }
  return text.size() + matches * (with - 1);
}

}  // namespace

std::u16string ReplaceEveryUnit(std::u16string&& text, char16_t unit, std::u16string_view with) {
  const char16_t* const match = FindUnit(text.data(), text.data() + text.size(), unit);
  const std::size_t length = text.size();
  if (match == text.data() + length) return std::move(text);
  const auto at = static_cast<std::size_t>(match - text.data());
  if (with.size() <= 1) {
    text.resize(at + ReplaceInPlace(text.data() + at, length - at, 0, unit, with));
    return std::move(text);
  }
  // A longer result grows in place where the storage has room for it, as
  // the room a new result is given below has: its pages are in memory
  // already, where a new string's would each cost the system a fault. A
  // text that hands its pages on to a new result spares the count instead.
  if (!SpentPages::Move(length) && with.size() <= kStageUnits && length < text.capacity()) {
    const std::size_t size = GrownLength(text, at, unit, with.size());
    if (size <= text.capacity()) {
      text.resize_and_overwrite(size, [&](char16_t* units, std::size_t) {
        return at + ReplaceInPlace(units + at, length - at, size - at, unit, with);
      });
      return std::move(text);
    }
  }
  // Otherwise the result is written once, straight into a new string that
  // is not cleared before, with room for every unit from the match on
  // replaced, which later steps may grow into: room that is not taken is
  // never touched, so it costs address space only. Where that much cannot
  // be had, the result is counted first.
  std::u16string out;
  std::size_t room = 0;
  if (length - at <= (out.max_size() / 2 - at) / with.size()) {
    room = at + (length - at) * with.size();
    try {
      out.reserve(room + kReplaceSlack);
    } catch (const std::bad_alloc&) {
      room = 0;
    }
  }
  if (room == 0) room = GrownLength(text, at, unit, with.size());
  out.resize_and_overwrite(room + kReplaceSlack, [&](char16_t* units, std::size_t) {
    char16_t* written = std::copy_n(text.data(), at, units);
    SpentPages spent(text.data(), length, units, room);
    for (const char16_t* read = match; read != text.data() + length;) {
      const std::size_t take =
          std::min(kSpentBatchUnits, static_cast<std::size_t>(text.data() + length - read));
      written = Kernels().replace_unit_into(read, read + take, unit, with.data(), with.size(),
                                            written);
      read += take;
      spent.Behind(read, written);
    }
    return static_cast<std::size_t>(written - units);
  });
  std::u16string().swap(text);  // what is left of it may have moved away
  return out;
}

const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  return Kernels().find_unit(first, last, unit);
}

const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last) {
  return Kernels().find_tab_or_surrogate(first, last);
}

std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  return Kernels().count_unit(first, last, unit);
}

LineStarts FindLineStarts(const char16_t* text, const char16_t* first, const char16_t* last,
                          std::size_t* out, std::size_t room) {
  return Kernels().line_starts(text, first, last, out, room);
}

std::size_t WidenAscii(const char* in, std::size_t size, char16_t* out) {
  return Kernels().widen_ascii(in, size, out);
}

std::size_t NarrowAscii(const char16_t* in, std::size_t size, char* out) {
  return Kernels().narrow_ascii(in, size, out);
}

std::size_t AsciiUnits(const char16_t* in, std::size_t size) {
  return Kernels().ascii_units(in, size);
}

}  // namespace host::fast
