#include "host/runtime/find_unit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace host {

#if defined(__SSE2__)
namespace {
constexpr std::ptrdiff_t kLanes = 8;  // code units in one 128-bit register

__m128i Load(const char16_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
}  // namespace
#endif

const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(static_cast<short>(unit));
  while (last - first >= 4 * kLanes) {
    const __m128i a = _mm_cmpeq_epi16(Load(first), needle);
    const __m128i b = _mm_cmpeq_epi16(Load(first + kLanes), needle);
    const __m128i c = _mm_cmpeq_epi16(Load(first + 2 * kLanes), needle);
    const __m128i d = _mm_cmpeq_epi16(Load(first + 3 * kLanes), needle);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0) break;
    first += 4 * kLanes;
  }
  while (last - first >= kLanes) {
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(Load(first), needle));
    if (mask != 0) return first + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    first += kLanes;
  }
#endif
  for (; first != last; ++first) {
    if (*first == unit) return first;
  }
  return last;
}

const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last) {
#if defined(__SSE2__)
  const __m128i tab = _mm_set1_epi16(u'\t');
  const __m128i surrogate_mask = _mm_set1_epi16(static_cast<short>(0xF800));
  const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
  while (last - first >= kLanes) {
    const __m128i units = Load(first);
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(units, tab),
                                      _mm_cmpeq_epi16(_mm_and_si128(units, surrogate_mask), surrogate));
    const int mask = _mm_movemask_epi8(hits);
    if (mask != 0) return first + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
    first += kLanes;
  }
#endif
  for (; first != last; ++first) {
    if (*first == u'\t' || (*first & 0xF800) == 0xD800) return first;
  }
  return last;
}

std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  std::size_t count = 0;
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(static_cast<short>(unit));
  while (last - first >= kLanes) {
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(Load(first), needle)));
    count += static_cast<std::size_t>(__builtin_popcount(mask)) / 2;
    first += kLanes;
  }
#endif
  for (; first != last; ++first) count += *first == unit;
  return count;
}

namespace {

char16_t* ReplaceScalar(const char16_t* first, const char16_t* last, char16_t unit,
                        const char16_t* with, std::size_t with_size, char16_t* out) {
  for (; first != last; ++first) {
    if (*first == unit) {
      for (std::size_t i = 0; i < with_size; ++i) *out++ = with[i];
    } else {
      *out++ = *first;
    }
  }
  return out;
}

}  // namespace

char16_t* ReplaceUnitInto(const char16_t* first, const char16_t* last, char16_t unit,
                          const char16_t* with, std::size_t with_size, char16_t* out) {
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(static_cast<short>(unit));
  while (last - first >= kLanes) {
    const __m128i block = Load(first);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
    const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, needle));
    if (mask == 0) {
      first += kLanes;
      out += kLanes;
      continue;
    }
    // The units ahead of the first match are in place already.
    const int lead = __builtin_ctz(static_cast<unsigned>(mask)) >> 1;
    out = ReplaceScalar(first + lead, first + kLanes, unit, with, with_size, out + lead);
    first += kLanes;
  }
#endif
  return ReplaceScalar(first, last, unit, with, with_size, out);
}

}  // namespace host
