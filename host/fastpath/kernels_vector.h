// The vector kernels, written once over a register type. Included by
// kernels_sse2.cpp and kernels_avx2.cpp inside an unnamed namespace, so
// every instantiation stays in that file; each defines QUILLFEN_KERNEL
// first, the instruction set its functions are built for. Not a header to
// include elsewhere.
//
// V gives: Reg, kLanes (units per register), Load, Store, Prefetch, Splat,
// Equal, Or, And, Sub, Mask (one bit per byte, so two per unit), Zero, Sum
// (of the 16-bit lanes), and for the ASCII loops kBytes (bytes per
// register), NonAsciiBytes, Widen, Narrow and IsAscii.

// How far ahead of a long scan its lines are asked for. A long text comes
// from memory at the rate of the loads in flight, and the processor's own
// prefetch keeps too few of them going while the loop also does work.
inline constexpr std::uintptr_t kPrefetchBytes = 2048;
inline constexpr std::ptrdiff_t kLineUnits = kCacheLineBytes / sizeof(char16_t);

// Asks for the line kPrefetchBytes past `at`. Never faults, so it may
// point past the end of the text; the address is formed as a number for
// that reason.
template <class V>
QUILLFEN_KERNEL void PrefetchAhead(const void* at) {
  V::Prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(at) + kPrefetchBytes));
}

// Four registers are compared at a time: a match is rare, and one test of
// the four costs less than four.
template <class V>
QUILLFEN_KERNEL const char16_t* FindUnitIn(const char16_t* first, const char16_t* last,
                                           char16_t unit) {
  constexpr std::ptrdiff_t kLanes = V::kLanes;
  const auto needle = V::Splat(unit);
  while (last - first >= 4 * kLanes) {
    for (std::ptrdiff_t line = 0; line < 4 * kLanes; line += kLineUnits) {
      PrefetchAhead<V>(first + line);
    }
    const auto a = V::Equal(V::Load(first), needle);
    const auto b = V::Equal(V::Load(first + kLanes), needle);
    const auto c = V::Equal(V::Load(first + 2 * kLanes), needle);
    const auto d = V::Equal(V::Load(first + 3 * kLanes), needle);
    if (V::Mask(V::Or(V::Or(a, b), V::Or(c, d))) != 0) break;
    first += 4 * kLanes;
  }
  while (last - first >= kLanes) {
    const unsigned mask = V::Mask(V::Equal(V::Load(first), needle));
    if (mask != 0) return first + (__builtin_ctz(mask) >> 1);
    first += kLanes;
  }
  return tails::FindUnit(first, last, unit);
}

template <class V>
QUILLFEN_KERNEL const char16_t* FindTabOrSurrogateIn(const char16_t* first, const char16_t* last) {
  constexpr std::ptrdiff_t kLanes = V::kLanes;
  const auto tab = V::Splat(u'\t');
  const auto top_bits = V::Splat(0xF800);
  const auto surrogate = V::Splat(0xD800);
  while (last - first >= kLanes) {
    const auto units = V::Load(first);
    const unsigned mask =
        V::Mask(V::Or(V::Equal(units, tab), V::Equal(V::And(units, top_bits), surrogate)));
    if (mask != 0) return first + (__builtin_ctz(mask) >> 1);
    first += kLanes;
  }
  return tails::FindTabOrSurrogate(first, last);
}

template <class V>
QUILLFEN_KERNEL std::size_t CountUnitIn(const char16_t* first, const char16_t* last,
                                        char16_t unit) {
  constexpr std::ptrdiff_t kLanes = V::kLanes;
  // A match is -1 in its lane; subtracting counts it. A 16-bit lane is
  // summed up before it can wrap.
  constexpr std::ptrdiff_t kBlocksPerSum = 0x7FFF;
  const auto needle = V::Splat(unit);
  std::size_t count = 0;
  while (last - first >= kLanes) {
    const std::ptrdiff_t blocks = std::min((last - first) / kLanes, kBlocksPerSum);
    auto counts = V::Zero();
    for (std::ptrdiff_t i = 0; i < blocks; ++i, first += kLanes) {
      PrefetchAhead<V>(first);
      counts = V::Sub(counts, V::Equal(V::Load(first), needle));
    }
    count += V::Sum(counts);
  }
  return count + tails::CountUnit(first, last, unit);
}

// Each block is stored as it is; at every match the replacement is stored
// over the match, and the rest of the block, loaded again from behind the
// match, is stored behind it. Every store is a whole register, so runs
// between matches are copied a register at a time whatever their length.
// A replacement wider than a register, which no conversion asks for, goes
// a unit at a time.
template <class V>
QUILLFEN_KERNEL char16_t* ReplaceUnitIntoIn(const char16_t* first, const char16_t* last,
                                            char16_t unit, const char16_t* with,
                                            std::size_t with_size, char16_t* out) {
  constexpr std::ptrdiff_t kLanes = V::kLanes;
  if (with_size > static_cast<std::size_t>(kLanes)) {
    return tails::ReplaceUnitInto(first, last, unit, with, with_size, out);
  }
  char16_t padded[kLanes] = {};
  for (std::size_t i = 0; i < with_size; ++i) padded[i] = with[i];
  const auto replacement = V::Load(padded);
  const auto needle = V::Splat(unit);
  const auto grow = static_cast<std::ptrdiff_t>(with_size);
  // The reload behind a match reads up to one register past the block.
  while (last - first >= 2 * kLanes) {
    PrefetchAhead<V>(first);
    const auto block = V::Load(first);
    V::Store(out, block);
    unsigned mask = V::Mask(V::Equal(block, needle));
    if (mask == 0) {
      first += kLanes;
      out += kLanes;
      continue;
    }
    const char16_t* from = first;  // next unit of the block not yet placed
    do {
      const int bit = __builtin_ctz(mask);
      mask &= ~(3u << bit);
      const char16_t* match = first + (bit >> 1);
      out += match - from;
      V::Store(out, replacement);
      out += grow;
      from = match + 1;
      V::Store(out, V::Load(from));
    } while (mask != 0);
    out += first + kLanes - from;
    first += kLanes;
  }
  return tails::ReplaceUnitInto(first, last, unit, with, with_size, out);
}

template <class V>
QUILLFEN_KERNEL std::size_t WidenAsciiIn(const char* in, std::size_t size, char16_t* out) {
  std::size_t done = 0;
  while (size - done >= V::kBytes && V::NonAsciiBytes(in + done) == 0) {
    PrefetchAhead<V>(in + done);
    V::Widen(in + done, out + done);
    done += V::kBytes;
  }
  return done;
}

template <class V>
QUILLFEN_KERNEL std::size_t NarrowAsciiIn(const char16_t* in, std::size_t size, char* out) {
  std::size_t done = 0;
  while (size - done >= V::kBytes && V::Narrow(in + done, out + done)) done += V::kBytes;
  return done;
}

template <class V>
QUILLFEN_KERNEL std::size_t AsciiUnitsIn(const char16_t* in, std::size_t size) {
  std::size_t done = 0;
  while (size - done >= V::kBytes && V::IsAscii(in + done)) done += V::kBytes;
  return done;
}

// A CR LF is an LF in one register and a CR in the same lane of the
// register loaded one unit earlier.
template <class V>
QUILLFEN_KERNEL LineStarts LineStartsIn(const char16_t* text, const char16_t* first,
                                        const char16_t* last, std::size_t* out, std::size_t room) {
  constexpr std::ptrdiff_t kLanes = V::kLanes;
  const auto lf = V::Splat(u'\n');
  const auto cr = V::Splat(u'\r');
  if (first == text && first != last) ++first;  // nothing before the first unit
  std::size_t count = 0;
  while (last - first >= kLanes && room - count >= static_cast<std::size_t>(kLanes)) {
    PrefetchAhead<V>(first);
    unsigned hits = V::Mask(V::Equal(V::Load(first), lf)) & V::Mask(V::Equal(V::Load(first - 1), cr));
    const auto offset = static_cast<std::size_t>(first - text) + 1;
    while (hits != 0) {
      const int bit = __builtin_ctz(hits);
      hits &= ~(3u << bit);
      out[count++] = offset + static_cast<std::size_t>(bit >> 1);
    }
    first += kLanes;
  }
  const LineStarts rest = tails::FindLineStarts(text, first, last, out + count, room - count);
  return {count + rest.count, rest.stop};
}

template <class V>
constexpr TextKernels KernelsOf() {
  return TextKernels{
      .find_unit = FindUnitIn<V>,
      .find_tab_or_surrogate = FindTabOrSurrogateIn<V>,
      .count_unit = CountUnitIn<V>,
      .replace_unit_into = ReplaceUnitIntoIn<V>,
      .widen_ascii = WidenAsciiIn<V>,
      .narrow_ascii = NarrowAsciiIn<V>,
      .ascii_units = AsciiUnitsIn<V>,
      .line_starts = LineStartsIn<V>,
  };
}
