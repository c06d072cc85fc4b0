#include "host/fastpath/fastpath.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "host/fastpath/kernels.h"

namespace host::fast {
namespace {

// A text shrinks a block at a time: 16 KB, which with its result stays in
// the first-level cache. Each block's result goes through a buffer before
// it is copied back, so that the kernel's whole-register stores never run
// ahead of what it has read.
constexpr std::size_t kBlockUnits = 8192;

void ReplaceInPlace(std::u16string& text, std::size_t match, char16_t unit,
                    std::u16string_view with) {
  const TextKernels& kernels = Kernels();
  char16_t* out = text.data() + match;
  const char16_t* first = out;
  const char16_t* const end = text.data() + text.size();
  std::array<char16_t, kBlockUnits + kReplaceSlack> stage;  // only what is written is read
  while (first != end) {
    const std::size_t take = std::min(kBlockUnits, static_cast<std::size_t>(end - first));
    const char16_t* const staged = kernels.replace_unit_into(first, first + take, unit, with.data(),
                                                             with.size(), stage.data());
    out = std::copy(static_cast<const char16_t*>(stage.data()), staged, out);
    first += take;
  }
  text.resize(static_cast<std::size_t>(out - text.data()));
}

// A growing result is counted first and then written once, straight into
// its storage, which is not cleared before: both passes run at the speed
// of memory.
std::u16string ReplacedCopy(std::u16string_view text, std::size_t match, char16_t unit,
                            std::u16string_view with) {
  const TextKernels& kernels = Kernels();
  const char16_t* const first = text.data() + match;
  const char16_t* const end = text.data() + text.size();
  const std::size_t matches = kernels.count_unit(first, end, unit);
  const std::size_t grow = with.size() - 1;
  std::u16string out;
  if (matches > (out.max_size() - kReplaceSlack - text.size()) / grow) {
    throw std::length_error("the replaced text is too long");
  }
  const std::size_t size = text.size() + matches * grow;
  out.resize_and_overwrite(size + kReplaceSlack, [&](char16_t* units, std::size_t) {
    std::copy(text.data(), first, units);
    kernels.replace_unit_into(first, end, unit, with.data(), with.size(), units + match);
    return size;
  });
  return out;
}

}  // namespace

std::u16string ReplaceEveryUnit(std::u16string&& text, char16_t unit, std::u16string_view with) {
  const char16_t* const match = FindUnit(text.data(), text.data() + text.size(), unit);
  if (match == text.data() + text.size()) return std::move(text);
  const auto at = static_cast<std::size_t>(match - text.data());
  if (with.size() <= 1) {
    ReplaceInPlace(text, at, unit, with);
    return std::move(text);
  }
  return ReplacedCopy(text, at, unit, with);
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
