#pragma once
// Unit-at-a-time loops: the scalar kernels, and the tails the vector
// kernels leave behind their last whole block.
#include <cstddef>

#include "host/fastpath/kernels.h"

namespace host::fast::tails {

inline const char16_t* FindUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  for (; first != last; ++first) {
    if (*first == unit) return first;
  }
  return last;
}

inline bool IsTabOrSurrogate(char16_t unit) { return unit == u'\t' || (unit & 0xF800) == 0xD800; }

inline const char16_t* FindTabOrSurrogate(const char16_t* first, const char16_t* last) {
  for (; first != last; ++first) {
    if (IsTabOrSurrogate(*first)) return first;
  }
  return last;
}

inline std::size_t CountUnit(const char16_t* first, const char16_t* last, char16_t unit) {
  std::size_t count = 0;
  for (; first != last; ++first) count += *first == unit;
  return count;
}

inline char16_t* ReplaceUnitInto(const char16_t* first, const char16_t* last, char16_t unit,
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

inline LineStarts FindLineStarts(const char16_t* text, const char16_t* first, const char16_t* last,
                                 std::size_t* out, std::size_t room) {
  std::size_t count = 0;
  for (; first != last && count != room; ++first) {
    if (*first == u'\n' && first != text && first[-1] == u'\r') {
      out[count++] = static_cast<std::size_t>(first - text) + 1;
    }
  }
  return {count, first};
}

}  // namespace host::fast::tails
