#pragma once
#include <cstddef>

#include "host/runtime/string.h"

namespace host {

// Characters of a text box's UTF-16 text. A surrogate half that is not part
// of a well-formed pair stands alone as a character of its own.

constexpr bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

struct CodePoint {
  char32_t value = 0;
  std::size_t units = 0;  // 2 for a pair, 1 otherwise, 0 past the end
};

/// The character that starts at `offset`.
constexpr CodePoint CodePointAt(StringView text, std::size_t offset) {
  if (offset >= text.size()) return {};
  const char16_t unit = text[offset];
  if (IsHighSurrogate(unit) && offset + 1 < text.size() && IsLowSurrogate(text[offset + 1])) {
    const char32_t high = unit - 0xD800;
    const char32_t low = text[offset + 1] - 0xDC00;
    return {0x10000 + (high << 10) + low, 2};
  }
  return {unit, 1};
}

/// Whether a character is blank space: what word movement skips and what
/// closes a typed word for undo. These are the characters Unicode gives the
/// White_Space property (tab, LF, VT, FF, CR, space, NEL, no-break space,
/// the typographic spaces, the line and paragraph separators, the
/// ideographic space), and the zero-width space, which breaks words where no
/// space is seen. None lies outside the basic plane, so a surrogate half is
/// never blank.
constexpr bool IsBlank(char32_t character) {
  if (character <= 0x20) return character == 0x20 || (character >= 0x09 && character <= 0x0D);
  if (character < 0x85) return false;
  return character == 0x85 || character == 0xA0 || character == 0x1680 ||
         (character >= 0x2000 && character <= 0x200B) || character == 0x2028 ||
         character == 0x2029 || character == 0x202F || character == 0x205F || character == 0x3000;
}

}  // namespace host
